#pragma once
// The consultant's year at a glance: for every project of the list and every
// month, whether it is declared, saved, only a draft here, empty or outside
// the project's planned period, with its hours; the totals per project, per
// month and of the year. read() fetches the stored rows by their exact keys
// in two statements; build() is the arithmetic on them.

#include "data/decimal.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>

namespace dl {

class Connection;

namespace year {

inline constexpr int kMonths = 12;

struct Project {
    QString code;       // as Combo1 shows it
    bool found = false; // the project list still has it
    QString name;       // Projectnaam, which a declaration row names its project by
    QString number;     // nummer
    QString client;     // opdrachtgevernummer
    QString start;      // TijdsplanningDATUMvan, yyyy/mm/dd
    QString end;        // TijdsplanningDATUMtm
    QVariant rateIn;    // as the server returned them
    QVariant rateOut;
};

// The row of a month that decides it, as the month choice finds it.
struct StoredMonth {
    bool declared = false;
    QString modified; // laatstgewijzigd
    QStringList hours;
    QStringList kilometres;
    QString euros;
    QString cents;
    QString expenseDescription;
};

struct StoredDeclaration {
    QString total; // totaal, as stored
    QString hours; // uren
    QString kilometres;
    // Projectnaam: the invoice number keeps only the last four characters of
    // the project's number, so two projects of one client can share it.
    QString projectName;
};

struct Stored {
    QList<Project> projects;            // in the order asked
    QHash<QString, StoredMonth> months; // by report key
    // By invoice number; the rows that share one, in table order.
    QMultiHash<QString, StoredDeclaration> declarations;
};

// "2026_01_CODE" .. "2026_12_CODE".
QString monthKey(const QString& year, int month, const QString& code);
// The invoice number a declaration of that month carries.
QString invoiceOf(const QString& year, int month, const QString& consultant, const Project& p);

// One statement for the projects and their reports of the year, one for the
// declarations; the keys are compared exactly here. Throws DbError.
Stored read(Connection& c, const QString& year, const QString& consultant, const QStringList& codes);

enum class State { Outside, Empty, Draft, Saved, Declared };

struct Cell {
    State state = State::Empty;
    QString key;
    double hours = 0;
    double kilometres = 0;
    QString text;      // the state in words and the hours: never colour alone
    QString hoursText; // the hours as the cell shows them; empty: none shown
    QString tip;       // invoice number and total, or when it was saved
    QString invoice;   // of a declared month
    QString total;     // the declaration's totaal as stored; empty when not found
    QString modified;  // laatstgewijzigd of a stored month
    QString spoken;    // the accessible name: project, month, state, hours
};

struct Overview {
    QString year;
    QStringList codes;
    QList<std::array<Cell, kMonths>> cells;           // per project
    QStringList projectHours;                         // the row totals
    QStringList monthHours;                           // the column totals, 12
    QList<std::array<double, kMonths>> hoursPerMonth; // per project, for the chart
    QString hours;
    QString kilometres;
    QString declared; // money text of the stored totals
    QString open;     // money text of the saved months at today's rates: an estimate
    QStringList problems;
};

QString stateWord(State s);
// A problem of the sums as one line: "Niet meegeteld: " and its text.
QString leftOutLine(const QString& problem);
QString monthName(int month); // "Januari"

// hasDraft: whether this workstation keeps a draft of the key; draftHours:
// the draft's hours of the 31 days, which a "Concept" month shows and counts.
Overview build(const QString& year, const QString& consultant, const Stored& stored,
               const std::function<bool(const QString& key)>& hasDraft,
               const std::function<std::optional<QStringList>(const QString& key)>& draftHours = {});

} // namespace year
} // namespace dl
