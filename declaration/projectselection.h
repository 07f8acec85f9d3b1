#pragma once
// Choosing a project in Combo1: reads the project and its client, fills the
// project fields, keeps the two hourly rates in the Session and asks for a
// new month choice.

#include "core/context.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariant>

namespace dl {

class Form1;
class LeaveGuard;

namespace project {

// The code at the front of a project list entry: everything before the
// first two consecutive blanks, or the whole entry.
QString codeFromEntry(const QString& entry);

// "Uw uurtarief is € 45,00". Whole euros keep their digits; a rate with
// cents shows them ("72,50") instead of a second comma.
QString rateText(const QVariant& rate);

inline QString kilometreText()
{
    return QStringLiteral("Uw kilometervergoeding is € 0,35");
}

// The planned period ended before today: the end date (yyyy/mm/dd) compared
// as text with today's; an empty end date counts as ended.
bool plannedEndPassed(const QString& endDate, const QDate& today);

QString notFoundMessage(const QString& code);

} // namespace project

// The Combo1 click, for the entry Combo1 shows now. Reads both rows before
// it changes anything; throws DbError when the server fails. guard (null on
// the program's own roads) asks before a changed month is left.
// keepEarlierTexts: the same project again (after a declaration), whose
// earlier texts the fields offer already; they are not read again.
void selectShownProject(Form1& form, AppContext& ctx, LeaveGuard* guard = nullptr,
                        bool keepEarlierTexts = false);

// The Session's project read again, whatever Combo1 shows (after a
// declaration); its earlier texts are kept.
void selectOpenProjectAgain(Form1& form, AppContext& ctx);

// Connects Combo1's choice (Enter, or a pick from its list; the arrow keys
// only select) to selectShownProject, guarded.
class ProjectSelection : public QObject {
    Q_OBJECT
public:
    ProjectSelection(Form1& form, AppContext& ctx, LeaveGuard* guard = nullptr);

private:
    Form1& m_form;
    AppContext& m_ctx;
    LeaveGuard* m_guard;
};

} // namespace dl
