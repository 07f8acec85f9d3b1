#include "ui/onscreen.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace dl::onscreen {

Placement fit(const QRect& frame, const QSize& client, const QRect& available)
{
    const QSize decoration = (frame.size() - client).expandedTo(QSize(0, 0));
    const QSize room = (available.size() - decoration).expandedTo(QSize(1, 1));
    // The frame is what is made room for: a window that asked for more than
    // the screen was given what the screen has (startSize), and keeps it.
    const QSize size = client.boundedTo(room).expandedTo(client - decoration);
    const QSize whole = size + decoration;
    const int x = std::clamp(frame.x(), available.left(),
                             std::max(available.left(), available.right() + 1 - whole.width()));
    const int y = std::clamp(frame.y(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - whole.height()));
    return {QPoint(x, y), size};
}

namespace {

void fitNow(QWidget* w)
{
    const QScreen* s = w->screen();
    // Without a frame (no window manager) the size asked is the size shown.
    if (!s || !w->isVisible() || w->isMaximized() || w->isFullScreen() ||
        w->frameGeometry().size() == w->size())
        return;
    const Placement p = fit(w->frameGeometry(), w->size(), s->availableGeometry());
    if (p.client != w->size())
        w->resize(p.client);
    if (p.framePos != w->frameGeometry().topLeft())
        w->move(p.framePos);
}

class Keeper : public QObject {
public:
    explicit Keeper(QWidget* w) : QObject(w), m_window(w) { w->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == m_window && e->type() == QEvent::Show) {
            for (const int ms : {0, 300})
                QTimer::singleShot(ms, m_window, [w = m_window] { fitNow(w); });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    QWidget* m_window;
};

} // namespace

QWidget* scrollingBody(QWidget* window, const QString& scrollName)
{
    auto* body = new QWidget;
    auto* whole = new QScrollArea;
    whole->setObjectName(scrollName);
    whole->setWidgetResizable(true);
    whole->setFrameShape(QFrame::NoFrame);
    whole->setFocusPolicy(Qt::NoFocus);
    whole->setWidget(body);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(whole);
    return body;
}

void keepOnScreen(QWidget* window)
{
    // No screen a person looks at, nor a window manager's frame.
    if (QGuiApplication::platformName() == u"offscreen")
        return;
    new Keeper(window);
}

} // namespace dl::onscreen
