#include "declaration/daygrid.h"

#include "data/dutchnumbers.h"
#include "declaration/form1.h"
#include "ui/controls.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScopedValueRollback>
#include <QScrollArea>

namespace dl {

namespace daygrid {

QString columnTotal(const QStringList& slotTexts)
{
    double sum = 0;
    for (const QString& t : slotTexts)
        sum += leadingNumber(t);
    return generalNumberText(sum);
}

QString hoursLimitMessage(const QString& dayLabel)
{
    return QStringLiteral("U kunt niet meer als 24 uur per dag werken.\r\n\r\nFOUT bij datum ") + dayLabel +
           QStringLiteral(" DEZE WORDT OP '0' GEZET !!\r\n\r\n");
}

int stepDay(int slot, int step, int lastDay)
{
    const int to = slot + step;
    return to >= 1 && to <= lastDay ? to : slot;
}

QDate labelDate(const QString& label)
{
    // Weekday, day, month name, year; the weekday follows from the date.
    const QStringList parts = label.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return {};
    bool dayOk = false;
    bool yearOk = false;
    const int day = parts[1].toInt(&dayOk);
    const int year = parts[3].toInt(&yearOk);
    if (!dayOk || !yearOk)
        return {};
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    for (int m = 1; m <= 12; ++m) {
        if (parts[2].compare(dutch.monthName(m), Qt::CaseInsensitive) == 0)
            return QDate(year, m, day);
    }
    return {};
}

QString spokenDay(const QString& label, int slot)
{
    const QDate d = labelDate(label);
    if (!d.isValid())
        return QStringLiteral("dag ") + QString::number(slot);
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    return dutch.dayName(d.dayOfWeek()) + u' ' + QString::number(d.day()) + u' ' + dutch.monthName(d.month());
}

QString cellName(int column, const QString& label, int slot)
{
    static const char16_t* const columns[] = {u"Datum", u"Activiteit", u"Contact", u"Uren", u"Kilometers"};
    return QString::fromUtf16(columns[column]) + QStringLiteral(", ") + spokenDay(label, slot);
}

bool isWeekend(const QDate& d)
{
    return d.isValid() && d.dayOfWeek() >= 6;
}

QString weekendDescription()
{
    return QStringLiteral("weekend");
}

} // namespace daygrid

namespace {

const QString kColumns[] = {QStringLiteral("Text23"), QStringLiteral("Text24"), QStringLiteral("Text25"),
                            QStringLiteral("Text26"), QStringLiteral("Text27")};

// Light enough that every text stays as readable as on a weekday.
const QColor kWeekendColour(228, 234, 244);

} // namespace

DayGrid::DayGrid(Form1& form, AppContext& ctx) : m_form(form), m_ctx(ctx)
{
    FormControls& c = form.controls();
    for (int i = 1; i <= daygrid::kSlots; ++i) {
        auto* hours = c.get<QLineEdit>(element(QStringLiteral("Text26"), i));
        auto* km = c.get<QLineEdit>(element(QStringLiteral("Text27"), i));
        connect(hours, &QLineEdit::textChanged, this, [this] { recomputeHours(); });
        connect(km, &QLineEdit::textChanged, this, [this] { recomputeKilometres(); });
        // A month loaded or prepared sets the day labels.
        auto* label = c.get<QLineEdit>(element(kColumns[0], i));
        connect(label, &QLineEdit::textChanged, this, [this, i] { describeDay(i); });
        for (int col = 0; col < 5; ++col) {
            QWidget* w = c.widget(element(kColumns[col], i));
            m_cells.insert(w, {col, i});
            w->installEventFilter(this);
        }
        describeDay(i);
    }
}

void DayGrid::describeDay(int slot)
{
    FormControls& c = m_form.controls();
    const QString label = c.text(element(kColumns[0], slot));
    const bool weekend = daygrid::isWeekend(daygrid::labelDate(label));
    for (int col = 0; col < 5; ++col) {
        QWidget* w = c.widget(element(kColumns[col], slot));
        w->setAccessibleName(daygrid::cellName(col, label, slot));
        // Said as well as shown: the shading alone tells a screen reader nothing.
        w->setAccessibleDescription(weekend ? daygrid::weekendDescription() : QString());
        if (weekend) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Base, kWeekendColour);
            w->setPalette(pal);
        } else {
            w->setPalette(QPalette());
        }
    }
}

int DayGrid::lastDay() const
{
    const FormControls& c = m_form.controls();
    int last = daygrid::kSlots;
    while (last > 1 && !c.isShown(element(kColumns[0], last)))
        --last;
    return last;
}

bool DayGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, e);
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QObject::eventFilter(watched, e);
    // Enter on an offered completion takes it and stays on the day.
    if (const auto* edit = qobject_cast<QLineEdit*>(watched);
        edit && edit->completer() && edit->completer()->popup()->isVisible())
        return QObject::eventFilter(watched, e);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -1;
        break;
    default:
        return QObject::eventFilter(watched, e);
    }
    moveTo(m_cells.value(watched), step);
    return true;
}

void DayGrid::moveTo(const Cell& from, int step)
{
    const int to = daygrid::stepDay(from.slot, step, lastDay());
    if (to == from.slot)
        return;
    auto* next = m_form.controls().get<QLineEdit>(element(kColumns[from.column], to));
    if (auto* scroll = m_form.findChild<QScrollArea*>(QStringLiteral("RaportScroll"))) {
        // The whole field with a little room around it, not only its cursor.
        const QPoint centre = next->mapTo(scroll->widget(), next->rect().center());
        scroll->ensureVisible(centre.x(), centre.y(), next->width() / 2 + 4, next->height() / 2 + 4);
    }
    // As Tab does: the text selected, so that typing replaces it.
    next->setFocus(Qt::TabFocusReason);
    next->selectAll();
}

void DayGrid::recomputeHours()
{
    // Setting a slot back to "0" below changes the column again; this pass
    // already reads it anew.
    if (m_inHours)
        return;
    QScopedValueRollback guard(m_inHours, true);

    FormControls& c = m_form.controls();
    QStringList slots;
    for (int i = 1; i <= daygrid::kSlots; ++i) {
        const QString name = element(QStringLiteral("Text26"), i);
        if (leadingNumber(c.text(name)) > daygrid::kHoursLimit) {
            m_ctx.messages.inform(daygrid::hoursLimitMessage(c.text(element(QStringLiteral("Text23"), i))));
            c.setText(name, QStringLiteral("0"));
        }
        slots << c.text(name);
    }
    c.setText(element(QStringLiteral("Text26"), daygrid::kTotalElement), daygrid::columnTotal(slots));
}

void DayGrid::recomputeKilometres()
{
    if (m_inKilometres)
        return;
    QScopedValueRollback guard(m_inKilometres, true);

    FormControls& c = m_form.controls();
    QStringList slots;
    for (int i = 1; i <= daygrid::kSlots; ++i)
        slots << c.text(element(QStringLiteral("Text27"), i));
    c.setText(element(QStringLiteral("Text27"), daygrid::kTotalElement), daygrid::columnTotal(slots));
}

} // namespace dl
