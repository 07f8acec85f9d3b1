#pragma once
// The controls of a form by their form names ("Text26(5)", "Label2(13)"):
// their text, and whether they are shown. The controls are the only store of
// the report being edited, so the actions read and write them through this.

#include <QHash>
#include <QString>
#include <QWidget>

namespace dl {

class FormControls {
public:
    void add(QWidget* w);
    QWidget* widget(const QString& name) const;
    template <typename T> T* get(const QString& name) const { return qobject_cast<T*>(widget(name)); }
    bool contains(const QString& name) const { return m_widgets.contains(name); }

    // Line edits, combo boxes (their edit text; the current entry follows it),
    // labels and multi-line texts (line breaks as CR LF). Setting a text to
    // the text it holds changes nothing.
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);

    // Shown as a property of the control itself, whatever its parents do.
    bool isShown(const QString& name) const;
    void setShown(const QString& name, bool shown);

private:
    QHash<QString, QWidget*> m_widgets;
};

// "Text26" and 5 -> "Text26(5)".
inline QString element(const QString& array, int index)
{
    return array + u'(' + QString::number(index) + u')';
}

} // namespace dl
