#include "ui/formparts.h"

#include <algorithm>
#include <limits>

#include <QAbstractItemView>
#include <QEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QValidator>

namespace dl::form {

namespace {

// A click on the read-only edit of a combo box opens its list, as on a
// drop-down list.
class PopupOnClick : public QObject {
public:
    explicit PopupOnClick(QComboBox* box) : QObject(box), m_box(box) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // On release: a popup opened on press closes again at the release.
        if (e->type() == QEvent::MouseButtonRelease && m_box->isEnabled()) {
            m_box->showPopup();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    QComboBox* m_box;
};

// Judges each edit before the edit shows and before textEdited and
// textChanged go out. A refused edit is undone by the line edit itself, text,
// cursor and selection as they were.
class InputLimit : public QValidator {
public:
    InputLimit(QLineEdit* edit, int max, Fit fit) : QValidator(edit), m_edit(edit), m_max(max), m_fit(fit)
    {
        // The text before an edit is the one textChanged saw last.
        m_before = edit->text();
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { m_before = t; });
    }

    State validate(QString& input, int& pos) const override
    {
        // A text the program sets clears the edit's undo history before it is
        // judged; a typed or pasted one is on it. Only those are limited.
        if (!m_edit->isUndoAvailable())
            return Acceptable;
        if (input.size() <= m_max || input.size() <= m_before.size())
            return Acceptable;
        if (m_fit == Fit::Whole)
            return Invalid;
        int cursor = pos;
        const QString fitted = limitEdit(m_before, input, m_max, &cursor);
        if (fitted == m_before)
            return Invalid;
        input = fitted;
        pos = cursor;
        return Acceptable;
    }

private:
    QLineEdit* m_edit;
    int m_max;
    Fit m_fit;
    QString m_before;
};

} // namespace

QFont courierNew()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(10);
    return f;
}

QLineEdit* text(FormControls& c, const QString& name, const TextOptions& options)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    // Not the 32,767 characters QLineEdit cuts a text at: a stored text
    // comes back whole.
    e->setMaxLength(std::numeric_limits<int>::max());
    e->setText(options.design);
    if (options.maxLength > 0)
        limitUserInput(e, options.maxLength, options.number ? Fit::Whole : Fit::WhatFits);
    e->setReadOnly(options.locked);
    e->setAlignment(options.align | Qt::AlignVCenter);
    e->setFrame(options.frame);
    if (options.fixedPitch)
        e->setFont(courierNew());
    if (options.locked)
        e->setFocusPolicy(Qt::ClickFocus);
    if (options.hidden)
        e->setVisible(false);
    c.add(e);
    return e;
}

EditSpan changedSpan(const QString& old, const QString& now)
{
    qsizetype head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    return {head, tail};
}

QString limitEdit(const QString& old, const QString& now, int max, int* cursor)
{
    if (now.size() <= max || now.size() <= old.size())
        return now;
    const auto [head, tail] = changedSpan(old, now);
    const qsizetype inserted = now.size() - head - tail;
    qsizetype keep = std::max<qsizetype>(0, inserted - (now.size() - std::max<qsizetype>(max, old.size())));
    // Never half a character: a pair of surrogates stays together or goes.
    if (keep > 0 && now[head + keep - 1].isHighSurrogate())
        --keep;
    if (cursor)
        *cursor = int(head + keep);
    return now.left(head + keep) + now.right(tail);
}

void limitUserInput(QLineEdit* edit, int maxLength, Fit fit)
{
    edit->setProperty("dl_inputLimit", maxLength);
    edit->setValidator(new InputLimit(edit, maxLength, fit));
}

int userInputLimit(const QLineEdit* edit)
{
    return edit->property("dl_inputLimit").toInt();
}

QLabel* label(FormControls& c, const QString& name, const QString& caption)
{
    auto* l = new QLabel(caption);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    c.add(l);
    return l;
}

QComboBox* combo(FormControls& c, const QString& name, const QString& design, bool readOnlyEdit)
{
    auto* b = new QComboBox;
    b->setObjectName(name);
    b->setEditable(true);
    b->setInsertPolicy(QComboBox::NoInsert);
    b->setCompleter(nullptr);
    b->setEditText(design);
    if (readOnlyEdit) {
        b->lineEdit()->setReadOnly(true);
        b->lineEdit()->installEventFilter(new PopupOnClick(b));
    }
    c.add(b);
    return b;
}

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget* parent) : QPlainTextEdit(parent), m_max(maxLength)
{
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedTextEdit::enforce);
}

int LimitedTextEdit::storedLength(const QString& plain)
{
    return int(plain.size() + plain.count(u'\n'));
}

void LimitedTextEdit::enforce()
{
    if (m_enforcing)
        return;
    QString t = toPlainText();
    int excess = storedLength(t) - m_max;
    if (excess <= 0)
        return;
    m_enforcing = true;
    // Drop what was just typed or pasted, the characters before the cursor.
    QTextCursor cur = textCursor();
    int pos = cur.position();
    while (excess > 0 && !t.isEmpty()) {
        int at = pos > 0 ? pos - 1 : int(t.size()) - 1;
        // Both halves of a surrogate pair, never one.
        const int n = at > 0 && t.at(at).isLowSurrogate() && t.at(at - 1).isHighSurrogate() ? 2 : 1;
        at -= n - 1;
        excess -= t.at(at) == u'\n' ? 2 : n;
        t.remove(at, n);
        if (pos > 0)
            pos -= n;
    }
    setPlainText(t);
    cur = textCursor();
    cur.setPosition(qMin(pos, int(t.size())));
    setTextCursor(cur);
    m_enforcing = false;
}

} // namespace dl::form
