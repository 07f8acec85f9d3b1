#pragma once
// While the window's connection opens (every address of the list may take
// its whole connect timeout), the window repaints. The opening runs on a
// thread of its own; the window's thread meanwhile handles painting and the
// window system's own events only, so no other action starts.

#include <functional>

namespace dl {

// Runs open (which may throw) and returns or throws when it is done. Off the
// application's thread, or without one, it simply runs open.
void openWhilePainting(const std::function<void()>& open);

} // namespace dl
