#pragma once
// The tab "Declaratie": project choice and details, year and month choice,
// the money summary, the remark for the office, the printer choice and the
// buttons for declaring, printing and ending the program.

#include "ui/controls.h"

#include <QWidget>

namespace dl {

QWidget* buildDeclaratieTab(FormControls& c);

} // namespace dl
