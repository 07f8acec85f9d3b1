#pragma once
// Entry in the day grid of tab "Raport": the characters of the number
// fields (the report tab builds them into each field's input rules), the
// column totals of hours and kilometres, and the 24-hour rule. Typing
// updates only the column totals; the rest waits for a tab click.

#include "core/context.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace dl {

class Form1;

namespace daygrid {

inline constexpr int kSlots = 31;
inline constexpr int kTotalElement = 32;
inline constexpr double kHoursLimit = 24;

// Digits, ".", "%" and "'" get into a number field; the comma, signs and
// letters do not. Backspace, tab and form feed act as keys, never as text.
bool isAllowedCharacter(QChar c);
QString allowedCharacters(const QString& text);

// Sum of the leading-number values, as general number text ("8,5").
QString columnTotal(const QStringList& slotTexts);

QString hoursLimitMessage(const QString& dayLabel);

} // namespace daygrid

class DayGrid : public QObject {
    Q_OBJECT
public:
    DayGrid(Form1& form, AppContext& ctx);

    // Over all 31 slots, whichever slot changed.
    void recomputeHours();
    void recomputeKilometres();

private:
    Form1& m_form;
    AppContext& m_ctx;
    bool m_inHours = false;
    bool m_inKilometres = false;
};

} // namespace dl
