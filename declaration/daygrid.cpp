#include "declaration/daygrid.h"

#include "data/dutchnumbers.h"
#include "declaration/form1.h"
#include "ui/controls.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace dl {

namespace daygrid {

bool isAllowedCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'%' || c == u'\'';
}

QString allowedCharacters(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (isAllowedCharacter(c))
            out += c;
    }
    return out;
}

QString columnTotal(const QStringList& slotTexts)
{
    double sum = 0;
    for (const QString& t : slotTexts)
        sum += leadingNumber(t);
    return generalNumberText(sum);
}

QString hoursLimitMessage(const QString& dayLabel)
{
    return QStringLiteral("U kunt niet meer als 24 uur per dag werken.\r\n\r\nFOUT bij datum ") + dayLabel +
           QStringLiteral(" DEZE WORDT OP '0' GEZET !!\r\n\r\n");
}

} // namespace daygrid

DayGrid::DayGrid(Form1& form, AppContext& ctx) : m_form(form), m_ctx(ctx)
{
    FormControls& c = form.controls();
    for (int i = 1; i <= daygrid::kSlots; ++i) {
        auto* hours = c.get<QLineEdit>(element(QStringLiteral("Text26"), i));
        auto* km = c.get<QLineEdit>(element(QStringLiteral("Text27"), i));
        connect(hours, &QLineEdit::textChanged, this, [this] { recomputeHours(); });
        connect(km, &QLineEdit::textChanged, this, [this] { recomputeKilometres(); });
    }
}

void DayGrid::recomputeHours()
{
    // Setting a slot back to "0" below changes the column again; this pass
    // already reads it anew.
    if (m_inHours)
        return;
    QScopedValueRollback guard(m_inHours, true);

    FormControls& c = m_form.controls();
    QStringList slots;
    for (int i = 1; i <= daygrid::kSlots; ++i) {
        const QString name = element(QStringLiteral("Text26"), i);
        if (leadingNumber(c.text(name)) > daygrid::kHoursLimit) {
            m_ctx.messages.inform(daygrid::hoursLimitMessage(c.text(element(QStringLiteral("Text23"), i))));
            c.setText(name, QStringLiteral("0"));
        }
        slots << c.text(name);
    }
    c.setText(element(QStringLiteral("Text26"), daygrid::kTotalElement), daygrid::columnTotal(slots));
}

void DayGrid::recomputeKilometres()
{
    if (m_inKilometres)
        return;
    QScopedValueRollback guard(m_inKilometres, true);

    FormControls& c = m_form.controls();
    QStringList slots;
    for (int i = 1; i <= daygrid::kSlots; ++i)
        slots << c.text(element(QStringLiteral("Text27"), i));
    c.setText(element(QStringLiteral("Text27"), daygrid::kTotalElement), daygrid::columnTotal(slots));
}

} // namespace dl
