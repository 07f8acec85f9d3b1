#pragma once
// While the window waits for the server (a connection that opens, every
// address of the list taking its whole connect timeout; a row another
// workstation holds), the window repaints. The work runs on a thread of its
// own; the window's thread meanwhile handles painting, exposure, resizing and
// the queued results of other threads only, so no other action starts and
// nothing reaches the form between what an action collected and what it
// wrote. Keys typed meanwhile reach their fields before the action's first
// box, or once it is done; a click is dropped. What else arrives is handed
// over afterwards, in order.

#include <functional>

namespace dl {

// Runs work (which may throw) and returns or throws when it is done. Off the
// application's thread, or without one, it simply runs work.
void waitWhilePainting(const std::function<void()>& work);

} // namespace dl
