#include "app/messages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

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
        label->setMinimumWidth(std::min(longest + 8, 880));
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

} // namespace

Answer QtMessageService::show(const Message& m)
{
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
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

int QtMessageService::choose(const Choice& c)
{
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
    box.exec();
    const int pressed = int(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return pressed >= 0 ? pressed : esc;
}

} // namespace dl
