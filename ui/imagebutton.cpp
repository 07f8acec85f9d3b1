#include "ui/imagebutton.h"

#include "ui/besidetip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

namespace dl {

ImageButton::ImageButton(const QString& objectName, const QPixmap& picture, const QString& toolTip,
                         QWidget* parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    setPixmap(picture);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    // Reachable from the keyboard too: Space clicks, Enter double-clicks.
    setFocusPolicy(Qt::TabFocus);
    setAlignment(Qt::AlignCenter);
    setAccessibleName(toolTip.isEmpty() ? objectName : toolTip);
}

void doubleClickOnKeys(QWidget* window, ImageButton* button, const QKeySequence& keys)
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (!button->isHidden() && button->isEnabled())
            Q_EMIT button->doubleClicked();
    });
    button->setToolTip(button->toolTip() + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) +
                       u')');
}

QString doubleClickHint()
{
    return QStringLiteral("Dubbelklik om dit te doen.");
}

bool ImageButton::actsOnDoubleClickOnly()
{
    return isSignalConnected(QMetaMethod::fromSignal(&ImageButton::doubleClicked)) &&
           !isSignalConnected(QMetaMethod::fromSignal(&ImageButton::clicked));
}

void ImageButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        // A single click does nothing here: said once the second click did not come.
        const bool second = m_afterDoubleClick;
        m_afterDoubleClick = false;
        if (!second && actsOnDoubleClickOnly()) {
            if (!m_hint) {
                m_hint = new QTimer(this);
                m_hint->setSingleShot(true);
                connect(m_hint, &QTimer::timeout, this, [this] {
                    besidetip::show(this, toolTip() + QStringLiteral("\n") + doubleClickHint());
                });
            }
            m_hint->start(QApplication::doubleClickInterval() + 50);
        }
        const QPointer<ImageButton> self(this);
        Q_EMIT clicked();
        if (!self)
            return;
    }
    QLabel::mouseReleaseEvent(e);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        if (m_hint)
            m_hint->stop();
        m_afterDoubleClick = true; // its release is no single click
        const QPointer<ImageButton> self(this);
        Q_EMIT doubleClicked();
        if (!self)
            return;
    }
    QLabel::mouseDoubleClickEvent(e);
}

namespace {

bool actsOn(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

void ImageButton::keyPressEvent(QKeyEvent* e)
{
    if (!actsOn(e->key())) {
        QLabel::keyPressEvent(e);
        return;
    }
    // A held key repeats its press; only the first one counts.
    if (!e->isAutoRepeat())
        m_pressedKey = e->key();
    e->accept();
}

void ImageButton::keyReleaseEvent(QKeyEvent* e)
{
    if (!actsOn(e->key())) {
        QLabel::keyReleaseEvent(e);
        return;
    }
    e->accept();
    // The releases between repeated presses, and a key pressed elsewhere
    // (in a box that closed since), do nothing.
    if (e->isAutoRepeat() || e->key() != m_pressedKey)
        return;
    m_pressedKey = 0;
    // Either key does what the mouse's double-click does (which clicks first
    // too), whichever of the two the button acts on. The click may end the
    // form the button is on.
    const QPointer<ImageButton> self(this);
    Q_EMIT clicked();
    if (self)
        Q_EMIT doubleClicked();
}

void ImageButton::paintEvent(QPaintEvent* e)
{
    QLabel::paintEvent(e);
    if (!hasFocus())
        return;
    // A picture shows no focus of its own, and some styles draw a focus
    // frame only after a Tab: the frame is drawn here, in the focus colour.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DotLine));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
}

void ImageButton::focusOutEvent(QFocusEvent* e)
{
    // A key released after the focus went elsewhere belongs to nobody here.
    m_pressedKey = 0;
    QLabel::focusOutEvent(e);
}

} // namespace dl
