#include "declaration/raporttab.h"

#include <algorithm>

#include "declaration/daygrid.h"
#include "declaration/numberentry.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/imagebutton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace dl {

namespace {

using form::TextOptions;

QWidget* headerLines(FormControls& c)
{
    auto* box = new QWidget;
    auto* g = form::flushLayout<QGridLayout>(box);
    g->setVerticalSpacing(0);
    const TextOptions left{.locked = true, .frame = false};
    // The stamps of the first preparation and the last save: the program
    // writes them, and typing there would go into the stored row.
    const TextOptions right{.locked = true, .align = Qt::AlignRight, .frame = false};
    QLineEdit* title = form::text(c, QStringLiteral("Text22"),
                                  {.design = QStringLiteral("Text22"), .locked = true, .frame = false});
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    g->addWidget(title, 0, 0);
    TextOptions t = left;
    t.design = QStringLiteral("Text30");
    g->addWidget(form::text(c, QStringLiteral("Text30"), t), 1, 0);
    t.design = QStringLiteral("Text31");
    g->addWidget(form::text(c, QStringLiteral("Text31"), t), 2, 0);
    TextOptions r = right;
    r.design = QStringLiteral("Text32");
    g->addWidget(form::text(c, QStringLiteral("Text32"), r), 0, 1);
    r.design = QStringLiteral("Text37");
    g->addWidget(form::text(c, QStringLiteral("Text37"), r), 1, 1);

    auto* save = new ImageButton(QStringLiteral("Image3"), icons::disk(), QStringLiteral("Raport opslaan"));
    save->setFixedSize(56, 56);
    c.add(save);
    g->addWidget(save, 0, 2, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    auto* previous = new ImageButton(QStringLiteral("ImageVorigeMaand"), icons::previousMonth(),
                                     QStringLiteral("Vorige maand overnemen"));
    previous->setFixedSize(56, 56);
    previous->hide(); // offered while an open month's texts are all empty
    c.add(previous);
    g->addWidget(previous, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    for (QLineEdit* e : box->findChildren<QLineEdit*>()) {
        // Borderless lines read as text on the page.
        e->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
        form::showWhenCut(e);
    }
    return box;
}

// The grid's columns: the same fixed widths in the headings, the days and
// the totals, so that the three parts line up.
struct GridColumns {
    GridColumns()
    {
        const QFontMetrics fixed(form::courierNew());
        const int charW = fixed.horizontalAdvance(u'0');
        // By the texts the columns hold: a day label of 21 characters, an
        // activity of 41, a person of 25.
        widths[0] = charW * 23 + 10;
        widths[1] = charW * 42 + 10;
        widths[2] = charW * 26 + 10;
    }
    // The hours wide enough for a month's total with quarters ("168,25").
    int widths[5] = {0, 0, 0, 56, 52};
};

// Gives the activity and contact columns of all three parts the room the
// days have, so that a narrow window keeps the hours, the kilometres and
// their totals in view; a child of the days' scroll area.
class ColumnSizer : public QObject {
public:
    ColumnSizer(QScrollArea* days, const GridColumns& cols, const QList<QGridLayout*>& grids,
                const QList<QWidget*>& activity, const QList<QWidget*>& contact)
        : QObject(days), m_days(days), m_grids(grids), m_activity(activity), m_contact(contact)
    {
        m_full = {cols.widths[1], cols.widths[2]};
        const int charW = QFontMetrics(form::courierNew()).horizontalAdvance(u'0');
        m_min = {charW * 12 + 10, charW * 8 + 10};
        m_others = cols.widths[0] + cols.widths[3] + cols.widths[4];
        days->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Resize)
            apply();
        return QObject::eventFilter(watched, e);
    }

private:
    void apply()
    {
        const auto* g = static_cast<QGridLayout*>(m_days->widget()->layout());
        const QMargins m = g->contentsMargins();
        const int room =
            m_days->viewport()->width() - m.left() - m.right() - 4 * g->horizontalSpacing() - m_others;
        const raport::TextWidths w = raport::textWidths(room, m_full, m_min);
        for (QWidget* a : m_activity)
            a->setFixedWidth(w.activity);
        for (QWidget* c : m_contact)
            c->setFixedWidth(w.contact);
        for (QGridLayout* grid : m_grids) {
            grid->setColumnMinimumWidth(1, w.activity);
            grid->setColumnMinimumWidth(2, w.contact);
        }
    }

    QScrollArea* m_days;
    QList<QGridLayout*> m_grids;
    QList<QWidget*> m_activity;
    QList<QWidget*> m_contact;
    raport::TextWidths m_full;
    raport::TextWidths m_min;
    int m_others = 0;
};

const QString kArrays[] = {QStringLiteral("Text23"), QStringLiteral("Text24"), QStringLiteral("Text25"),
                           QStringLiteral("Text26"), QStringLiteral("Text27")};

// Margins and spacing shared by the three parts; the right margin leaves
// room for the days' scroll bar, so that all three scroll as far.
QGridLayout* columnsLayout(QWidget* w, const GridColumns& cols, bool scrollBarRoom)
{
    auto* g = new QGridLayout(w);
    // Every column as wide in all three parts, also where a part leaves a
    // column empty.
    for (int col = 0; col < 5; ++col)
        g->setColumnMinimumWidth(col, cols.widths[col]);
    const int bar = scrollBarRoom ? w->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    g->setContentsMargins(4, 1, 4 + bar, 1);
    g->setHorizontalSpacing(2);
    g->setVerticalSpacing(1);
    g->setColumnStretch(5, 1);
    return g;
}

// A strip that scrolls sideways with the days and never up or down.
QScrollArea* strip(const QString& name, QWidget* content)
{
    auto* s = new QScrollArea;
    s->setObjectName(name);
    s->setFrameShape(QFrame::NoFrame);
    s->setWidgetResizable(true);
    s->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s->setFocusPolicy(Qt::NoFocus);
    s->setWidget(content);
    s->setFixedHeight(content->sizeHint().height());
    return s;
}

QWidget* headings(FormControls& c, const GridColumns& cols)
{
    auto* w = new QWidget;
    QGridLayout* g = columnsLayout(w, cols, true);
    const QString texts[] = {QStringLiteral("             DATUM"), QStringLiteral(" ACTIVITEIT"),
                             QStringLiteral(" GESPROKEN MET"), QStringLiteral(" UREN"),
                             QStringLiteral("   KM")};
    for (int col = 0; col < 5; ++col) {
        QLineEdit* h = form::text(c, element(kArrays[col], 0),
                                  {.design = texts[col], .locked = true, .fixedPitch = col < 3});
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        h->setFixedWidth(cols.widths[col]);
        g->addWidget(h, 0, col);
    }
    return w;
}

QWidget* days(FormControls& c, const GridColumns& cols)
{
    auto* w = new QWidget;
    QGridLayout* g = columnsLayout(w, cols, false);
    for (int n = 1; n <= kDaySlots; ++n) {
        const TextOptions options[] = {
            {.design = QString::number(n), .locked = true, .align = Qt::AlignHCenter, .fixedPitch = true},
            {.maxLength = 41, .fixedPitch = true},
            {.maxLength = 25, .fixedPitch = true},
            // "23,25": hours with their decimal sign.
            {.design = QStringLiteral("0"),
             .maxLength = 5,
             .number = true,
             .rule = &numberentry::hours,
             .align = Qt::AlignHCenter},
            {.design = QStringLiteral("0"),
             .maxLength = 3,
             .number = true,
             .rule = &numberentry::kilometres,
             .align = Qt::AlignHCenter},
        };
        for (int col = 0; col < 5; ++col) {
            QLineEdit* e = form::text(c, element(kArrays[col], n), options[col]);
            e->setFixedWidth(cols.widths[col]);
            if (col == 1 || col == 2)
                form::showWhenCut(e);
            g->addWidget(e, n, col);
        }
    }
    g->setRowStretch(kDaySlots + 1, 1);
    return w;
}

// The column totals and the expense line, below the days.
QWidget* totals(FormControls& c, const GridColumns& cols)
{
    auto* w = new QWidget;
    QGridLayout* g = columnsLayout(w, cols, true);
    const TextOptions total{.design = QStringLiteral("0"), .locked = true, .align = Qt::AlignHCenter};
    const QString totalNames[] = {QStringLiteral("Uren, totaal van de maand"),
                                  QStringLiteral("Kilometers, totaal van de maand")};
    for (int col = 3; col < 5; ++col) {
        QLineEdit* e = form::text(c, element(kArrays[col], kTotalsRow), total);
        QFont f = e->font();
        f.setBold(true);
        e->setFont(f);
        e->setFixedWidth(cols.widths[col]);
        e->setAccessibleName(totalNames[col - 3]);
        g->addWidget(e, 0, col);
    }

    // Heading, description, euros "," cents.
    QLineEdit* heading = form::text(c, QStringLiteral("Text35"),
                                    {.design = QStringLiteral("ONKOSTENVERGOEDING"), .locked = true});
    heading->setFixedWidth(cols.widths[0]);
    g->addWidget(heading, 1, 0);
    QLineEdit* what = form::text(c, QStringLiteral("Text36"),
                                 {.design = QStringLiteral("Onkosten omschrijving"), .maxLength = 41});
    what->setFixedWidth(cols.widths[1]);
    what->setAccessibleName(QStringLiteral("Onkosten, omschrijving"));
    form::showWhenCut(what);
    g->addWidget(what, 1, 1);
    auto* amount = new QHBoxLayout;
    amount->setSpacing(2);
    QLineEdit* euros = form::text(c, QStringLiteral("Text33"),
                                  {.design = QStringLiteral("0"),
                                   .maxLength = 3,
                                   .number = true,
                                   .rule = &numberentry::euros,
                                   .align = Qt::AlignRight});
    euros->setFixedWidth(48);
    euros->setAccessibleName(QStringLiteral("Onkosten, euro"));
    QLineEdit* cents = form::text(
        c, QStringLiteral("Text34"),
        {.design = QStringLiteral("00"), .maxLength = 2, .number = true, .rule = &numberentry::cents});
    cents->setFixedWidth(36);
    cents->setAccessibleName(QStringLiteral("Onkosten, cent"));
    // "37,50" typed as an amount: the decimal sign goes on to the cents, as
    // the comma between the two fields shows.
    form::moveOnKeys(euros, cents, QStringLiteral(",."));
    form::setCarryTo(euros, cents);
    amount->addWidget(euros);
    QLabel* comma = form::label(c, QStringLiteral("Label7"), QStringLiteral(","));
    comma->setBuddy(cents);
    amount->addWidget(comma);
    amount->addWidget(cents);
    amount->addStretch(1);
    g->addLayout(amount, 1, 2);
    return w;
}

} // namespace

namespace raport {

TextWidths textWidths(int room, TextWidths full, TextWidths minimum)
{
    const int fullSum = full.activity + full.contact;
    if (room >= fullSum)
        return full;
    TextWidths w;
    w.activity = std::max(minimum.activity, int(qint64(room) * full.activity / fullSum));
    w.contact = std::max(minimum.contact, room - w.activity);
    return w;
}

} // namespace raport

QWidget* buildRaportTab(FormControls& c)
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    v->setSpacing(2);
    v->addWidget(headerLines(c));
    // Headings above and totals below stay in view while the days scroll;
    // sideways all three move together.
    const GridColumns cols;
    QScrollArea* top = strip(QStringLiteral("RaportHeadings"), headings(c, cols));
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("RaportScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // The fields inside take the focus; the area itself is no stop for Tab.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(days(c, cols));
    QScrollArea* bottom = strip(QStringLiteral("RaportTotals"), totals(c, cols));
    QList<QWidget*> activity{c.widget(QStringLiteral("Text36"))};
    QList<QWidget*> contact;
    for (int n = 0; n <= kDaySlots; ++n) {
        activity << c.widget(element(kArrays[1], n));
        contact << c.widget(element(kArrays[2], n));
    }
    QList<QGridLayout*> grids;
    for (QScrollArea* s : {top, scroll, bottom})
        grids << static_cast<QGridLayout*>(s->widget()->layout());
    new ColumnSizer(scroll, cols, grids, activity, contact);
    // Both ways: Tab to a field of a strip scrolls the strip itself.
    QScrollBar* lead = scroll->horizontalScrollBar();
    for (QScrollArea* s : {top, bottom}) {
        QScrollBar* follower = s->horizontalScrollBar();
        QObject::connect(lead, &QScrollBar::valueChanged, follower, &QScrollBar::setValue);
        QObject::connect(follower, &QScrollBar::valueChanged, lead, &QScrollBar::setValue);
    }
    v->addWidget(top);
    v->addWidget(scroll, 1);
    v->addWidget(bottom);
    return page;
}

} // namespace dl
