#include "app/serverwait.h"

#include "ui/typeahead.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QList>
#include <QMimeData>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <thread>
#include <typeinfo>
#include <vector>

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

// What the window's thread handles while the server is waited for: painting,
// exposure, resizing and what a window being shown, moved, raised or themed
// is told about itself, and the queued results of the program's own threads.
bool passesDuringWait(QEvent::Type type)
{
    switch (type) {
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::Expose:
    case QEvent::PlatformSurface:
    case QEvent::WinIdChange:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::LayoutRequest:
    case QEvent::ScreenChangeInternal:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::WindowStateChange:
    case QEvent::ActivationChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationStateChange:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::FocusAboutToChange:
    case QEvent::Polish:
    case QEvent::PolishRequest:
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
    case QEvent::ParentAboutToChange:
    case QEvent::ParentChange:
    case QEvent::EnabledChange:
    case QEvent::ReadOnlyChange:
    case QEvent::ModifiedChange:
    case QEvent::ToolTipChange:
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
    case QEvent::CursorChange:
    case QEvent::ContentsRectChange:
    case QEvent::DynamicPropertyChange:
    case QEvent::LocaleChange:
    case QEvent::LanguageChange:
    case QEvent::ZOrderChange:
    case QEvent::InputMethodQuery:
    case QEvent::MetaCall:
    case QEvent::SockAct:
    case QEvent::SockClose:
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}

// A copy of a drop that does not depend on the drag still being there (its
// data goes with the drag once the drop has been answered), for the widget
// the drop was sent to; type DragEnter for the enter that must precede it.
QEvent* copyOfDrop(const QDropEvent& e, QEvent::Type type, QMimeData*& data)
{
    if (!data) {
        data = new QMimeData;
        for (const QString& format : e.mimeData()->formats())
            data->setData(format, e.mimeData()->data(format));
    }
    if (type == QEvent::DragEnter)
        return new QDragEnterEvent(e.position().toPoint(), e.possibleActions(), data, e.buttons(),
                                   e.modifiers());
    return new QDropEvent(e.position(), e.possibleActions(), data, e.buttons(), e.modifiers());
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

// Keeps everything that could start an action or change a month out while
// the server is waited for, and hands it over afterwards in the order it
// came: keys are typed into their fields once the action shows its outcome
// (typeahead), clicks are dropped; other events (drops, input methods,
// posted work) are held here; timers fire again after their interval; a
// window asked to close closes.
class PaintOnly : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* e) override
    {
        const QEvent::Type type = e->type();
        if (passesDuringWait(type))
            return false;
        if (m_keys.take(target, e))
            return true;
        if (type == QEvent::Timer)
            return true; // a copy would run a repeating timer twice
        if (type == QEvent::Close) {
            e->ignore();
            if (QWidget* w = widgetOf(target); w && !m_closes.contains(w))
                m_closes << QPointer<QWidget>(w);
            return true;
        }
        if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            // Answered "copy", so that the drop comes and is held; as the drop
            // is refused now, a drag that moves keeps its text at its source.
            auto* drag = static_cast<QDropEvent*>(e);
            if (drag->possibleActions() & Qt::CopyAction)
                drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        Held h{QPointer<QObject>(target), nullptr, nullptr};
        if (type == QEvent::Drop) {
            // A widget takes a drop only after it took the drag's enter.
            auto* drop = static_cast<QDropEvent*>(e);
            drop->ignore();
            m_held.push_back(
                {h.target, std::unique_ptr<QEvent>(copyOfDrop(*drop, QEvent::DragEnter, h.data)), nullptr});
            h.event.reset(copyOfDrop(*drop, QEvent::Drop, h.data));
        } else {
            h.event.reset(e->clone());
        }
        const QEvent& copy = *h.event;
        if (typeid(copy) != typeid(*e)) {
            // An event that cannot be copied whole is handled now rather than lost.
            return false;
        }
        m_held.push_back(std::move(h));
        return true;
    }

    void handOver()
    {
        for (Held& h : m_held) {
            if (QObject* target = h.target.data())
                QCoreApplication::postEvent(target, h.event.release());
            if (h.data)
                h.data->deleteLater(); // after the event that reads it, posted before
        }
        m_held.clear();
        typeahead::typeInLater(m_keys.release());
        for (const QPointer<QWidget>& w : std::as_const(m_closes)) {
            if (QWidget* widget = w.data())
                (new DeferredClose(widget))->deleteLater();
        }
    }

private:
    struct Held {
        QPointer<QObject> target;
        std::unique_ptr<QEvent> event;
        QMimeData* data; // a drag's data, owned until the copy was handed over
    };
    std::vector<Held> m_held;
    typeahead::KeyHold m_keys; // typed into their fields once the action shows its outcome
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
        // Input is taken as it comes: left in the window system's queue, the
        // keys would be dropped once a box of the action blocks the window.
        while (!done.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // What was posted while waiting is held behind what came before it.
        QCoreApplication::sendPostedEvents();
        app->removeEventFilter(&filter);
        filter.handOver();
    }
    opener.join();
    result.get();
}

} // namespace dl
