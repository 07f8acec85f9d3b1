#pragma once
// A project and month opened by the program for the consultant (from the
// year overview, or where the last start left off) exactly as a choice in
// the boxes opens it, and the month a workstation opened last.

#include "core/context.h"

#include <QString>

#include <optional>

namespace dl {

class Form1;
class LeaveGuard;
class MonthSelection;

// Chooses the project in Combo1 (when another is open), the year in Combo3
// and the month entry ("03 Maart ") in Combo2; true when that month is open
// afterwards. Throws DbError as the choices do.
bool openAsChosen(Form1& form, AppContext& ctx, LeaveGuard* guard, MonthSelection& months,
                  const QString& projectCode, const QString& year, const QString& monthEntry);

struct LastMonth {
    QString consultant; // the number: another consultant on this workstation is not offered it
    QString projectCode;
    QString year;
    QString monthEntry;
};

// In the settings file; nothing when the file holds none or only part.
std::optional<LastMonth> readLastMonth(const QString& settingsFile);
void keepLastMonth(const QString& settingsFile, const LastMonth& last);
QString lastMonthQuestion(const LastMonth& last);

} // namespace dl
