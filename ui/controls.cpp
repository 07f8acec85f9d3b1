#include "ui/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <stdexcept>

namespace dl {

void FormControls::add(QWidget* w)
{
    Q_ASSERT(!w->objectName().isEmpty());
    m_widgets.insert(w->objectName(), w);
}

QWidget* FormControls::widget(const QString& name) const
{
    QWidget* w = m_widgets.value(name);
    if (!w)
        throw std::logic_error("unknown control " + name.toStdString());
    return w;
}

QString FormControls::text(const QString& name) const
{
    QWidget* w = widget(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        QString t = p->toPlainText();
        t.replace(u'\n', QStringLiteral("\r\n"));
        return t;
    }
    return w->windowTitle();
}

namespace {

// The index follows the text: an editable box whose edit text names another
// entry than its current one picks that entry by itself, as if chosen, when
// the focus leaves it.
void setComboText(QComboBox* c, const QString& text)
{
    const int i = c->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (c->currentIndex() != i)
        c->setCurrentIndex(i);
    if (c->isEditable() && c->currentText() != text)
        c->setEditText(text);
}

} // namespace

void FormControls::setText(const QString& name, const QString& text)
{
    QWidget* w = widget(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != text)
            e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        setComboText(c, text);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (p->toPlainText() != t)
            p->setPlainText(t);
    } else {
        w->setWindowTitle(text);
    }
}

bool FormControls::isShown(const QString& name) const
{
    return !widget(name)->isHidden();
}

void FormControls::setShown(const QString& name, bool shown)
{
    widget(name)->setVisible(shown);
}

} // namespace dl
