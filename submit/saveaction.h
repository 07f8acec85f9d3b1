#pragma once
// The save button (Image3 on the tab "Raport"): after the consultant
// confirms, the open month's report is written as the form shows it, with
// afgewerkt "nee". A declared report is never written again; a month found
// declared lets go of the form as a declaration does.

#include "core/context.h"
#include "data/records.h"

#include <QLocale>
#include <QObject>

#include <optional>

namespace dl {

class DraftStore;
class FormControls;
class Form1;

class SaveAction : public QObject {
    Q_OBJECT
public:
    // locale: the regional settings of the modification stamp. drafts (may
    // be null): a save that went through removes the month's draft.
    SaveAction(Form1& form, AppContext& ctx, const QLocale& locale = QLocale::system(),
               DraftStore* drafts = nullptr);

    // The double-click on Image3.
    void run();
    // The save without its question, for the question before a changed month
    // is left; true when the row was written. Throws DbError.
    bool saveWithoutQuestion();

private:
    void save();
    // Whether the server took the save whose answer was lost; nothing when
    // the rows could not be looked at either.
    std::optional<bool> storedAllTheSame(const Values& columns);

    FormControls& m_c;
    AppContext& m_ctx;
    QLocale m_locale;
    DraftStore* m_drafts;
};

} // namespace dl
