#pragma once
// A month's texts as the main form holds them, for the print tests.

#include "print/printdocument.h"

#include <QString>

namespace dl::test {

// March 2008 of consultant 12 for client 7, project 5; nothing worked yet.
inline print::PrintTexts sampleTexts()
{
    using namespace Qt::StringLiterals;
    print::PrintTexts t;
    t.year = u"2008"_s;
    t.monthEntry = u"03 Maart "_s;
    t.consultantNumber = u"12"_s;
    t.clientNumber = u"7"_s;
    t.projectNumber = u"5"_s;
    t.dateCaption = u"Declaratie datum :  14-maart-2008"_s;
    t.greetingCaption = u"Goede middag         Ir. Jan  Jansen"_s;
    t.projectName = u"Migratie"_s;
    t.projectDescription = u"Overzetten van de boekhouding"_s;
    t.clientName = u"Zandmeer Bouw"_s;
    for (int n = 1; n <= 31; ++n) {
        print::DayTexts& d = t.days[std::size_t(n - 1)];
        d.label = u"Za  %1 Maart     2008"_s.arg(n, 2, 10, QChar(u'0'));
        d.hours = u"0"_s;
        d.kilometres = u"0"_s;
    }
    t.hoursColumnTotal = u"0"_s;
    t.kilometresColumnTotal = u"0"_s;
    t.hours = u"0"_s;
    t.hoursText = u"GEEN"_s;
    t.hoursAmount = u"0,00"_s;
    t.kilometres = u"0"_s;
    t.kilometresText = u"GEEN"_s;
    t.kilometresAmount = u"0,00"_s;
    t.expense = u"0,00"_s;
    t.expenseText = u"GEEN"_s;
    t.expenseAmount = u"0,00"_s;
    t.subtotal = u"0,00"_s;
    t.vat = u"0,00"_s;
    t.total = u"0,00"_s;
    return t;
}

// Hours, kilometres, activity and person of day slot day.
inline void work(print::PrintTexts& t, int day, const QString& hours, const QString& km,
                 const QString& activity = QStringLiteral("Overleg"),
                 const QString& person = QStringLiteral("P. Pietersen"))
{
    print::DayTexts& d = t.days[std::size_t(day - 1)];
    d.hours = hours;
    d.kilometres = km;
    d.activity = activity;
    d.person = person;
}

} // namespace dl::test
