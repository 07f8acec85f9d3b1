// The main form after its load step: design texts, what is hidden, lengths,
// locked fields, the date caption and the year and month lists, and which tab
// changes count as the user's.

#include "app/startup.h"
#include "core/clock.h"
#include "core/session.h"
#include "declaration/form1.h"
#include "declaration/reportrecord.h"
#include "support/fakes.h"
#include "support/form1fixture.h"
#include "ui/formparts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace dl;

class TestForm1 : public QObject, test::Form1Fixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { initFixture(); }
    void cleanup() { cleanupFixture(); }

    void designTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const auto row = [](const QString& n, const QString& t) { QTest::newRow(qPrintable(n)) << n << t; };
        row(u"Form1"_qs, u"Declaratie"_qs);
        row(u"Label2(0)"_qs, u"Kies uw project:"_qs);
        row(u"Combo1"_qs, u"Projecten"_qs);
        row(u"Label2(9)"_qs, u"Uren pannning"_qs);
        row(u"Label2(12)"_qs, u"Opmerking voor Pelvarnet"_qs);
        row(u"Label2(17)"_qs, u"BTW 20%"_qs);
        row(u"Label3"_qs, u"Selecteer JAAR en MAAND waarop U wilt gaan declareren"_qs);
        row(u"Combo2"_qs, u"maand"_qs);
        row(u"Combo3"_qs, u"2026"_qs);
        row(u"Combo4"_qs, u"Combo4"_qs);
        row(u"Text19"_qs, u"0"_qs);
        row(u"Text20"_qs, u"GEEN"_qs);
        row(u"Text11"_qs, u"0,00"_qs);
        row(u"Text12"_qs, u"GEEN"_qs);
        row(u"Text42"_qs, u"0,00"_qs);
        row(u"Text18"_qs, u"GEEN\r\n"_qs);
        row(u"Text23(0)"_qs, u"             DATUM"_qs);
        row(u"Text24(0)"_qs, u" ACTIVITEIT"_qs);
        row(u"Text25(0)"_qs, u" GESPROKEN MET"_qs);
        row(u"Text26(0)"_qs, u" UREN"_qs);
        row(u"Text27(0)"_qs, u"   KM"_qs);
        row(u"Text23(1)"_qs, u"1"_qs);
        row(u"Text23(31)"_qs, u"31"_qs);
        row(u"Text24(31)"_qs, QString());
        row(u"Text26(17)"_qs, u"0"_qs);
        row(u"Text27(31)"_qs, u"0"_qs);
        row(u"Text26(32)"_qs, u"0"_qs);
        row(u"Text27(32)"_qs, u"0"_qs);
        row(u"Text35"_qs, u"ONKOSTENVERGOEDING"_qs);
        row(u"Text36"_qs, u"Onkosten omschrijving"_qs);
        row(u"Text33"_qs, u"0"_qs);
        row(u"Label7"_qs, u","_qs);
        row(u"Text34"_qs, u"00"_qs);
        row(u"Text22"_qs, u"Text22"_qs);
        row(u"Text37"_qs, u"Text37"_qs);
        row(u"Label4"_qs, QString());
        row(u"Text1"_qs, QString());
        row(u"Text5"_qs, QString());
    }
    void designTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QCOMPARE(m_form->controls().text(name), text);
    }

    void onlyTheStartHiddenControlsAreHidden()
    {
        static const QRegularExpression formName(u"^(Text|Label|Combo|Image|Picture)\\d+(\\(\\d+\\))?$"_qs);
        QStringList hidden;
        int named = 0;
        for (QWidget* w : m_form->findChildren<QWidget*>()) {
            if (!formName.match(w->objectName()).hasMatch())
                continue;
            ++named;
            QVERIFY2(m_form->controls().contains(w->objectName()), qPrintable(w->objectName()));
            if (w->isHidden())
                hidden << w->objectName();
        }
        hidden.sort();
        QCOMPARE(hidden, (QStringList{u"Combo2"_qs, u"Combo3"_qs, u"Combo4"_qs, u"Image4"_qs, u"Image5"_qs,
                                      u"Image6"_qs}));
        // 19 captions, 5 x 32 grid cells + 2 totals, the rest of both tabs and the top.
        QVERIFY(named > 200);
    }

    void everyGridSlotByName()
    {
        for (const QString& array : {u"Text23"_qs, u"Text24"_qs, u"Text25"_qs, u"Text26"_qs, u"Text27"_qs}) {
            for (int n = 0; n <= 31; ++n) {
                const QString name = element(array, n);
                QCOMPARE(m_form->findChildren<QLineEdit*>(name).size(), 1);
                QVERIFY2(m_form->controls().contains(name), qPrintable(name));
            }
        }
        for (const QString& total : {u"Text26(32)"_qs, u"Text27(32)"_qs})
            QCOMPARE(m_form->findChildren<QLineEdit*>(total).size(), 1);
        QVERIFY(!m_form->controls().contains(u"Text23(32)"_qs));
    }

    void inputLengths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("length");
        const int none = 0;
        for (const auto& [n, l] : {std::pair{u"Text11"_qs, 6},
                                   {u"Text12"_qs, 41},
                                   {u"Text24(1)"_qs, 41},
                                   {u"Text24(31)"_qs, 41},
                                   {u"Text25(9)"_qs, 25},
                                   {u"Text26(1)"_qs, 5},
                                   {u"Text27(31)"_qs, 3},
                                   {u"Text36"_qs, 41},
                                   {u"Text33"_qs, 3},
                                   {u"Text34"_qs, 2},
                                   {u"Text23(5)"_qs, none},
                                   {u"Text26(32)"_qs, none},
                                   {u"Text2"_qs, none}})
            QTest::newRow(qPrintable(n)) << n << l;
    }
    void inputLengths()
    {
        QFETCH(QString, name);
        QFETCH(int, length);
        FormControls& c = wiredForm().controls();
        QCOMPARE(form::userInputLimit(c.get<QLineEdit>(name)), length);
        // A stored text longer than QLineEdit's usual 32,767 comes back whole.
        const QString stored = QString(40000, u'x') + u"é"_qs;
        c.setText(name, stored);
        QCOMPARE(c.text(name), stored);
    }

    // Typing stops at the limit; a text the program sets (a stored report) stays whole.
    void inputLimitTypingAndLoading()
    {
        auto* activity = m_form->controls().get<QLineEdit>(u"Text24(3)"_qs);
        const QString long50 = QString(50, u'x');
        m_form->controls().setText(u"Text24(3)"_qs, long50);
        QCOMPARE(activity->text(), long50);
        m_form->controls().setText(u"Text24(3)"_qs, QString());
        activity->setFocus();
        QTest::keyClicks(activity, QString(45, u'a'));
        QCOMPARE(activity->text(), QString(41, u'a'));
        activity->setCursorPosition(0);
        QTest::keyClicks(activity, u"bb"_qs);
        QCOMPARE(activity->text(), QString(41, u'a'));
    }

    // What a key or a paste into a field of the wired form does, through the
    // keyboard: a key that does not fit, or that a number field does not
    // take, is refused with text and cursor as they were; a paste goes in as
    // far as it fits in a text field and not at all in a number. A decimal
    // sign in the euros goes on to the cents.
    void typingIntoAFullField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("typed");  // typed key by key
        QTest::addColumn<QString>("pasted"); // then pasted with Ctrl+V
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("cursorAfter");
        QTest::addColumn<QString>("focusAfter"); // empty: the field itself
        QTest::addColumn<QString>("focusShows");
        QTest::addColumn<int>("selected"); // characters selected from the cursor on before the keys
        const QString km = u"Text27(4)"_qs;
        const QString hours = u"Text26(4)"_qs;
        const QString activity = u"Text24(4)"_qs;
        const QString a41 = QString(41, u'a');
        const QString a39 = QString(39, u'a');
        const auto row = [](const char* n, const QString& name, const QString& stored, int cursor,
                            const QString& typed, const QString& pasted, const QString& shown, int after,
                            const QString& focus = {}, const QString& focusShows = {}, int selected = 0) {
            QTest::newRow(n) << name << stored << cursor << typed << pasted << shown << after << focus
                             << focusShows << selected;
        };
        row("km full, key at the front", km, u"120"_qs, 0, u"9"_qs, {}, u"120"_qs, 0);
        row("km full, key in the middle", km, u"120"_qs, 1, u"9"_qs, {}, u"120"_qs, 1);
        row("km full, key at the end", km, u"120"_qs, 3, u"9"_qs, {}, u"120"_qs, 3);
        row("km with room", km, u"12"_qs, 0, u"9"_qs, {}, u"912"_qs, 1);
        row("hours full, key between the digits", hours, u"23.25"_qs, 1, u"5"_qs, {}, u"23.25"_qs, 1);
        row("hours full, paste", hours, u"23.25"_qs, 5, {}, u"1"_qs, u"23.25"_qs, 5);
        row("km, paste that does not fit", km, u"1"_qs, 1, {}, u"234"_qs, u"1"_qs, 1);
        row("km, paste that fits", km, u"1"_qs, 0, {}, u"23"_qs, u"231"_qs, 2);
        row("cents full", u"Text34"_qs, u"50"_qs, 0, u"1"_qs, {}, u"50"_qs, 0);
        row("euros full, paste", u"Text33"_qs, u"100"_qs, 3, {}, u"5"_qs, u"100"_qs, 3);
        row("activity full, key at the front", activity, a41, 0, u"b"_qs, {}, a41, 0);
        row("activity full, key in the middle", activity, a41, 20, u"b"_qs, {}, a41, 20);
        row("activity full, key at the end", activity, a41, 41, u"b"_qs, {}, a41, 41);
        row("activity full, paste", activity, a41, 5, {}, u"xyz"_qs, a41, 5);
        row("activity, paste what fits", activity, a39, 3, {}, u"xyz"_qs, u"aaaxy"_qs + QString(36, u'a'), 5);
        row("activity, emoji does not fit", activity, QString(40, u'a'), 0, {}, u"🙂"_qs, QString(40, u'a'),
            0);
        row("contact full", u"Text25(4)"_qs, QString(25, u'c'), 10, u"d"_qs, {}, QString(25, u'c'), 10);
        row("expense full", u"Text36"_qs, a41, 0, u"b"_qs, {}, a41, 0);
        // An office-made text past the limit stays whole until the consultant shortens it.
        row("stored activity past the limit", activity, QString(50, u'x'), 50, u"b"_qs, u"cd"_qs,
            QString(50, u'x'), 50);
        row("stored km past the limit", km, u"1234"_qs, 2, u"5"_qs, u"6"_qs, u"1234"_qs, 2);
        row("stored km past the limit, a digit over a selected one", km, u"1234"_qs, 2, u"9"_qs, {},
            u"1294"_qs, 3, {}, {}, 1);
        // The characters of the number fields.
        row("hours, comma is the decimal sign", hours, u"8"_qs, 1, u","_qs, {}, u"8."_qs, 2);
        row("hours, half an hour with a comma", hours, QString(), 0, u"0,5"_qs, {}, u"0.5"_qs, 3);
        row("hours, seven and a half with a point", hours, QString(), 0, u"7.5"_qs, {}, u"7.5"_qs, 3);
        row("hours, pasted with a comma", hours, QString(), 0, {}, u"1,5"_qs, u"1.5"_qs, 3);
        row("hours, letter refused", hours, u"8"_qs, 0, u"u"_qs, {}, u"8"_qs, 0);
        row("hours, point for a half hour", hours, QString(), 0, u".5"_qs, {}, u".5"_qs, 2);
        row("km, comma refused", km, u"12"_qs, 1, u","_qs, {}, u"12"_qs, 1);
        row("km, a paste with a comma refused whole", km, u"1"_qs, 1, {}, u"2,5"_qs, u"1"_qs, 1);
        row("km, typed comma refused and the digits not joined", km, QString(), 0, u"2,5"_qs, {}, u"2"_qs, 1);
        row("cents, comma refused", u"Text34"_qs, u"5"_qs, 1, u","_qs, {}, u"5"_qs, 1);
        row("euros, comma goes on to the cents", u"Text33"_qs, QString(), 0, u"37,50"_qs, {}, u"37"_qs, 2,
            u"Text34"_qs, u"50"_qs);
        row("euros, point goes on to the cents", u"Text33"_qs, QString(), 0, u"12.05"_qs, {}, u"12"_qs, 2,
            u"Text34"_qs, u"05"_qs);
        row("euros full, comma goes on", u"Text33"_qs, u"100"_qs, 3, u",5"_qs, {}, u"100"_qs, 3, u"Text34"_qs,
            u"5"_qs);
    }
    void typingIntoAFullField()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(int, cursor);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        QFETCH(int, cursorAfter);
        QFETCH(QString, focusAfter);
        QFETCH(QString, focusShows);
        QFETCH(int, selected);
        Form1& form = wiredForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.controls().setText(name, stored);
        auto* edit = form.controls().get<QLineEdit>(name);
        edit->setFocus();
        edit->setCursorPosition(cursor);
        if (selected > 0)
            edit->setSelection(cursor, selected);
        QSignalSpy changes(edit, &QLineEdit::textChanged);
        // Each key goes where the focus is, as on the keyboard.
        for (const QChar key : typed)
            QTest::keyClick(form.focusWidget(), key.toLatin1());
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(form.focusWidget(), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(edit->text(), shown);
        QCOMPARE(edit->cursorPosition(), cursorAfter);
        const QString focused = focusAfter.isEmpty() ? name : focusAfter;
        QCOMPARE(form.focusWidget(), form.controls().widget(focused));
        if (!focusAfter.isEmpty())
            QCOMPARE(form.controls().text(focusAfter), focusShows);
        // A refused edit is never seen by the form's handlers.
        if (shown == stored)
            QCOMPARE(changes.count(), 0);
    }

    // A stored text past the limit can be shortened, and then grows only to the limit.
    void storedTextPastTheLimitCanBeShortened()
    {
        auto* activity = m_form->controls().get<QLineEdit>(u"Text24(6)"_qs);
        m_form->controls().setText(u"Text24(6)"_qs, QString(43, u'x'));
        activity->setFocus();
        activity->end(false);
        QTest::keyClick(activity, Qt::Key_Backspace);
        QCOMPARE(activity->text(), QString(42, u'x'));
        QTest::keyClick(activity, Qt::Key_Y);
        QCOMPARE(activity->text(), QString(42, u'x'));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(activity, Qt::Key_Backspace);
        QTest::keyClicks(activity, u"yzw"_qs);
        QCOMPARE(activity->text(), QString(39, u'x') + u"yz"_qs);
    }

    void lockedFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("locked");
        for (const char16_t* n :
             {u"Text38",     u"Text2",      u"Text10", u"Text19", u"Text21", u"Text11",    u"Text12",
              u"Text29",     u"Text39",     u"Text40", u"Text41", u"Text42", u"Text23(0)", u"Text23(12)",
              u"Text26(32)", u"Text27(32)", u"Text35", u"Text22", u"Text31", u"Text32",    u"Text37"})
            QTest::newRow(qPrintable(QString::fromUtf16(n))) << QString::fromUtf16(n) << true;
        for (const char16_t* n :
             {u"Text24(3)", u"Text25(3)", u"Text26(3)", u"Text27(31)", u"Text36", u"Text33", u"Text34"})
            QTest::newRow(qPrintable(QString::fromUtf16(n))) << QString::fromUtf16(n) << false;
    }
    void lockedFields()
    {
        QFETCH(QString, name);
        QFETCH(bool, locked);
        auto* e = m_form->controls().get<QLineEdit>(name);
        QCOMPARE(e->isReadOnly(), locked);
        // Tab passes a locked field by.
        QCOMPARE(bool(e->focusPolicy() & Qt::TabFocus), !locked);
    }

    void declarationDateFollowsTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("caption");
        QTest::newRow("nl_NL") << QLocale(QLocale::Dutch, QLocale::Netherlands)
                               << u"Declaratie datum :  07-december-2026"_qs;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << u"Declaratie datum :  07/December/2026"_qs;
    }
    void declarationDateFollowsTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, caption);
        makeForm(locale);
        QCOMPARE(m_form->controls().text(u"Label2(1)"_qs), caption);
    }

    void yearListAroundTheCurrentYear()
    {
        auto* year = m_form->controls().get<QComboBox>(u"Combo3"_qs);
        QStringList items;
        for (int i = 0; i < year->count(); ++i)
            items << year->itemText(i);
        QCOMPARE(items, (QStringList{u"2025"_qs, u"2026"_qs, u"2027"_qs}));
        QCOMPARE(year->currentText(), u"2026"_qs);
        QVERIFY(year->isEditable() && !year->lineEdit()->isReadOnly());
    }

    void monthEntriesKeepTheirBlank()
    {
        auto* month = m_form->controls().get<QComboBox>(u"Combo2"_qs);
        QCOMPARE(month->count(), 12);
        QCOMPARE(month->itemText(0), u"01 Januari "_qs);
        QCOMPARE(month->itemText(2), u"03 Maart "_qs);
        QCOMPARE(month->itemText(11), u"12 December "_qs);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(month->itemText(i).left(2).toInt(), i + 1);
            QVERIFY(month->itemText(i).endsWith(u' ') && !month->itemText(i).endsWith(u"  "));
        }
        QCOMPARE(month->currentText(), u"maand"_qs);
        QCOMPARE(month->currentIndex(), -1);
        QVERIFY(month->lineEdit()->isReadOnly());
    }

    void tickerLabelInsideItsStrip()
    {
        auto* label = m_form->controls().get<QLabel>(u"Label4"_qs);
        QCOMPARE(label->parentWidget(), m_form->controls().widget(u"Picture1"_qs));
        QVERIFY(label->text().isEmpty());
        QCOMPARE(label->font().pointSize(), 14);
        QVERIFY(label->font().bold());
        QVERIFY(!label->font().italic());
    }

    void fixedPitchFonts()
    {
        for (const QString& n : {u"Combo1"_qs, u"Text23(1)"_qs, u"Text24(20)"_qs, u"Text25(31)"_qs})
            QCOMPARE(m_form->controls().widget(n)->font().family(), u"Courier New"_qs);
    }

    void tabs()
    {
        QTabWidget* t = m_form->tabs();
        QCOMPARE(t->objectName(), u"SSTab1"_qs);
        QCOMPARE(t->count(), 2);
        QCOMPARE(t->tabText(0), u"Declaratie"_qs);
        QCOMPARE(t->tabText(1), u"Raport"_qs);
        QCOMPARE(t->currentIndex(), 0);
        QVERIFY(!m_form->logo().isNull());
    }

    void userTabChangesAreSignalled()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QSignalSpy spy(m_form.get(), &Form1::tabChangedByUser);
        QTabBar* bar = m_form->tabs()->tabBar();

        m_form->switchTab(1);
        QCOMPARE(m_form->tabs()->currentIndex(), 1);
        m_form->switchTab(0);
        QCOMPARE(spy.size(), 0);

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(m_form->tabs()->currentIndex(), 1);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);

        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);

        QTest::keyClick(m_form->controls().widget(u"Text3"_qs), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(m_form->tabs()->currentIndex(), 1);
        QCOMPARE(spy.size(), 3);
    }

    void closingTheWindowIsReported()
    {
        m_form->show();
        QSignalSpy spy(m_form.get(), &Form1::closeRequested);
        QVERIFY(m_form->close());
        QCOMPARE(spy.size(), 1);
    }

    void remarkHoldsAtMost254Characters()
    {
        auto* remark = m_form->controls().get<QPlainTextEdit>(u"Text18"_qs);
        remark->setFocus();
        remark->moveCursor(QTextCursor::End);
        QTest::keyClicks(remark, QString(300, u'a'));
        const QString stored = m_form->controls().text(u"Text18"_qs);
        QCOMPARE(stored.size(), 254);
        QVERIFY(stored.startsWith(u"GEEN\r\n"_qs));

        // Pasted into the middle: the text behind the cursor is kept.
        m_form->controls().setText(u"Text18"_qs, u"begin einde"_qs);
        QTextCursor cur = remark->textCursor();
        cur.setPosition(6);
        remark->setTextCursor(cur);
        remark->insertPlainText(QString(260, u'x'));
        const QString mixed = m_form->controls().text(u"Text18"_qs);
        QCOMPARE(mixed.size(), 254);
        QVERIFY(mixed.startsWith(u"begin x"_qs));
        QVERIFY(mixed.endsWith(u"xeinde"_qs));
    }

    void lineBreaksCountAsTwoInTheRemark()
    {
        QCOMPARE(form::LimitedTextEdit::storedLength(u"GEEN\n"_qs), 6);
        auto* remark = m_form->controls().get<QPlainTextEdit>(u"Text18"_qs);
        m_form->controls().setText(u"Text18"_qs, QString(252, u'a'));
        remark->moveCursor(QTextCursor::End);
        QTest::keyClick(remark, Qt::Key_Return);
        QCOMPARE(m_form->controls().text(u"Text18"_qs).size(), 254);
        QTest::keyClick(remark, Qt::Key_Return);
        QCOMPARE(m_form->controls().text(u"Text18"_qs).size(), 254);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
