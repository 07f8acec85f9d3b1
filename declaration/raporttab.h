#pragma once
// The tab "Raport": the report's header lines, the day grid of the month
// with its column totals, the expense line and the save button.

#include "ui/controls.h"

#include <QWidget>

namespace dl {

inline constexpr int kDaySlots = 31;
inline constexpr int kTotalsRow = 32;

QWidget* buildRaportTab(FormControls& c);

namespace raport {

struct TextWidths {
    int activity = 0;
    int contact = 0;
};
// The widths of the activity and contact columns in room pixels: their
// full widths when they fit, else shared in proportion, never under the
// minimum (then the days scroll sideways).
TextWidths textWidths(int room, TextWidths full, TextWidths minimum);

} // namespace raport

} // namespace dl
