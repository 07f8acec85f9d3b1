#include "ui/messagebox.h"

#include "ui/typeahead.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>

#include <algorithm>

namespace dl {

namespace {

void setPlainText(QMessageBox& box, const QString& caption, const QString& text)
{
    box.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    // The texts break their own lines; a box wide enough for the longest one
    // keeps Qt from breaking them again.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        int longest = 0;
        for (const QString& line : shown.split(u'\n'))
            longest = std::max(longest, label->fontMetrics().horizontalAdvance(line));
        // Never wider than the box may grow on this screen (QMessageBox's own
        // limit), less its icon and margins: a line wider breaks at its words
        // rather than at the box's edge.
        const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
        const int screenWidth = screen ? screen->availableGeometry().width() : 1366;
        const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
        const int room = std::clamp(boxLimit - 120, 200, 880);
        label->setMinimumWidth(std::min(longest + 8, room));
        label->setWordWrap(longest + 8 > room);
    }
}

void setIcon(QMessageBox& box, Icon icon)
{
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
}

// A box that opens while a key is held must not take that key as its
// answer: while the box runs, its repeated presses (and their shortcut
// checks) and the release of a press the box never saw go nowhere.
class HeldKeys : public QObject {
public:
    explicit HeldKeys(QWidget* box) : m_box(box) { QCoreApplication::instance()->installEventFilter(this); }
    ~HeldKeys() override { QCoreApplication::instance()->removeEventFilter(this); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || (w != m_box && !m_box->isAncestorOf(w)))
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->isAutoRepeat()) {
            key->accept(); // a repeated shortcut is overridden, and then the press goes nowhere
            return true;
        }
        if (type == QEvent::KeyPress)
            m_pressed.insert(key->key());
        else if (type == QEvent::KeyRelease && !m_pressed.remove(key->key()))
            return true;
        return false;
    }

private:
    QWidget* m_box;
    QSet<int> m_pressed;
};

} // namespace

QtMessageService::QtMessageService()
{
    // A box that opens in the middle of typing must know that it does.
    typeahead::watchTyping();
}

Answer QtMessageService::show(const Message& m)
{
    // What was typed before the box appeared goes to its field, not into the box.
    typeahead::now();
    QMessageBox box(QApplication::activeWindow());
    setPlainText(box, m.caption, m.text);
    setIcon(box, m.icon);
    if (m.buttons == Buttons::YesNo) {
        QAbstractButton* yes = box.addButton(QMessageBox::Yes);
        QAbstractButton* no = box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("&Ja"));
        no->setText(QStringLiteral("&Nee"));
        box.setDefaultButton(m.defaultAnswer == Answer::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        const HeldKeys held(&box);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.addButton(QMessageBox::Ok);
    const HeldKeys held(&box);
    box.exec();
    return Answer::Ok;
}

int QtMessageService::choose(const Choice& c)
{
    typeahead::now();
    QMessageBox box(QApplication::activeWindow());
    QString text = c.text;
    if (!c.lines.isEmpty())
        text += QStringLiteral("\r\n\r\n") + c.lines.join(QStringLiteral("\r\n"));
    setPlainText(box, c.caption, text);
    setIcon(box, c.icon);
    QList<QPushButton*> buttons;
    for (const QString& name : c.buttons)
        buttons << box.addButton(name, QMessageBox::ActionRole);
    if (buttons.isEmpty())
        buttons << box.addButton(QMessageBox::Ok);
    const int def = std::clamp(c.defaultButton, 0, int(buttons.size()) - 1);
    const int esc = c.escapeButton >= 0 && c.escapeButton < buttons.size() ? c.escapeButton : def;
    box.setDefaultButton(buttons[def]);
    box.setEscapeButton(buttons[esc]);
    const HeldKeys held(&box);
    box.exec();
    const int pressed = int(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return pressed >= 0 ? pressed : esc;
}

} // namespace dl
