#pragma once
// The tab "Raport": the report's header lines, the day grid of the month
// with its column totals, the expense line and the save button.

#include "ui/controls.h"

#include <QWidget>

namespace dl {

inline constexpr int kDaySlots = 31;
inline constexpr int kTotalsRow = 32;

QWidget* buildRaportTab(FormControls& c);

} // namespace dl
