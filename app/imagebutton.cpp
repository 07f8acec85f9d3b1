#include "app/imagebutton.h"

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

void ImageButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space)
        Q_EMIT clicked();
    else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        Q_EMIT doubleClicked();
    else
        QLabel::keyPressEvent(e);
}

} // namespace dl
