#pragma once
// A picture that acts as a button: single or double click, with tool tip.
// From the keyboard Space and Enter alike click and double-click, once per
// press, on the key's release: a key held down never repeats an action. The
// keyboard focus is drawn as a frame.

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
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int m_pressedKey = 0; // pressed here and not yet released; 0: none
};

} // namespace dl
