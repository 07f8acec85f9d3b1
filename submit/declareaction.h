#pragma once
// The declare button (Image4 on the tab "Declaratie"): unless the office has
// switched declaring off, and after a look at the month and the consultant's
// confirmation, the open month's report is saved as declared and its
// declaration row appended, both in one transaction; then the form lets go
// of the month.

#include "core/context.h"
#include "data/records.h"

#include <QLocale>
#include <QObject>

#include <optional>

namespace dl {

class DraftStore;
class FormControls;
class Form1;

// The month is finished on this workstation: its declare and print buttons
// go, the month box reads "maand" and the Session has no open report.
void letGoOfMonth(FormControls& c, Session& session);

class DeclareAction : public QObject {
    Q_OBJECT
public:
    // locale: the regional settings of the stamps. drafts (may be null): a
    // declaration that went through removes the month's draft.
    DeclareAction(Form1& form, AppContext& ctx, const QLocale& locale = QLocale::system(),
                  DraftStore* drafts = nullptr);

    // The double-click on Image4.
    void run();

private:
    void declareMonth();
    // Whether the server took the declaration whose answer was lost;
    // nothing when the rows could not be looked at either.
    std::optional<bool> storedAllTheSame(const Values& declaration);
    void chooseProjectAgain();

    Form1& m_form;
    FormControls& m_c;
    AppContext& m_ctx;
    QLocale m_locale;
    DraftStore* m_drafts;
};

} // namespace dl
