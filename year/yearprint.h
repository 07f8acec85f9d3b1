#pragma once
// The year overview on paper: the same character grid, fonts and logo as
// the month's document, so it prints and keeps as a PDF through the same
// renderer. Every state is a letter as well as a word in the legend.

#include "print/printdocument.h"
#include "year/yearoverview.h"

namespace dl::print {

struct YearHeader {
    QString consultantNumber; // Text1
    QString consultantName;   // from Label1
    QString date;             // from Label2(1), as the month's document has it
};

// The letter of a state in the printed table.
QChar stateLetter(year::State s);

PrintDocument buildYearDocument(const year::Overview& o, const YearHeader& header);

// "Jaaroverzicht 2026.pdf".
QString yearPdfFileName(const QString& year);
QString yearPdfCaption();
QString yearPrintQuestion(const QString& year, const QString& combo4Text);

} // namespace dl::print
