#pragma once
// A top-level window whose title bar and frame come on top of the size it
// asked for: once the window system has framed it, it is made to fit the
// screen's free area whole, the close button and the bottom edge included.

#include <QPoint>
#include <QRect>
#include <QSize>

class QString;
class QWidget;

namespace dl::onscreen {

struct Placement {
    QPoint framePos; // where the frame's top left goes
    QSize client;    // the window's own size
};

// The window shrunk by what of its frame sticks out of available (by no
// more than the frame itself), and moved inside it; as it is when it fits.
Placement fit(const QRect& frame, const QSize& client, const QRect& available);

// Fits window each time it is shown (it is also fitted a moment later,
// when a window manager adds its frame late).
void keepOnScreen(QWidget* window);

// The window's contents, in a scroll area (named scrollName) that fills it
// and shows bars only where the window is smaller than their smallest
// layout (200 % on a small screen): every control stays in reach.
QWidget* scrollingBody(QWidget* window, const QString& scrollName);

} // namespace dl::onscreen
