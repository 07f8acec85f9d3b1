#pragma once
// Entry in the day grid of tab "Raport" (what the number fields take is in
// numberentry): the column totals of hours and kilometres, and the 24-hour rule. Typing
// updates only the column totals; the rest waits for a tab click. Enter,
// Down and Up go from day to day; each day's fields say which day they are
// to a screen reader, and weekend days are marked.

#include "core/context.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QLineEdit;

namespace dl {

class Form1;

namespace daygrid {

inline constexpr int kSlots = 31;
inline constexpr int kTotalElement = 32;
inline constexpr double kHoursLimit = 24;

// Sum of the leading-number values, as general number text ("8,5").
QString columnTotal(const QStringList& slotTexts);

QString hoursLimitMessage(const QString& dayLabel);

// The slot that Enter or Down (step 1) or Up (step -1) leads to from slot
// within days 1..lastDay; slot itself at either end.
int stepDay(int slot, int step, int lastDay);

// The date a day label stands for ("Za  01 Maart     2008"); invalid for
// any other text, such as the slot number shown before a month is chosen.
QDate labelDate(const QString& label);
// "dinsdag 3 november" for a day label; "dag 5" for slot 5 without one.
QString spokenDay(const QString& label, int slot);
// "Uren, dinsdag 3 november": column 0..4 is Text23..Text27.
QString cellName(int column, const QString& label, int slot);
bool isWeekend(const QDate& d);
QString weekendDescription();

} // namespace daygrid

class DayGrid : public QObject {
    Q_OBJECT
public:
    DayGrid(Form1& form, AppContext& ctx);

    // Over all 31 slots, whichever slot changed.
    void recomputeHours();
    void recomputeKilometres();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Cell {
        int column = 0;
        int slot = 0;
    };
    // Names, description and shading of a day's five fields, from its label.
    void describeDay(int slot);
    // The last slot shown: the month's last day.
    int lastDay() const;
    void moveTo(const Cell& from, int step);

    Form1& m_form;
    AppContext& m_ctx;
    QHash<const QObject*, Cell> m_cells;
    bool m_inHours = false;
    bool m_inKilometres = false;
};

} // namespace dl
