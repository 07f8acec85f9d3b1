#include "declaration/ticker.h"

#include "declaration/form1.h"

#include <QEvent>
#include <QLabel>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <memory>

namespace dl {

Ticker::Ticker(Form1& form, AppContext& context)
    : Ticker(form.controls().widget(QStringLiteral("Picture1")),
             form.controls().get<QLabel>(QStringLiteral("Label4")), context, &form)
{
}

Ticker::Ticker(QWidget* strip, QLabel* text, AppContext& context, QObject* parent)
    : QObject(parent), m_strip(strip), m_text(text), m_ctx(context), m_scrollTimer(new QTimer(this)),
      m_refreshTimer(new QTimer(this)), m_troubleMark(new QLabel(strip))
{
    Q_ASSERT(m_strip && m_text);
    setObjectName(QStringLiteral("ticker"));
    m_left = m_text->x();

    m_troubleMark->setObjectName(QStringLiteral("tickerTrouble"));
    m_troubleMark->setText(QStringLiteral("berichten niet bijgewerkt"));
    QFont small = m_troubleMark->font();
    small.setPointSize(7);
    small.setBold(false);
    m_troubleMark->setFont(small);
    m_troubleMark->setStyleSheet(QStringLiteral("color: #7f7f7f; background: transparent;"));
    m_troubleMark->hide();
    m_strip->installEventFilter(this);

    m_scrollTimer->setObjectName(QStringLiteral("Timer1"));
    m_scrollTimer->setInterval(25);
    m_scrollTimer->setTimerType(Qt::PreciseTimer);
    connect(m_scrollTimer, &QTimer::timeout, this, &Ticker::scroll);

    m_refreshTimer->setObjectName(QStringLiteral("Timer2"));
    m_refreshTimer->setInterval(10000);
    connect(m_refreshTimer, &QTimer::timeout, this, &Ticker::refresh);

    m_scrollTimer->start();
    m_refreshTimer->start();
}

Ticker::~Ticker()
{
    if (m_worker) {
        // Bounded by the connection's own time-outs.
        m_worker->disconnect(this);
        m_worker->wait();
        delete m_worker;
    }
    // No removeEventFilter: the form may have deleted the strip already, and
    // Qt drops a deleted filter by itself.
}

void Ticker::scroll()
{
    if (m_text->text().isEmpty())
        return;
    m_left =
        nextTickerLeft(m_left, tickerStepPixels(m_text->logicalDpiX()), m_text->width(), m_strip->width());
    m_text->move(static_cast<int>(std::floor(m_left)), m_text->y());
}

void Ticker::refresh()
{
    if (m_worker)
        return;
    auto result = std::make_shared<TickerFetch>();
    // No fetch runs now: a changed password can be handed over.
    if (!m_db || m_db->server() != m_ctx.server || !m_db->follow(m_ctx.account))
        m_db = tickerConnection(m_ctx.server, m_ctx.connection, m_ctx.account);
    m_worker = QThread::create([result, db = m_db] { *result = fetchTickerMessage(*db); });
    m_worker->setObjectName(QStringLiteral("tickerRefresh"));
    connect(m_worker, &QThread::finished, this, [this, result] {
        QThread* done = m_worker;
        m_worker = nullptr;
        done->wait();
        delete done;
        apply(*result);
    });
    m_worker->start();
}

void Ticker::apply(const TickerFetch& fetch)
{
    // Learnt before the login: the login goes as the consultant's own
    // account, and nothing leads back.
    if (fetch.switched && m_ctx.account.names == TableNames::Shared)
        m_ctx.account.names = TableNames::MessageOnly;
    switch (fetch.outcome) {
    case TickerFetch::Outcome::Message: {
        // The position stays: a new text carries on where the old one was.
        if (m_text->text() != fetch.message) {
            m_text->setText(fetch.message);
            fitText();
        }
        QPalette p = m_text->palette();
        p.setColor(QPalette::WindowText, tickerColour(fetch.message));
        m_text->setPalette(p);
        m_trouble.clear();
        break;
    }
    case TickerFetch::Outcome::EmptyTable:
        // Nothing to show instead: the previous text and colour stay.
        m_trouble.clear();
        break;
    case TickerFetch::Outcome::Failed:
        m_trouble = fetch.trouble;
        break;
    }
    m_ctx.session.messageTrouble = m_trouble;
    if (m_trouble.isEmpty()) {
        m_troubleMark->hide();
        m_strip->setToolTip(QString());
    } else {
        const QString tip =
            QStringLiteral("Het bericht kon niet worden bijgewerkt; het vorige blijft staan.\n") + m_trouble;
        m_strip->setToolTip(tip);
        m_troubleMark->setToolTip(tip);
        placeTroubleMark();
        m_troubleMark->show();
        m_troubleMark->raise();
    }
    Q_EMIT refreshed();
}

void Ticker::fitText()
{
    const QSize hint = m_text->sizeHint();
    m_text->resize(hint.width(), std::max(m_text->height(), hint.height()));
}

void Ticker::placeTroubleMark()
{
    m_troubleMark->adjustSize();
    m_troubleMark->move(m_strip->width() - m_troubleMark->width() - 4,
                        m_strip->height() - m_troubleMark->height() - 1);
}

bool Ticker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_strip && event->type() == QEvent::Resize && m_troubleMark->isVisible())
        placeTroubleMark();
    // The form, shown after the login, has the message at once rather than
    // at the next refresh (a switched server gives none before the login).
    if (watched == m_strip && event->type() == QEvent::Show && m_text->text().isEmpty())
        refresh();
    return QObject::eventFilter(watched, event);
}

} // namespace dl
