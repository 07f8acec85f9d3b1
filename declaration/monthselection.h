#pragma once
// Choosing a month in Combo2: opens that month of the chosen project, either
// the stored report or a new one, or refuses it. The decisions live in
// monthselectionrules.h; this puts their outcome on the form.

#include "core/context.h"

#include <QLocale>
#include <QObject>
#include <QString>

namespace dl {

class DraftKeeper;
class FormControls;
class Form1;
class LeaveGuard;

namespace month {
struct Lookup;
}

class MonthSelection : public QObject {
    Q_OBJECT
public:
    // locale: the regional settings of the report's date lines. guard asks
    // before a changed month is left; drafts offers a month's draft when it
    // opens (either may be null).
    MonthSelection(Form1& form, AppContext& ctx, const QLocale& locale = QLocale::system(),
                   LeaveGuard* guard = nullptr, DraftKeeper* drafts = nullptr);

    // An entry of Combo2 chosen ("03 Maart "): Enter on the box or a pick
    // from its list, never an arrow key alone.
    void choose(const QString& monthEntry);

Q_SIGNALS:
    // A month is open on the form (loaded or prepared).
    void opened();

private:
    void open(const QString& entry);
    month::Lookup lookUp(const QString& key);
    void resetSummary();
    void showOpenMonth();
    void showOpenMonthEntry();
    int offeredRow();
    void openInSession(const QString& key, const QString& year, const QString& entry,
                       const month::Lookup& found);
    void prepareNew(const QString& entry, const QString& year, int days);
    void load(const month::Lookup& found, const QString& entry, const QString& year, int days);
    void showDays(int days, bool emptyHidden);
    void focusFirstDayToFill(int days);
    void showSummary();

    Form1& m_form;
    FormControls& m_c;
    AppContext& m_ctx;
    QLocale m_locale;
    LeaveGuard* m_guard;
    DraftKeeper* m_drafts;
};

} // namespace dl
