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

// The first change starts it and later ones do not restart it, so that
// steady typing is on disk within this time too, not only after a pause.
constexpr int kKeepAfterMs = 300;

QStringList textsOf(const Draft& d)
{
    QStringList out;
    for (const report::Binding& b : report::controlBindings())
        out.append(d.columns.value(b.column));
    return out;
}

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
    return QStringLiteral("Er is een niet opgeslagen versie van dit raport van ") +
           written.toString(QStringLiteral("dd-MM-yyyy HH:mm")) +
           QStringLiteral(".\r\nWilt U die terugzetten?");
}

QString staleMessage(const QString& monthEntry, const QString& year)
{
    return QStringLiteral("De niet opgeslagen versie van ") + openmonth::monthAndYear(monthEntry, year) +
           QStringLiteral(" is niet teruggezet: het raport is intussen elders opgeslagen of gedeclareerd.");
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

} // namespace draft

DraftKeeper::DraftKeeper(Form1& form, AppContext& ctx, DraftStore& drafts)
    : QObject(&form), m_c(form.controls()), m_ctx(ctx), m_drafts(drafts)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kKeepAfterMs);
    connect(&m_timer, &QTimer::timeout, this, &DraftKeeper::keepNow);
    const auto changed = [this] {
        if (!m_timer.isActive())
            m_timer.start();
    };
    for (const report::Binding& b : report::controlBindings()) {
        QWidget* w = m_c.widget(b.control);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, changed);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
            connect(p, &QPlainTextEdit::textChanged, this, changed);
    }
}

void DraftKeeper::keepNow()
{
    const Session& s = m_ctx.session;
    if (s.reportBusy > 0) {
        // The month is being changed or written: what it comes to decides.
        m_timer.start();
        return;
    }
    // Only while the controls show the month the key names, as it was
    // loaded, prepared or saved and changed since.
    if (!s.hasOpenReport() || s.reportBaseline.isEmpty())
        return;
    if (!openmonth::hasChanges(m_c, s)) {
        // Typed back to what is saved: nothing left to keep.
        if (!m_writtenKey.isEmpty() && m_writtenKey == s.reportKey)
            m_drafts.remove(m_writtenKey);
        m_writtenKey.clear();
        m_written.clear();
        return;
    }
    const QStringList texts = openmonth::snapshot(m_c);
    if (m_writtenKey == s.reportKey && m_written == texts)
        return; // the time of a draft is that of its last change
    m_drafts.write(draft::fromForm(m_c, s, m_ctx.clock.now()));
    m_writtenKey = s.reportKey;
    m_written = texts;
}

void DraftKeeper::offer(const month::Lookup& found, const QString& monthEntry, const QString& year,
                        const QString& key)
{
    const std::optional<Draft> d = m_drafts.read(key, m_c.text(QStringLiteral("Text1")));
    if (!d)
        return;
    if (!draft::fits(*d, found)) {
        m_drafts.remove(key);
        m_ctx.messages.inform(draft::staleMessage(monthEntry, year));
        return;
    }
    const QStringList texts = textsOf(*d);
    // Nothing in it that the form does not show already: nothing to ask.
    if (texts == openmonth::snapshot(m_c)) {
        m_drafts.remove(key);
        return;
    }
    if (m_ctx.messages.show({draft::restoreQuestion(d->written), draft::restoreCaption(), Buttons::YesNo,
                             Answer::Yes, Icon::None}) != Answer::Yes) {
        m_drafts.remove(key);
        return;
    }
    // As changes: the row the month was opened with stays what a save checks.
    for (const report::Binding& b : report::controlBindings()) {
        if (b.column != kModified)
            m_c.setText(b.control, d->columns.value(b.column));
    }
    m_writtenKey = key;
    m_written = openmonth::snapshot(m_c);
}

} // namespace dl
