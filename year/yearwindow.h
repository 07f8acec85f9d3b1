#pragma once
// ImageJaar: the year overview of tab "Declaratie" in a modal window. A
// month chosen there (double-click or Enter) opens in the main form by the
// road of choosing project, year and month.

#include "core/context.h"
#include "core/filechooser.h"
#include "core/printers.h"
#include "print/printon.h"
#include "year/yearoverview.h"

#include <QDialog>
#include <QObject>

class QComboBox;
class QLabel;
class QTableWidget;

namespace dl {

class DraftStore;
class Form1;
class LeaveGuard;
class MonthSelection;
class YearChart;

namespace year {

// The colour of a state; the cell says it in words as well.
QColor stateColour(State s);

} // namespace year

class YearWindow : public QDialog {
    Q_OBJECT
public:
    YearWindow(const QStringList& years, const QString& year, QWidget* parent = nullptr);

    void show(const year::Overview& o, const QStringList& codes);
    QString chosenYear() const;

Q_SIGNALS:
    void yearChosen(const QString& year);
    void monthChosen(int project, int month);
    void printWanted();
    void pdfWanted();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // As wide as the table needs, as far as the screen allows.
    void fitWidth();

    QComboBox* m_years;
    QWidget* m_body = nullptr; // inside JaarScroll
    QTableWidget* m_table;
    YearChart* m_chart;
    QLabel* m_totals;
};

// Where the overview goes on paper, as the month's document.
struct YearOutputs {
    const CurrentPrinter* printer = nullptr;
    print::OutputFactory printOutput; // empty: the printer's CUPS queue
    FileChooser* files = nullptr;
    QString documents; // the folder a PDF is proposed in
};

class YearOverviewAction : public QObject {
    Q_OBJECT
public:
    YearOverviewAction(Form1& form, AppContext& ctx, MonthSelection& months, LeaveGuard* guard,
                       DraftStore* drafts, YearOutputs outputs);

    // The window for the year in Combo3; returns when it is closed.
    void openWindow();

private:
    void fill(YearWindow& w, const QString& year);
    // True when the month opened and the window may close.
    bool openMonth(int project, int month);
    void printOverview();
    void keepOverviewAsPdf();

    Form1& m_form;
    AppContext& m_ctx;
    MonthSelection& m_months;
    LeaveGuard* m_guard;
    DraftStore* m_drafts;
    YearOutputs m_outputs;
    year::Stored m_stored;
    year::Overview m_overview;
};

} // namespace dl
