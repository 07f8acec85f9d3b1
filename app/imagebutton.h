#pragma once
// A picture that acts as a button: single or double click, with tool tip.

#include <QLabel>

namespace dl {

class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(const QString& objectName, const QPixmap& picture, const QString& toolTip,
                QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace dl
