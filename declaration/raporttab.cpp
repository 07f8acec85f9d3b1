#include "declaration/raporttab.h"

#include "declaration/daygrid.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/imagebutton.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace dl {

namespace {

using form::TextOptions;

QWidget* headerLines(FormControls& c)
{
    auto* box = new QWidget;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
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
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    for (QLineEdit* e : box->findChildren<QLineEdit*>()) {
        // Borderless lines read as text on the page.
        e->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    }
    return box;
}

QWidget* dayGrid(FormControls& c)
{
    auto* grid = new QWidget;
    auto* g = new QGridLayout(grid);
    g->setHorizontalSpacing(2);
    g->setVerticalSpacing(1);

    const QFontMetrics fixed(form::courierNew());
    const int charW = fixed.horizontalAdvance(u'0');
    // Widths by the texts the columns hold: a day label of 21 characters,
    // an activity of 41, a person of 25.
    const int widths[] = {charW * 23 + 10, charW * 42 + 10, charW * 26 + 10, 44, 52};
    const QString arrays[] = {QStringLiteral("Text23"), QStringLiteral("Text24"), QStringLiteral("Text25"),
                              QStringLiteral("Text26"), QStringLiteral("Text27")};
    const QString headings[] = {QStringLiteral("             DATUM"), QStringLiteral(" ACTIVITEIT"),
                                QStringLiteral(" GESPROKEN MET"), QStringLiteral(" UREN"),
                                QStringLiteral("   KM")};

    for (int col = 0; col < 5; ++col) {
        QLineEdit* h = form::text(c, element(arrays[col], 0),
                                  {.design = headings[col], .locked = true, .fixedPitch = col < 3});
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        h->setFixedWidth(widths[col]);
        g->addWidget(h, 0, col);
    }

    for (int n = 1; n <= kDaySlots; ++n) {
        const TextOptions options[] = {
            {.design = QString::number(n), .locked = true, .align = Qt::AlignHCenter, .fixedPitch = true},
            {.maxLength = 41, .fixedPitch = true},
            {.maxLength = 25, .fixedPitch = true},
            {.design = QStringLiteral("0"),
             .maxLength = 2,
             .number = true,
             .accepts = &daygrid::isAllowedCharacter,
             .align = Qt::AlignHCenter},
            {.design = QStringLiteral("0"),
             .maxLength = 3,
             .number = true,
             .accepts = &daygrid::isAllowedCharacter,
             .align = Qt::AlignHCenter},
        };
        for (int col = 0; col < 5; ++col) {
            QLineEdit* e = form::text(c, element(arrays[col], n), options[col]);
            e->setFixedWidth(widths[col]);
            g->addWidget(e, n, col);
        }
    }

    const TextOptions total{.design = QStringLiteral("0"), .locked = true, .align = Qt::AlignHCenter};
    for (int col = 3; col < 5; ++col) {
        QLineEdit* e = form::text(c, element(arrays[col], kTotalsRow), total);
        QFont f = e->font();
        f.setBold(true);
        e->setFont(f);
        e->setFixedWidth(widths[col]);
        g->addWidget(e, kTotalsRow, col);
    }

    // The expense line: heading, description, euros "," cents.
    const int expenseRow = kTotalsRow + 1;
    QLineEdit* heading = form::text(c, QStringLiteral("Text35"),
                                    {.design = QStringLiteral("ONKOSTENVERGOEDING"), .locked = true});
    heading->setFixedWidth(widths[0]);
    g->addWidget(heading, expenseRow, 0);
    QLineEdit* what = form::text(c, QStringLiteral("Text36"),
                                 {.design = QStringLiteral("Onkosten omschrijving"), .maxLength = 41});
    what->setFixedWidth(widths[1]);
    g->addWidget(what, expenseRow, 1);
    auto* amount = new QHBoxLayout;
    amount->setSpacing(2);
    QLineEdit* euros = form::text(c, QStringLiteral("Text33"),
                                  {.design = QStringLiteral("0"),
                                   .maxLength = 3,
                                   .number = true,
                                   .accepts = &daygrid::isAllowedCharacter,
                                   .align = Qt::AlignRight});
    euros->setFixedWidth(48);
    QLineEdit* cents = form::text(c, QStringLiteral("Text34"),
                                  {.design = QStringLiteral("00"),
                                   .maxLength = 2,
                                   .number = true,
                                   .accepts = &daygrid::isAllowedCharacter});
    cents->setFixedWidth(36);
    // "37,50" typed as an amount: the decimal sign goes on to the cents, as
    // the comma between the two fields shows.
    form::moveOnKeys(euros, cents, QStringLiteral(",."));
    amount->addWidget(euros);
    amount->addWidget(form::label(c, QStringLiteral("Label7"), QStringLiteral(",")));
    amount->addWidget(cents);
    amount->addStretch(1);
    g->addLayout(amount, expenseRow, 2);
    g->setRowMinimumHeight(kTotalsRow, 28);
    g->setColumnStretch(5, 1);
    g->setRowStretch(expenseRow + 1, 1);
    return grid;
}

} // namespace

QWidget* buildRaportTab(FormControls& c)
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(headerLines(c));
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("RaportScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(dayGrid(c));
    v->addWidget(scroll, 1);
    return page;
}

} // namespace dl
