#pragma once
// The last declaration before the open month of the same consultant,
// client and project name: what the month on screen is compared with
// before it is declared.

#include "submit/declarecheck.h"

#include <optional>

namespace dl {

class Connection;

namespace check {

struct DeclarationKey {
    QString consultant; // Text1
    QString client;     // Text5, `Opdrachtgever`
    QString project;    // Text2, the project's name as `Projectnaam` holds it
    QString year;       // the open month's year, "2026"
    QString month;      // its number, "03"
};

// One statement, narrowed by the index on (consultant, Opdrachtgever, Jaar,
// maand); the client keeps only rows that match exactly (letter case and
// blanks count). Of the latest earlier month the first row in table order
// counts. Throws DbError.
std::optional<EarlierDeclaration> lastEarlierDeclaration(Connection& c, const DeclarationKey& key);

// The same statement: the last earlier declaration, and the hours of every
// earlier month declared (each month's first row in table order).
struct EarlierDeclarations {
    std::optional<EarlierDeclaration> last;
    double hours = 0;
};
EarlierDeclarations earlierDeclarations(Connection& c, const DeclarationKey& key);

} // namespace check
} // namespace dl
