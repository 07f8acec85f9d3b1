#include "ui/typeahead.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QThread>
#include <QWidget>

namespace dl::typeahead {

namespace {

QEvent::Type replayType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// Carries keys to the next turn of the event loop, or to now().
class Replay : public QObject {
public:
    explicit Replay(std::vector<HeldKey> keys) : m_keys(std::move(keys)) {}

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != replayType())
            return QObject::event(e);
        typeIn(std::move(m_keys));
        deleteLater();
        return true;
    }

private:
    std::vector<HeldKey> m_keys;
};

bool takesTyping(QObject* o)
{
    if (auto* edit = qobject_cast<QLineEdit*>(o))
        return edit->isEnabled() && !edit->isReadOnly() && !qobject_cast<QComboBox*>(edit->parentWidget());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(o))
        return plain->isEnabled() && !plain->isReadOnly();
    if (auto* rich = qobject_cast<QTextEdit*>(o))
        return rich->isEnabled() && !rich->isReadOnly();
    return false;
}

QWindow* windowOf(QObject* target)
{
    if (target->isWindowType())
        return static_cast<QWindow*>(target);
    if (target->isWidgetType())
        return static_cast<QWidget*>(target)->window()->windowHandle();
    return nullptr;
}

} // namespace

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
        return true;
    default:
        return false;
    }
}

bool KeyHold::take(QObject* target, QEvent* e)
{
    const QEvent::Type type = e->type();
    if (!isUserInput(type))
        return false;
    if (type == QEvent::ShortcutOverride) {
        e->accept(); // overridden: the shortcut does not fire, the key comes as a press
        return true;
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        if (QWindow* window = windowOf(target))
            m_keys.push_back(
                {QPointer<QWindow>(window), std::unique_ptr<QKeyEvent>(static_cast<QKeyEvent*>(e->clone()))});
    }
    return true;
}

void typeIn(std::vector<HeldKey> keys)
{
    for (HeldKey& k : keys) {
        QWindow* window = k.window.data();
        if (!window)
            continue;
        // Straight to the field: a window behind an open box would drop it.
        QObject* focus = window->focusObject();
        if (focus && takesTyping(focus))
            QCoreApplication::sendEvent(focus, k.key.get());
    }
}

void typeInLater(std::vector<HeldKey> keys)
{
    if (keys.empty())
        return;
    auto* replay = new Replay(std::move(keys));
    QCoreApplication::postEvent(replay, new QEvent(replayType()));
}

namespace {

// When a key last came from the window system.
class TypingWatch : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && target->isWindowType())
            m_last.start();
        return false;
    }
    bool typedWithin(int ms) const { return m_last.isValid() && m_last.elapsed() < ms; }
    void restart() { m_last.start(); }

private:
    QElapsedTimer m_last;
};

TypingWatch* typingWatch()
{
    static TypingWatch* watch = [] {
        auto* w = new TypingWatch;
        QCoreApplication::instance()->installEventFilter(w);
        return w;
    }();
    return watch;
}

// A key comes some tens of milliseconds after the one before it; a box that
// opens in the middle of typing waits for the typing to pause, so that what
// follows goes to the fields, not into the box.
constexpr int kTypingPauseMs = 150;
constexpr int kLongestWaitMs = 1000;

} // namespace

void watchTyping()
{
    if (QCoreApplication::instance())
        typingWatch();
}

void now()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QCoreApplication::sendPostedEvents(nullptr, replayType());
    TypingWatch* watch = typingWatch();
    KeyHold hold;
    app->installEventFilter(&hold);
    QElapsedTimer waited;
    waited.start();
    std::size_t seen = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (hold.held() != seen) {
            seen = hold.held();
            watch->restart();
        }
        if (!watch->typedWithin(kTypingPauseMs) || waited.elapsed() >= kLongestWaitMs)
            break;
        QThread::msleep(10);
    }
    app->removeEventFilter(&hold);
    typeIn(hold.release());
}

} // namespace dl::typeahead
