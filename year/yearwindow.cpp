#include "year/yearwindow.h"

#include "ui/onscreen.h"

#include "core/actionguard.h"
#include "data/connection.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/formload.h"
#include "declaration/monthopening.h"
#include "declaration/monthselection.h"
#include "declaration/monthselectionrules.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"
#include "print/formtexts.h"
#include "print/savedpdf.h"
#include "ui/controls.h"
#include "ui/imagebutton.h"
#include "ui/yearchart.h"
#include "year/yearprint.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dl {

namespace year {

QColor stateColour(State s)
{
    switch (s) {
    case State::Outside:
        return QColor(200, 200, 200);
    case State::Empty:
        return QColor(255, 255, 255);
    case State::Draft:
        return QColor(255, 224, 130);
    case State::Saved:
        return QColor(170, 205, 255);
    case State::Declared:
        return QColor(170, 225, 170);
    }
    return {};
}

} // namespace year

YearWindow::YearWindow(const QStringList& years, const QString& year, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmJaaroverzicht"));
    onscreen::keepOnScreen(this);
    setWindowTitle(QStringLiteral("Jaaroverzicht"));
    setModal(true);
    m_body = onscreen::scrollingBody(this, QStringLiteral("JaarScroll"));
    auto* v = new QVBoxLayout(m_body);
    auto* top = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("&Jaar"));
    m_years = new QComboBox;
    m_years->setObjectName(QStringLiteral("JaarKeuze"));
    m_years->setAccessibleName(QStringLiteral("Jaar"));
    m_years->addItems(years);
    m_years->setCurrentText(year);
    caption->setBuddy(m_years);
    top->addWidget(caption);
    top->addWidget(m_years);
    top->addStretch(1);
    v->addLayout(top);

    m_table = new QTableWidget;
    m_table->setObjectName(QStringLiteral("Jaartabel"));
    m_table->setAccessibleName(QStringLiteral("Maanden per project"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false); // Tab leaves the table; the arrows move in it
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A month name cut by a narrow column says so ("Septe…").
    m_table->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // The table as high as its rows; the chart takes the rest.
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    v->addWidget(m_table);

    m_chart = new YearChart;
    v->addWidget(m_chart, 1);
    m_totals = new QLabel;
    m_totals->setObjectName(QStringLiteral("Jaartotalen"));
    m_totals->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    v->addWidget(m_totals);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    const auto button = [&](const QString& text, const QString& name) {
        auto* b = new QPushButton(text);
        b->setObjectName(name);
        // Enter on a month chooses it; the table passes the key on, and a
        // default button would take it. Escape still closes.
        b->setAutoDefault(false);
        b->setDefault(false);
        bottom->addWidget(b);
        return b;
    };
    auto* print = button(QStringLiteral("&Afdrukken"), QStringLiteral("JaarAfdrukken"));
    auto* pdf = button(QStringLiteral("Als &PDF opslaan"), QStringLiteral("JaarPdf"));
    auto* close = button(QStringLiteral("&Sluiten"), QStringLiteral("JaarSluiten"));
    connect(print, &QPushButton::clicked, this, &YearWindow::printWanted);
    connect(pdf, &QPushButton::clicked, this, &YearWindow::pdfWanted);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    v->addLayout(bottom);
    setTabOrder(m_years, m_table);
    setTabOrder(m_table, m_chart);
    setTabOrder(m_chart, print);
    setTabOrder(print, pdf);
    setTabOrder(pdf, close);

    connect(m_years, &QComboBox::activated, this, [this](int) { Q_EMIT yearChosen(m_years->currentText()); });
    // Double-click and Enter alike.
    connect(m_table, &QTableWidget::cellActivated, this, [this](int row, int column) {
        if (row < m_table->rowCount() - 1 && column < year::kMonths)
            Q_EMIT monthChosen(row, column + 1);
    });
    // Never larger than the screen, which the frame is then fitted into.
    const QScreen* s = screen();
    resize(s ? QSize(1000, 640).boundedTo(s->availableGeometry().size()) : QSize(1000, 640));
}

QString YearWindow::chosenYear() const
{
    return m_years->currentText();
}

void YearWindow::show(const year::Overview& o, const QStringList& codes)
{
    m_table->clear();
    m_table->setRowCount(static_cast<int>(codes.size()) + 1);
    m_table->setColumnCount(year::kMonths + 1);
    QStringList columns;
    for (int m = 1; m <= year::kMonths; ++m)
        columns << year::monthName(m);
    columns << QStringLiteral("Totaal");
    m_table->setHorizontalHeaderLabels(columns);
    QStringList rows = codes;
    rows << QStringLiteral("Totaal");
    m_table->setVerticalHeaderLabels(rows);
    const auto item = [](const QString& text, const QString& spoken) {
        auto* it = new QTableWidgetItem(text);
        it->setData(Qt::AccessibleTextRole, spoken);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return it;
    };
    for (int p = 0; p < o.cells.size(); ++p) {
        for (int m = 0; m < year::kMonths; ++m) {
            const year::Cell& cell = o.cells[p][m];
            auto* it = item(cell.text, cell.spoken);
            it->setToolTip(cell.tip);
            it->setData(Qt::AccessibleDescriptionRole, cell.tip);
            it->setBackground(year::stateColour(cell.state));
            it->setForeground(Qt::black);
            m_table->setItem(p, m, it);
        }
        m_table->setItem(p, year::kMonths,
                         item(o.projectHours.value(p) + QStringLiteral(" u"),
                              QStringLiteral("%1, totaal %2: %3 uur")
                                  .arg(codes.value(p), o.year, o.projectHours.value(p))));
    }
    const int last = static_cast<int>(codes.size());
    for (int m = 0; m < year::kMonths; ++m)
        m_table->setItem(last, m,
                         item(o.monthHours.value(m) + QStringLiteral(" u"),
                              QStringLiteral("Totaal %1 %2: %3 uur")
                                  .arg(year::monthName(m + 1), o.year, o.monthHours.value(m))));
    m_table->setItem(
        last, year::kMonths,
        item(o.hours + QStringLiteral(" u"), QStringLiteral("Totaal %1: %2 uur").arg(o.year, o.hours)));
    m_table->resizeColumnsToContents();

    const QStringList totals{QStringLiteral("Uren: %1").arg(o.hours),
                             QStringLiteral("Kilometers: %1").arg(o.kilometres),
                             QStringLiteral("Gedeclareerd: € %1").arg(o.declared),
                             QStringLiteral("Nog open (schatting): € %1").arg(o.open)};
    m_chart->setFigures(codes, o.hoursPerMonth, totals);
    // An amount that could not be read is left out of its sum: said, not hidden.
    QStringList shown{totals.join(QStringLiteral("    "))};
    for (const QString& problem : o.problems)
        shown << year::leftOutLine(problem);
    m_totals->setText(shown.join(u'\n'));
    m_totals->setAccessibleName(
        totals.join(QStringLiteral(", ")) +
        (o.problems.isEmpty() ? QString() : QStringLiteral(", ") + shown.mid(1).join(u' ')));
    if (m_table->currentRow() < 0 && !codes.isEmpty())
        m_table->setCurrentCell(0, 0);
    if (isVisible())
        fitWidth();
}

void YearWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Only a shown table measures its texts in the font it shows them in.
    m_table->resizeColumnsToContents();
    fitWidth();
}

void YearWindow::fitWidth()
{
    int wanted = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth() + 4;
    for (int c = 0; c < m_table->columnCount(); ++c)
        wanted += m_table->columnWidth(c);
    const QMargins margins = m_body->layout()->contentsMargins();
    wanted += margins.left() + margins.right();
    const QScreen* s = screen();
    const int room = s ? s->availableGeometry().width() - 40 : wanted;
    // Where the screen is narrower than the months, they share its width
    // (a cut text keeps its colour and says all in its tool tip), so that
    // December and the totals are in view without scrolling sideways.
    const bool narrow = wanted > room;
    m_table->horizontalHeader()->setSectionResizeMode(narrow ? QHeaderView::Stretch
                                                             : QHeaderView::Interactive);
    m_table->setHorizontalScrollBarPolicy(narrow ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    if (wanted > width())
        resize(std::min(wanted, room), height());
}

YearOverviewAction::YearOverviewAction(Form1& form, AppContext& ctx, MonthSelection& months,
                                       LeaveGuard* guard, DraftStore* drafts, YearOutputs outputs)
    : QObject(&form), m_form(form), m_ctx(ctx), m_months(months), m_guard(guard), m_drafts(drafts),
      m_outputs(std::move(outputs))
{
    auto* button = form.controls().get<ImageButton>(QStringLiteral("ImageJaar"));
    connect(button, &ImageButton::doubleClicked, this, &YearOverviewAction::openWindow);
}

void YearOverviewAction::openWindow()
{
    FormControls& c = m_form.controls();
    auto* yearBox = c.get<QComboBox>(QStringLiteral("Combo3"));
    QStringList years;
    for (int i = 0; i < yearBox->count(); ++i)
        years << yearBox->itemText(i);
    QString shown = c.text(QStringLiteral("Combo3"));
    if (!years.contains(shown))
        shown = QString::number(m_ctx.clock.now().date().year());
    YearWindow w(years, shown, &m_form);
    if (!runGuarded(m_ctx.messages, [&] { fill(w, shown); }))
        return;
    connect(&w, &YearWindow::yearChosen, &w,
            [&](const QString& y) { runGuarded(m_ctx.messages, [&] { fill(w, y); }); });
    connect(&w, &YearWindow::monthChosen, &w, [&](int project, int month) {
        if (openMonth(project, month))
            w.accept();
    });
    connect(&w, &YearWindow::printWanted, this, &YearOverviewAction::printOverview);
    connect(&w, &YearWindow::pdfWanted, this, &YearOverviewAction::keepOverviewAsPdf);
    w.exec();
    // The keys go to the form again, to the field the month put the focus in.
    m_form.activateWindow();
    if (QWidget* focus = m_form.focusWidget())
        focus->setFocus(Qt::OtherFocusReason);
}

void YearOverviewAction::fill(YearWindow& w, const QString& year)
{
    auto* projects = m_form.controls().get<QComboBox>(QStringLiteral("Combo1"));
    QStringList codes;
    for (int i = 0; i < projects->count(); ++i)
        codes << project::codeFromEntry(projects->itemText(i));
    const QString consultant = m_form.controls().text(QStringLiteral("Text1"));
    m_stored = m_ctx.db().run(
        [&](Connection& connection) { return year::read(connection, year, consultant, codes); });
    if (m_drafts)
        m_drafts->waitForWrites();
    m_overview = year::build(
        year, consultant, m_stored,
        [this](const QString& key) { return m_drafts && QFile::exists(m_drafts->fileFor(key)); },
        [this, consultant](const QString& key) -> std::optional<QStringList> {
            const std::optional<Draft> d = m_drafts ? m_drafts->read(key, consultant) : std::nullopt;
            if (!d)
                return std::nullopt;
            QStringList hours;
            for (int n = 1; n <= report::kSlots; ++n)
                hours << d->columns.value(report::slotColumn(QStringLiteral("Uren"), n));
            return hours;
        });
    w.show(m_overview, codes);
}

bool YearOverviewAction::openMonth(int project, int month)
{
    if (project < 0 || project >= m_overview.cells.size())
        return false;
    const year::Project& p = m_stored.projects[project];
    const QString entry = monthEntries().value(month - 1);
    const QString& year = m_overview.year;
    if (m_overview.cells[project][month - 1].state == year::State::Declared) {
        m_ctx.messages.inform(month::declaredMessage(report::monthPart(entry), year));
        return false;
    }
    if (const auto refusal = month::startRefusal(year, entry, p.start)) {
        m_ctx.messages.inform(*refusal);
        return false;
    }
    bool opened = false;
    runGuarded(m_ctx.messages,
               [&] { opened = openAsChosen(m_form, m_ctx, m_guard, m_months, p.code, year, entry); });
    if (!opened)
        return false;
    return m_ctx.session.reportKey == year::monthKey(year, month, p.code);
}

namespace {

print::YearHeader headerOf(const FormControls& c, const Session& session)
{
    const print::PrintTexts t = print::readPrintTexts(c, session);
    return {t.consultantNumber, print::printedConsultantName(t), print::printedDate(t)};
}

} // namespace

void YearOverviewAction::printOverview()
{
    runGuarded(m_ctx.messages, [this] {
        const FormControls& c = m_form.controls();
        if (!m_ctx.messages.confirm(
                print::yearPrintQuestion(m_overview.year, c.text(QStringLiteral("Combo4"))),
                QStringLiteral("JAAROVERZICHT AFDRUKKEN")))
            return;
        print::printOn(m_ctx.messages, m_outputs.printOutput,
                       m_outputs.printer ? m_outputs.printer->name() : QString(),
                       print::buildYearDocument(m_overview, headerOf(c, m_ctx.session)), m_form.logo(),
                       QStringLiteral("Het jaaroverzicht is niet afgedrukt."),
                       QStringLiteral("Het jaaroverzicht is afgedrukt op %1."));
    });
}

void YearOverviewAction::keepOverviewAsPdf()
{
    if (!m_outputs.files)
        return;
    runGuarded(m_ctx.messages, [this] {
        print::keepAsPdf(m_ctx.messages, *m_outputs.files, print::yearPdfCaption(),
                         QDir(m_outputs.documents).filePath(print::yearPdfFileName(m_overview.year)),
                         print::buildYearDocument(m_overview, headerOf(m_form.controls(), m_ctx.session)),
                         m_form.logo());
    });
}

} // namespace dl
