#pragma once
// Choosing a month in Combo2: opens that month of the chosen project, either
// the stored report or a new one, or refuses it. The decisions live in
// monthselectionrules.h; this puts their outcome on the form.

#include "app/context.h"

#include <QLocale>
#include <QObject>
#include <QString>

namespace dl {

class FormControls;
class Form1;

namespace month {
struct Lookup;
}

class MonthSelection : public QObject {
    Q_OBJECT
public:
    // locale: the regional settings of the report's date lines.
    MonthSelection(Form1& form, AppContext& ctx, const QLocale& locale = QLocale::system());

    // The click on an entry of Combo2 ("03 Maart ").
    void choose(const QString& monthEntry);

private:
    void open(const QString& entry);
    void resetSummary();
    void showOpenMonth();
    void openInSession(const QString& key, const QString& year, const QString& entry);
    void prepareNew(const QString& entry, const QString& year, int days);
    void load(const month::Lookup& found, const QString& entry, const QString& year, int days);
    void showDays(int days, bool emptyHidden);
    void showSummary();

    Form1& m_form;
    FormControls& m_c;
    AppContext& m_ctx;
    QLocale m_locale;
};

} // namespace dl
