#pragma once
// Small helpers for tests that drive the main form's controls.

#include "app/controls.h"

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

inline QString hoursSlot(int n)
{
    return element(QStringLiteral("Text26"), n);
}

inline QString kmSlot(int n)
{
    return element(QStringLiteral("Text27"), n);
}

} // namespace dl::test
