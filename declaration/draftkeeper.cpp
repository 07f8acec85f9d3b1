#include "declaration/draftkeeper.h"

#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/monthselectionrules.h"
#include "declaration/openmonth.h"
#include "declaration/reportrecord.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace dl {

namespace {

const QString kModified = QStringLiteral("laatstgewijzigd");

// Well within the second a change may wait; typing on restarts it.
constexpr int kQuietMs = 400;

} // namespace

namespace draft {

Draft fromForm(const FormControls& c, const Session& s, const QDateTime& now)
{
    Draft d;
    d.key = s.reportKey;
    d.consultant = c.text(QStringLiteral("Text1"));
    d.stored = s.reportStored;
    d.modified = s.reportModified;
    d.written = now;
    for (const report::Binding& b : report::controlBindings())
        d.columns.insert(b.column, c.text(b.control));
    return d;
}

QString restoreCaption()
{
    return QStringLiteral("NIET OPGESLAGEN VERSIE");
}

QString restoreQuestion(const QDateTime& written)
{
    return QStringLiteral("Er is een niet opgeslagen versie van dit raport van ")
           + written.toString(QStringLiteral("dd-MM-yyyy HH:mm")) + QStringLiteral(".\r\nWilt U die terugzetten?");
}

QString staleMessage(const QString& monthEntry, const QString& year)
{
    return QStringLiteral("De niet opgeslagen versie van ") + openmonth::monthAndYear(monthEntry, year)
           + QStringLiteral(" is niet teruggezet: het raport is intussen elders opgeslagen of gedeclareerd.");
}

bool fits(const Draft& d, const month::Lookup& found)
{
    switch (found.kind) {
    case month::Lookup::Declared:
        return false;
    case month::Lookup::New:
        return true;
    case month::Lookup::Load:
        return d.stored && d.modified == found.texts.value(kModified);
    }
    return false;
}

void offer(FormControls& c, AppContext& ctx, DraftStore& drafts, const month::Lookup& found,
           const QString& monthEntry, const QString& year, const QString& key)
{
    const std::optional<Draft> d = drafts.read(key, c.text(QStringLiteral("Text1")));
    if (!d)
        return;
    if (!fits(*d, found)) {
        drafts.remove(key);
        ctx.messages.inform(staleMessage(monthEntry, year));
        return;
    }
    if (ctx.messages.show({restoreQuestion(d->written), restoreCaption(), Buttons::YesNo, Answer::Yes, Icon::None})
        != Answer::Yes) {
        drafts.remove(key);
        return;
    }
    // As changes: what the month was opened with stays what is saved.
    for (const report::Binding& b : report::controlBindings()) {
        if (b.column != kModified && d->columns.contains(b.column))
            c.setText(b.control, d->columns.value(b.column));
    }
}

} // namespace draft

DraftKeeper::DraftKeeper(Form1& form, AppContext& ctx, DraftStore& drafts)
    : QObject(&form), m_c(form.controls()), m_ctx(ctx), m_drafts(drafts)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kQuietMs);
    connect(&m_timer, &QTimer::timeout, this, &DraftKeeper::keepNow);
    const auto restart = [this] { m_timer.start(); };
    for (const report::Binding& b : report::controlBindings()) {
        QWidget* w = m_c.widget(b.control);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, restart);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
            connect(p, &QPlainTextEdit::textChanged, this, restart);
    }
}

void DraftKeeper::keepNow()
{
    const Session& s = m_ctx.session;
    if (openmonth::hasChanges(m_c, s)) {
        m_drafts.write(draft::fromForm(m_c, s, m_ctx.clock.now()));
        m_writtenKey = s.reportKey;
    } else if (!m_writtenKey.isEmpty() && m_writtenKey == s.reportKey) {
        // Typed back to what is saved: nothing left to keep.
        m_drafts.remove(m_writtenKey);
        m_writtenKey.clear();
    }
}

} // namespace dl
