#pragma once
// Keys typed while the window could not take them: while the program waits
// for the server, and in the moment before a box opens, when the window
// system still holds keys typed before the box appeared (Qt drops them once
// a box blocks their window). They are taken out as they come and typed
// into the window they were meant for, in order, once it takes them again.
// Only keys for a text field are typed in: a key that would press a button,
// choose from a list or fire a shortcut starts nothing in the middle of an
// action, and is dropped as a busy window drops it. So is a click meanwhile.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <vector>

class QKeyEvent;

namespace dl::typeahead {

struct HeldKey {
    QPointer<QWindow> window;
    std::unique_ptr<QKeyEvent> key;
};

// A key, click or other input from the window system.
bool isUserInput(QEvent::Type type);

// As an application event filter: holds the keys the window system sends to
// a window, overrides every shortcut (none fires) and drops other input.
class KeyHold : public QObject {
public:
    // True when the event was taken (held or dropped).
    bool take(QObject* target, QEvent* e);
    std::vector<HeldKey> release() { return std::move(m_keys); }
    std::size_t held() const { return m_keys.size(); }

protected:
    bool eventFilter(QObject* target, QEvent* e) override { return take(target, e); }

private:
    std::vector<HeldKey> m_keys;
};

// Types keys in now: each to the focus of its window, while that is a text
// field that takes typing; any other is dropped.
void typeIn(std::vector<HeldKey> keys);
// Types them in once the event loop runs again, or at the next now().
void typeInLater(std::vector<HeldKey> keys);
// Before a box opens: what typeInLater kept, then the keys the window system
// holds now and, while the consultant is typing, those that follow until the
// typing pauses (at most a second), typed in.
void now();
// From now on, knows when a key last came (the real boxes call it).
void watchTyping();

} // namespace dl::typeahead
