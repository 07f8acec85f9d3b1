#include "ui/formparts.h"

#include "ui/besidetip.h"

#include <algorithm>
#include <limits>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
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
// textChanged go out: first the characters, then the length. A refused edit
// is undone by the line edit itself, text, cursor and selection as they were.
class InputRules : public QValidator {
public:
    InputRules(QLineEdit* edit, int max, Fit fit, EditRule rule)
        : QValidator(edit), m_edit(edit), m_max(max), m_fit(fit), m_rule(rule)
    {
        // The text before an edit is the one textChanged saw last.
        m_before = edit->text();
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) {
            m_before = t;
            m_holdAt = -1;
        });
        // Moved on, the next digits start a number of their own.
        connect(edit, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
            if (now != m_holdAt)
                m_holdAt = -1;
        });
        connect(edit, &QLineEdit::inputRejected, this, &InputRules::tellWhy);
        edit->installEventFilter(this);
    }

    int max() const { return m_max; }
    void setCarryTo(QLineEdit* to) { m_carryTo = to; }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::FocusOut)
            m_holdAt = -1;
        return QValidator::eventFilter(watched, e);
    }

    State validate(QString& input, int& pos) const override
    {
        // A text the program sets clears the edit's undo history before it is
        // judged; a typed or pasted one is on it. Only those are judged.
        if (!m_edit->isUndoAvailable())
            return Acceptable;
        m_why.clear();
        m_carry.clear();
        if (m_rule && !judge(input, pos))
            return Invalid;
        if (m_max <= 0 || input.size() <= m_max || input.size() <= m_before.size())
            return carried();
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
    bool judge(QString& input, int& pos) const
    {
        if (input == m_before)
            return true;
        UserEdit e;
        e.before = m_before;
        e.text = input;
        e.cursor = pos;
        const auto [head, tail] = changedSpan(m_before, input);
        const QString brought = input.mid(head, input.size() - head - tail);
        // Digits at the place of a refused decimal sign: "2,5" must not become 25.
        const bool insertedAtHold =
            m_holdAt >= 0 && head == m_holdAt && head + tail == m_before.size() && !brought.isEmpty() &&
            std::all_of(brought.cbegin(), brought.cend(), [](QChar c) { return c.isDigit(); });
        if (insertedAtHold) {
            m_why = m_holdWhy;
            return false;
        }
        if (!m_rule(e)) {
            m_why = e.why;
            // Refused right after a figure: the digits typed next would join it.
            const bool afterFigure = head > 0 && (m_before[head - 1].isDigit() || m_before[head - 1] == u'.');
            if (e.hold || (afterFigure && brought.size() == 1)) {
                m_holdAt = int(head);
                m_holdWhy = e.why;
            }
            return false;
        }
        input = e.text;
        pos = e.cursor;
        m_carry = e.carry;
        return true;
    }

    // An accepted edit hands on what its rule left for the next field.
    State carried() const
    {
        if (!m_carry.isNull() && m_carryTo)
            m_carryTo->setText(m_carry);
        return Acceptable;
    }

    void tellWhy()
    {
        if (m_why.isEmpty())
            return;
        QApplication::beep();
        besidetip::show(m_edit, m_why);
    }

    QLineEdit* m_edit;
    int m_max;
    Fit m_fit;
    EditRule m_rule;
    QPointer<QLineEdit> m_carryTo;
    QString m_before;
    mutable QString m_why;
    mutable QString m_carry;
    mutable int m_holdAt = -1;
    mutable QString m_holdWhy;
};

// Takes the keys that move on before the line edit sees them.
class MoveOnKeys : public QObject {
public:
    MoveOnKeys(QLineEdit* from, QLineEdit* to, const QString& keys) : QObject(from), m_to(to), m_keys(keys) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(e);
            if (key->text().size() == 1 && m_keys.contains(key->text()) &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
                m_to->setFocus(Qt::TabFocusReason);
                m_to->setCursorPosition(0);
                m_to->selectAll();
                return true;
            }
        }
        return QObject::eventFilter(watched, e);
    }

private:
    QLineEdit* m_to;
    QString m_keys;
};

QIcon ellipsisIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(3.5 + i * 4.5, 11.5), 1.6, 1.6);
    return QIcon(pm);
}

// Watches a field's text and width; a child of the field.
class CutMarker : public QObject {
public:
    explicit CutMarker(QLineEdit* edit) : QObject(edit), m_edit(edit)
    {
        m_mark = new QAction(ellipsisIcon(), QString(), this);
        m_mark->setObjectName(QStringLiteral("cutMark"));
        connect(edit, &QLineEdit::textChanged, this, &CutMarker::update);
        edit->installEventFilter(this);
        update();
    }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // A field being destroyed loses its focus as a plain widget: nothing to mark then.
        if (!qobject_cast<QLineEdit*>(watched))
            return false;
        if (e->type() == QEvent::Resize || e->type() == QEvent::FontChange || e->type() == QEvent::FocusOut)
            update();
        return QObject::eventFilter(watched, e);
    }

private:
    void update()
    {
        const bool cut = isCut(m_edit);
        const QString tip = cut ? m_edit->text() : QString();
        m_edit->setToolTip(tip);
        m_mark->setToolTip(tip);
        // Read from its start, the ellipsis at the end, while nobody types in it.
        if (cut && !m_edit->hasFocus())
            m_edit->setCursorPosition(0);
        const bool shown = m_edit->actions().contains(m_mark);
        if (cut && !shown)
            m_edit->addAction(m_mark, QLineEdit::TrailingPosition);
        else if (!cut && shown)
            m_edit->removeAction(m_mark);
    }

    QLineEdit* m_edit;
    QAction* m_mark;
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
    if (options.maxLength > 0 || options.rule)
        setUserInputRules(e, options.maxLength, options.number ? Fit::Whole : Fit::WhatFits, options.rule);
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

void setUserInputRules(QLineEdit* edit, int maxLength, Fit fit, EditRule rule)
{
    edit->setValidator(new InputRules(edit, maxLength, fit, rule));
}

void setCarryTo(QLineEdit* edit, QLineEdit* to)
{
    if (auto* rules = dynamic_cast<InputRules*>(const_cast<QValidator*>(edit->validator())))
        rules->setCarryTo(to);
}

int userInputLimit(const QLineEdit* edit)
{
    const auto* rules = dynamic_cast<const InputRules*>(edit->validator());
    return rules ? rules->max() : 0;
}

void moveOnKeys(QLineEdit* from, QLineEdit* to, const QString& keys)
{
    from->installEventFilter(new MoveOnKeys(from, to, keys));
}

bool isCut(const QLineEdit* edit)
{
    // The room without the ellipsis, so that showing it changes nothing here.
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    const QRect r = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    const QMargins m = edit->textMargins();
    // QLineEdit keeps two pixels on either side of the text.
    const int room = r.width() - m.left() - m.right() - 4;
    return edit->fontMetrics().horizontalAdvance(edit->text()) > room;
}

void showWhenCut(QLineEdit* edit)
{
    new CutMarker(edit);
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
