#pragma once
// Small helpers for tests that drive the main form's controls.

#include "core/clock.h"
#include "core/context.h"
#include "declaration/form1.h"
#include "support/fakes.h"
#include "ui/controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace dl::test {

// Replaces the text of a field the way a user does: select all, type.
inline void typeInto(QLineEdit* e, const QString& keys)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, keys);
}

// Opens a list box with a click on it and clicks the entry in its list;
// false when the entry is not there or the list did not close.
inline bool pickFromList(QComboBox* box, const QString& entry)
{
    const int i = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    QWidget* face = box->isEditable() ? static_cast<QWidget*>(box->lineEdit()) : box;
    QTest::mouseClick(face, Qt::LeftButton);
    if (!box->view()->isVisible())
        box->showPopup(); // an editable box with an edit of its own opens from its arrow
    QAbstractItemView* view = box->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        return false;
    const QModelIndex index = view->model()->index(i, box->modelColumn(), view->rootIndex());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    return !view->isVisible() && box->currentIndex() == i;
}

inline QString hoursSlot(int n)
{
    return element(QStringLiteral("Text26"), n);
}

inline QString kmSlot(int n)
{
    return element(QStringLiteral("Text27"), n);
}

// A main form on a fixed day (15 March 2008, 09:00) with recording message
// boxes; tests add the controllers they drive.
struct FormFixture {
    FormControls& c() { return form.controls(); }
    QString text(const QString& name) { return c().text(name); }
    QLineEdit* edit(const QString& name) { return c().get<QLineEdit>(name); }
    void typeInto(const QString& name, const QString& keys) { test::typeInto(edit(name), keys); }

    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2008, 3, 15), QTime(9, 0))};
    AppContext ctx{session, messages, clock, ServerAddress{}};
    Form1 form{ctx};
};

} // namespace dl::test
