#include "app/messages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace dl {

Answer QtMessageService::show(const Message& m)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.caption.isEmpty() ? applicationTitle() : m.caption);
    QString shown = m.text;
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
    switch (m.icon) {
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

} // namespace dl
