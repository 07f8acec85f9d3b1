#include "ui/imagebutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

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

void ImageButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(e);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
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
    if (e->key() == Qt::Key_Space)
        Q_EMIT clicked();
    else
        Q_EMIT doubleClicked();
}

void ImageButton::focusOutEvent(QFocusEvent* e)
{
    // A key released after the focus went elsewhere belongs to nobody here.
    m_pressedKey = 0;
    QLabel::focusOutEvent(e);
}

} // namespace dl
