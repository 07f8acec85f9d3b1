#pragma once
// A word for a control (a refused key, a hint) in a small tip beside it.
// Not QToolTip: that one is placed a pointer's height below the point and,
// at the screen's foot, back over the control, under the pointer, which
// takes it away again at once.

#include <QPoint>
#include <QRect>
#include <QSize>

class QString;
class QWidget;

namespace dl::besidetip {

// Where a tip of this size goes for a control at this place: below it, or
// above it where the screen ends first; never over it.
QPoint position(const QRect& control, const QSize& tip, const QRect& available);

// Shown until a key, a click, a change of focus or some seconds go by.
void show(QWidget* control, const QString& text);

// The tip on screen, or none.
QWidget* shown();

} // namespace dl::besidetip
