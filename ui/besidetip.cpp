#include "ui/besidetip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <functional>

namespace dl::besidetip {

namespace {

constexpr int kGap = 2;
constexpr int kShownMs = 6000;

// Goes as a tool tip goes: at the next key or click, or when the focus moves.
class TipLabel : public QLabel {
public:
    TipLabel() : QLabel(nullptr, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
    {
        setObjectName(QStringLiteral("BesideTip"));
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        setAutoFillBackground(true);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
        m_expire.setSingleShot(true);
        QObject::connect(&m_expire, &QTimer::timeout, this, &QWidget::hide);
        qApp->installEventFilter(this);
    }

    void showAt(const QString& text, const std::function<QPoint(const QSize&)>& place)
    {
        setText(text);
        adjustSize();
        move(place(size()));
        m_expire.start(kShownMs);
        show();
        raise();
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* e) override
    {
        if (!isVisible())
            return false;
        switch (e->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key < Qt::Key_Shift || key > Qt::Key_ScrollLock)
                hide();
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::FocusOut:
        case QEvent::Wheel:
            hide();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QTimer m_expire;
};

QPointer<TipLabel> g_tip;

} // namespace

QPoint position(const QRect& control, const QSize& tip, const QRect& available)
{
    const int x = std::clamp(control.left(), available.left(),
                             std::max(available.left(), available.right() + 1 - tip.width()));
    if (control.bottom() + kGap + tip.height() - 1 <= available.bottom() ||
        control.top() - kGap - tip.height() < available.top())
        return {x, control.bottom() + kGap};
    return {x, control.top() - kGap - tip.height()};
}

void show(QWidget* control, const QString& text)
{
    if (!g_tip)
        g_tip = new TipLabel;
    const QScreen* screen = control->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), QSize(1 << 14, 1 << 14));
    const QRect at(control->mapToGlobal(QPoint(0, 0)), control->size());
    g_tip->showAt(text, [&](const QSize& size) { return position(at, size, available); });
}

QWidget* shown()
{
    return g_tip && g_tip->isVisible() ? g_tip.data() : nullptr;
}

} // namespace dl::besidetip
