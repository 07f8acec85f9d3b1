#pragma once
// Small builders for the controls of the forms: each control gets its form
// name as objectName and is registered by that name.

#include "ui/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace dl::form {

// A user's edit of a field as a rule judges it: the text before and after
// the edit (what the edit brought in lies between head and tail of
// changedSpan), the cursor after it. A rule may change text and cursor, say
// why it refused (shown at the field), ask that digits typed at the place
// of a refused key be refused too (hold: they would join the digits before
// it into another number), and hand a part to the field carryTo names.
struct UserEdit {
    QString before;
    QString text;
    int cursor = 0;
    QString why;
    bool hold = false;
    QString carry;
};
// True: take the edit as the rule left it; false: refuse it whole.
using EditRule = bool (*)(UserEdit&);

struct TextOptions {
    QString design = {};
    bool locked = false;
    int maxLength = 0;       // 0: no limit
    bool number = false;     // a number cut short is another number: refused whole
    EditRule rule = nullptr; // a number's rule: what an edit may bring
    Qt::Alignment align = Qt::AlignLeft;
    bool fixedPitch = false;
    bool frame = true;
    bool hidden = false;
};

// The fixed-pitch font of the project list and the day grid.
QFont courierNew();

QLineEdit* text(FormControls& c, const QString& name, const TextOptions& options);

// What happens to a typed or pasted text that does not fit.
enum class Fit {
    Whole,    // refused as a whole: text and cursor stay as they were
    WhatFits, // the part that fits goes in, whole characters only
};
// Every rule for what a user brings into a field by typing, pasting or
// dropping, in the field's one validator (a line edit has only one, and a
// second setValidator would drop the first's rules): what rule takes, then
// at most maxLength characters (0: no limit); a key that does not fit is
// refused. Unlike QLineEdit::setMaxLength it leaves texts
// set by the program whole, so a stored report comes back and goes out
// unchanged, and a stored text over the limit stays whole until the
// consultant shortens it.
void setUserInputRules(QLineEdit* edit, int maxLength, Fit fit = Fit::WhatFits, EditRule rule = nullptr);
// The field that takes what the rule of edit hands on (the cents of an
// amount pasted into the euros).
void setCarryTo(QLineEdit* edit, QLineEdit* to);
// The limit the field's validator holds; 0: none.
int userInputLimit(const QLineEdit* edit);
// A key in keys typed into from moves the cursor to the start of to, with
// its text selected so that the next keys replace it; the key itself goes
// nowhere.
void moveOnKeys(QLineEdit* from, QLineEdit* to, const QString& keys);
// Where an edit changed a text: how many characters at the head and at the
// tail of now are those of old (the two never overlap).
struct EditSpan {
    qsizetype head = 0;
    qsizetype tail = 0;
};
EditSpan changedSpan(const QString& old, const QString& now);
// The edit of old into now, with the inserted part cut so that the result
// holds at most max characters (nothing is cut from what was there).
QString limitEdit(const QString& old, const QString& now, int max, int* cursor = nullptr);
// A text wider than the field shows that it goes on: an ellipsis at the
// end of the field, and the whole text as its tool tip. The text itself is
// never touched.
void showWhenCut(QLineEdit* edit);
// Whether the field's text is wider than the room it has to show it in.
bool isCut(const QLineEdit* edit);
QLabel* label(FormControls& c, const QString& name, const QString& caption);
// Editable so that it can show its design text; readOnlyEdit: the user picks
// from the list and cannot type.
QComboBox* combo(FormControls& c, const QString& name, const QString& design, bool readOnlyEdit);
// A layout for w without margins of its own: what it holds lies against
// w's edges, in line with the page around w.
template <class Layout> Layout* flushLayout(QWidget* w)
{
    auto* layout = new Layout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// A multi-line text box that holds at most maxLength characters, counting a
// line break as two (CR LF), as it is stored.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    LimitedTextEdit(int maxLength, QWidget* parent = nullptr);
    int maxLength() const { return m_max; }
    static int storedLength(const QString& plain);

private:
    void enforce();
    int m_max;
    bool m_enforcing = false;
};

} // namespace dl::form
