#pragma once
// The pictures of the image buttons and the logo, drawn in code so the
// program carries no picture files.

#include <QPixmap>

namespace dl::icons {

QPixmap loginComputer(); // computer with a green check mark
QPixmap leaveComputer(); // computer with a red cross
QPixmap disk();          // save
QPixmap stamp();         // declare
QPixmap printer();       // print
QPixmap pdf();           // keep as a PDF file
QPixmap previousMonth(); // take over the month before
QPixmap year();          // the year overview: a calendar of bars
QPixmap door();          // end the program
QPixmap bin();           // remove a project
QPixmap key();           // change one's password
// The company logo; also printed at the head of the document. Drawn in the
// proportions of its printed place (4.47:1); scale 5 is sharp on paper.
QPixmap logo(qreal scale = 1.0);

} // namespace dl::icons
