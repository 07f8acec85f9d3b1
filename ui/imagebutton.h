#pragma once
// A picture that acts as a button: single or double click, with tool tip.
// From the keyboard Space and Enter alike click and double-click, once per
// press, on the key's release: a key held down never repeats an action. The
// keyboard focus is drawn as a frame. A button that acts on a double click
// only says so when it is clicked once.

#include <QLabel>

class QTimer;

namespace dl {

// Added to the tool tip after a single click on a button that takes two.
QString doubleClickHint();

class ImageButton;
// keys anywhere in window act as a double click on button while the button
// is not hidden (on a tab page not shown it still acts), and its tool tip
// names them.
void doubleClickOnKeys(QWidget* window, ImageButton* button, const QKeySequence& keys);

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
    bool actsOnDoubleClickOnly();
    int m_pressedKey = 0; // pressed here and not yet released; 0: none
    QTimer* m_hint = nullptr;
    bool m_afterDoubleClick = false;
};

} // namespace dl
