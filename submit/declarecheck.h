#pragma once
// What is looked at before a month is declared: weekend hours, long days,
// days half filled in, a month not yet over, an expense half filled in, a
// month outside the project's planned period or hours past its planned
// hours, figures far from those of the last earlier declaration, and a
// paper made of the month before it changed. Each finding is one
// line of the box that asks whether to go back to the report. Plain
// functions on the form's texts; nothing here blocks a declaration.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace dl::check {

struct DayTexts {
    QString label;      // Text23(N)
    QString activity;   // Text24(N)
    QString hours;      // Text26(N)
    QString kilometres; // Text27(N)
};

struct MonthTexts {
    int year = 0;  // of the open month
    int month = 0; // 1..12
    std::array<DayTexts, 31> days;
    QString expense;            // Text13, the amount declared
    QString expenseDescription; // Text12
};

struct Finding {
    QString text;
    int day = 0; // the day slot it names, 1..31; 0 for none
};

// More hours than this on one day is a finding.
inline constexpr double kLongDayHours = 10;
// A change of this share or more against the earlier declaration is a finding.
inline constexpr double kLargeChange = 0.5;

// The rules on the month itself, in this order: the month not over yet on
// `today`, then day by day, then the expense.
QList<Finding> monthFindings(const MonthTexts& month, const QDate& today);

// Hours, kilometres and total at the consultant's rate, as texts.
struct Figures {
    QString hours;      // uren / Text19
    QString kilometres; // kilometers / Text14
    QString total;      // totaal / Text29
};

struct EarlierDeclaration {
    QString year;  // Jaar, "2026"
    QString month; // maand, "10"
    Figures figures;
};

// "Uren 60 % lager dan in Oktober 2026 (140 → 56)"; a figure that was 0 (or
// is no number) is not compared.
QList<Finding> comparisonFindings(const Figures& now, const EarlierDeclaration& earlier);

// The open month against its project: the planned period and hours.
struct ProjectTexts {
    int year = 0;
    int month = 0;
    QString start;          // Text7, yyyy/mm/dd
    QString end;            // Text8
    QString plannedHours;   // Text9
    QString monthHours;     // Text19, this month's hours
    double hoursBefore = 0; // the project's declared months before this one
};
// A month outside the planned period; the project's hours so far (the
// declared months before and this one) above its planned hours.
QList<Finding> projectFindings(const ProjectTexts& p);

// A print or PDF was made of this month, and the month changed since.
QString changedSincePaperText();

// The expense texts that stand for no expense.
bool noExpenseDescription(const QString& text);
bool noExpenseAmount(const QString& text);

// The box.
QString checkCaption();
QString checkText(const QString& m, const QString& y);
QStringList checkButtons(); // back (default and Escape), declare anyway
inline constexpr int kBackButton = 0;
inline constexpr int kDeclareAnywayButton = 1;

// The first day a finding names; 0 when none names one.
int firstNamedDay(const QList<Finding>& findings);

} // namespace dl::check
