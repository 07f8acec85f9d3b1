#include "app/serverwait.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace dl {

namespace {

// A top-level widget is closed through its window, and the window system's
// close comes to the window first.
QWidget* widgetOf(QObject* target)
{
    if (target->isWidgetType())
        return static_cast<QWidget*>(target);
    if (target->isWindowType()) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() == target)
                return w;
        }
    }
    return nullptr;
}

// Closes the window once the action that waited has returned to the event
// loop, not inside a box the same action shows next: a deferred delete is
// delivered only there, so the close rides on one.
class DeferredClose : public QObject {
public:
    explicit DeferredClose(QWidget* window) : m_window(window) {}

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::DeferredDelete) {
            if (QWidget* w = m_window.data())
                w->close();
        }
        return QObject::event(e);
    }

private:
    QPointer<QWidget> m_window;
};

// Keeps everything that could start an action out while the server is
// waited for. Input from the window system is held back by the event loop flag
// and comes afterwards; timers fire again after their interval; a window
// asked to close closes once the wait is over. Painting, exposure, resizing
// and queued results of other threads (the ticker's) go on.
class PaintOnly : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* e) override
    {
        if (e->type() == QEvent::Timer || e->isInputEvent())
            return true;
        if (e->type() == QEvent::Close) {
            e->ignore();
            if (QWidget* w = widgetOf(target); w && !m_closes.contains(w))
                m_closes << QPointer<QWidget>(w);
            return true;
        }
        return false;
    }

    void closeLater()
    {
        for (const QPointer<QWidget>& w : std::as_const(m_closes)) {
            if (QWidget* widget = w.data())
                (new DeferredClose(widget))->deleteLater();
        }
    }

private:
    QList<QPointer<QWidget>> m_closes;
};

} // namespace

void waitWhilePainting(const std::function<void()>& work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        work();
        return;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::atomic<bool> done{false};
    std::promise<void> finished;
    std::future<void> result = finished.get_future();
    std::thread opener([&] {
        try {
            work();
            finished.set_value();
        } catch (...) {
            finished.set_exception(std::current_exception());
        }
        done.store(true);
        if (dispatcher)
            dispatcher->wakeUp();
    });
    // A server that answers at once is not waited for with events.
    if (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        PaintOnly filter;
        app->installEventFilter(&filter);
        while (!done.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
        app->removeEventFilter(&filter);
        filter.closeLater();
    }
    opener.join();
    result.get();
}

} // namespace dl
