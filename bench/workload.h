#pragma once
// What one scale's actions work on: consultants who have projects, projects,
// report keys in each state, picked at random from the filled tables, and
// the clean-up that takes the tables back to their filled state.

#include "data/settings.h"
#include "submit/earlierdeclaration.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace dl::bench {

struct Person {
    QString login;
    QString password;
    QString number; // consultantnummer
};

struct ProjectPick {
    QString code;
    QString entry; // the Combo1 entry: code padded to 25, then the description
    QString clientNumber;
    QString start; // planned start, yyyy/mm/dd
};

// "2008_03_0042-P01" -> 2008, 3, "0042-P01".
struct KeyParts {
    QString year;
    int month = 0;
    QString code;
};
KeyParts splitKey(const QString& key);

// A consultant's year with stored months and declarations of the projects
// the login lists for them, in the list's order (Combo1).
struct YearPick {
    QString consultant; // consultantnummer
    QString year;
    QStringList codes;
    int months = 0;       // keys of the year stored "nee" or "ja" when picked
    int declarations = 0; // invoice numbers of the year stored when picked
};

struct TableSize {
    QString table;
    qint64 rows = 0;
};

struct Workload {
    QString scale;
    ServerAddress server;
    QString adminSocket; // the server's socket, for putting the tables back as root
    QList<TableSize> sizes;
    QList<Person> people;
    QList<ProjectPick> projects;
    QStringList storedKeys;    // open reports ("nee"), to open
    QStringList missingKeys;   // months never prepared, to open as new
    QStringList saveKeys;      // open reports, to save over
    QStringList appendKeys;    // months not in the table, saved for the first time
    QStringList oldAppendKeys; // the same for the old design's samples
    QStringList declareKeys;   // open reports whose invoice number is free, to declare
    // Stored declarations' consultant, client and project name with the
    // month after theirs: each has an earlier declaration to find.
    QList<check::DeclarationKey> earlierKeys;
    QList<YearPick> years; // for the year overview
    QStringList reportColumns;
    QStringList reportValues; // one stored report's texts, written by the saves
    // The consultant of every person, project, key and year picked, by
    // consultantnummer: on accounts of their own a key is reached as its owner.
    QHash<QString, Person> owners;

    qint64 rows(const QString& table) const;
    const Person& owner(const QString& number) const;
};

// Picks `count` inputs for every action with a fixed seed.
Workload pickWorkload(const QString& scale, const ServerAddress& server, int count);

// Reads every secondary index once, as a server in daily use holds them in
// memory; a server just started has only part of its buffer pool back.
void warmIndexes(const ServerAddress& server);

// Removes the rows the actions appended and sets the declared reports back
// to "nee", so that the next run finds the tables as they were filled.
void restoreTables(const Workload& w, qint64 reportsTop, qint64 declarationsTop, qint64 loginsTop);
qint64 topId(const ServerAddress& server, const QString& qualifiedTable);

} // namespace dl::bench
