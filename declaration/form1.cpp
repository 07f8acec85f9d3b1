#include "declaration/form1.h"

#include "ui/onscreen.h"

#include "declaration/declaratietab.h"
#include "declaration/formload.h"
#include "declaration/raporttab.h"
#include "ui/formparts.h"
#include "ui/icons.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dl {

Form1::Form1(AppContext& ctx, QWidget* parent, const QLocale& locale) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Declaratie"));
    setWindowFlag(Qt::Window);
    m_controls.add(this);

    // Elsewhere than on a small screen the tabs scroll their own pages.
    m_body = onscreen::scrollingBody(this, QStringLiteral("Form1Scroll"));
    auto* v = new QVBoxLayout(m_body);
    v->setSpacing(4);
    v->addWidget(buildTop());
    v->addWidget(buildTicker());

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    // Scrolls where the window is smaller than the page: a small screen or a
    // large scale. The report tab scrolls its days itself.
    auto* declaratie = new QScrollArea;
    declaratie->setObjectName(QStringLiteral("DeclaratieScroll"));
    declaratie->setWidgetResizable(true);
    declaratie->setFrameShape(QFrame::NoFrame);
    declaratie->setFocusPolicy(Qt::NoFocus);
    declaratie->setWidget(buildDeclaratieTab(m_controls));
    m_tabs->addTab(declaratie, QStringLiteral("Declaratie"));
    m_tabs->addTab(buildRaportTab(m_controls), QStringLiteral("Raport"));
    m_controls.add(m_tabs);
    v->addWidget(m_tabs, 1);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_switching)
            Q_EMIT tabChangedByUser(index);
    });

    load(locale);
    resize(startSize());
    onscreen::keepOnScreen(this);
}

QSize Form1::startSize() const
{
    // Tall enough for all days of a month where the screen has the room,
    // never larger than the screen.
    QSize want(1040, 720);
    if (auto* days = findChild<QScrollArea*>(QStringLiteral("RaportScroll")))
        want.setHeight(qMax(want.height(), m_body->sizeHint().height() + days->widget()->sizeHint().height() -
                                               days->sizeHint().height()));
    const QScreen* s = screen();
    return s ? want.boundedTo(s->availableGeometry().size()) : want;
}

QWidget* Form1::buildTop()
{
    auto* top = new QWidget;
    auto* h = form::flushLayout<QHBoxLayout>(top);

    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(icons::logo());
    m_controls.add(picture);
    h->addWidget(picture);

    QLabel* greeting = form::label(m_controls, QStringLiteral("Label1"), QString());
    QFont f = greeting->font();
    f.setPointSize(f.pointSize() + 2);
    f.setBold(true);
    greeting->setFont(f);
    h->addWidget(greeting, 1);

    // Numbers the actions carry: the consultant's and the chosen client's.
    for (const QString& name : {QStringLiteral("Text1"), QStringLiteral("Text5")}) {
        QLineEdit* e = form::text(m_controls, name, {.locked = true, .align = Qt::AlignHCenter});
        e->setFixedWidth(56);
        h->addWidget(e, 0, Qt::AlignTop);
    }
    m_controls.widget(QStringLiteral("Text1"))->setToolTip(QStringLiteral("Consultantnummer"));
    m_controls.widget(QStringLiteral("Text5"))->setToolTip(QStringLiteral("Opdrachtgevernummer"));
    return top;
}

QWidget* Form1::buildTicker()
{
    // The strip clips its label, which the ticker moves across it.
    auto* strip = new QFrame;
    strip->setObjectName(QStringLiteral("Picture1"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setFrameShadow(QFrame::Sunken);
    strip->setFixedHeight(34);
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Qt::white);
    strip->setPalette(pal);
    m_controls.add(strip);

    auto* text = new QLabel(strip);
    text->setObjectName(QStringLiteral("Label4"));
    text->setTextFormat(Qt::PlainText);
    text->move(0, 2);
    m_controls.add(text);
    return strip;
}

void Form1::load(const QLocale& locale)
{
    const QDateTime now = m_ctx.clock.now();
    m_controls.setText(element(QStringLiteral("Label2"), 1), declarationDateCaption(now.date(), locale));

    auto* month = m_controls.get<QComboBox>(QStringLiteral("Combo2"));
    month->addItems(monthEntries());
    // No month chosen yet: nothing selected in the list.
    month->setCurrentIndex(-1);
    month->setEditText(QStringLiteral("maand"));

    auto* year = m_controls.get<QComboBox>(QStringLiteral("Combo3"));
    year->addItems(yearEntries(now.date().year()));
    year->setCurrentIndex(1);

    auto* ticker = m_controls.get<QLabel>(QStringLiteral("Label4"));
    ticker->clear();
    QFont f = ticker->font();
    f.setPointSize(14);
    f.setBold(true);
    f.setItalic(false);
    ticker->setFont(f);
    ticker->resize(ticker->width(), 28);
}

void Form1::switchTab(int index)
{
    m_switching = true;
    m_tabs->setCurrentIndex(index);
    m_switching = false;
}

QPixmap Form1::logo() const
{
    // Image1 shows the same picture; paper gets it at print resolution.
    return icons::logo(5.0);
}

void Form1::closeEvent(QCloseEvent* e)
{
    m_keepOpen = false;
    Q_EMIT closeRequested();
    if (m_keepOpen)
        e->ignore();
    else
        e->accept();
}

} // namespace dl
