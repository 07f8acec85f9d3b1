#include "declaration/previousmonth.h"

#include "core/actionguard.h"
#include "declaration/earliertexts.h"
#include "declaration/form1.h"
#include "declaration/reportrecord.h"
#include "ui/imagebutton.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

namespace dl {

namespace previousmonth {

QString caption()
{
    return QStringLiteral("VORIGE MAAND OVERNEMEN");
}

QString question(const QString& fromMonthAndYear)
{
    return QStringLiteral(
               "Wilt u de activiteiten en contactpersonen van %1 overnemen?\r\n"
               "Elke dag krijgt die van dezelfde weekdag in die maand; uren en kilometers blijven leeg.")
        .arg(fromMonthAndYear);
}

QString noneMessage()
{
    return QStringLiteral("Er is geen eerdere maand van dit project opgeslagen.");
}

} // namespace previousmonth

namespace {

const QString kButton = QStringLiteral("ImageVorigeMaand");

bool textsEmpty(const FormControls& c)
{
    for (int n = 1; n <= report::kSlots; ++n) {
        if (!c.text(report::slotControl(1, n)).isEmpty() || !c.text(report::slotControl(2, n)).isEmpty())
            return false;
    }
    return true;
}

// "2026_02_P" -> the first of that month; invalid for another text.
QDate monthOfKey(const QString& key)
{
    bool yOk = false;
    bool mOk = false;
    const int y = key.left(4).toInt(&yOk);
    const int m = key.mid(5, 2).toInt(&mOk);
    return yOk && mOk ? QDate(y, m, 1) : QDate();
}

} // namespace

PreviousMonth::PreviousMonth(Form1& form, AppContext& ctx) : QObject(&form), m_form(form), m_ctx(ctx)
{
    FormControls& c = form.controls();
    connect(c.get<ImageButton>(kButton), &ImageButton::doubleClicked, this,
            [this] { runGuarded(m_ctx.messages, [this] { run(); }); });
    for (int n = 1; n <= report::kSlots; ++n) {
        for (int p = 0; p < 3; ++p)
            connect(c.get<QLineEdit>(report::slotControl(p, n)), &QLineEdit::textChanged, this,
                    &PreviousMonth::updateShown);
    }
    // A project chosen or a month refused closes the month without a text changing.
    auto* month = c.get<QComboBox>(QStringLiteral("Combo2"));
    connect(month, &QComboBox::currentTextChanged, this, &PreviousMonth::updateShown);
    connect(month, &QComboBox::editTextChanged, this, &PreviousMonth::updateShown);
    updateShown();
}

void PreviousMonth::updateShown()
{
    FormControls& c = m_form.controls();
    c.setShown(kButton, m_ctx.session.hasOpenReport() && textsEmpty(c));
}

void PreviousMonth::run()
{
    FormControls& c = m_form.controls();
    Session& s = m_ctx.session;
    if (!s.hasOpenReport() || !textsEmpty(c))
        return;
    const QString key = s.reportKey;
    const QDate to = monthOfKey(key);
    if (!to.isValid())
        return;
    QStringList years;
    const auto* yearBox = c.get<QComboBox>(QStringLiteral("Combo3"));
    for (int i = 0; i < yearBox->count(); ++i)
        years << yearBox->itemText(i);

    const QList<earlier::MonthTexts> months = m_ctx.db().run(
        [&](Connection& connection) { return earlier::read(connection, earlier::keysBefore(key, years)); });
    const earlier::MonthTexts* from = earlier::latestBefore(months, key);
    if (!from) {
        m_ctx.messages.inform(previousmonth::noneMessage());
        return;
    }
    const QDate fromMonth = monthOfKey(from->key);
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    const QString name = dutch.monthName(fromMonth.month()) + u' ' + QString::number(fromMonth.year());
    if (!m_ctx.messages.confirm(previousmonth::question(name), previousmonth::caption()))
        return;
    // The consultant may have typed meanwhile; nothing typed is overwritten.
    if (s.reportKey != key || !textsEmpty(c))
        return;
    const earlier::Carried carried = earlier::carryByWeekday(fromMonth, *from, to);
    for (int n = 1; n <= report::kSlots; ++n) {
        c.setText(report::slotControl(1, n), carried.activities.value(n - 1));
        c.setText(report::slotControl(2, n), carried.contacts.value(n - 1));
    }
}

} // namespace dl
