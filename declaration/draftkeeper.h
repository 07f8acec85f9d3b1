#pragma once
// Keeps the open month's draft current: shortly after a change the form's
// report columns go to the draft store, and a month typed back to what was
// saved has its draft taken away. When a month is opened, it offers that
// month's draft. It keeps nothing while a month or project is being chosen,
// saved or declared (their boxes included): the controls may then show
// another month than the key names, or one that is gone.

#include "core/context.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace dl {

class DraftStore;
class FormControls;
class Form1;
struct Draft;

namespace month {
struct Lookup;
}

namespace draft {

// The draft of the month the form shows, made now.
Draft fromForm(const FormControls& c, const Session& s, const QDateTime& now);

QString restoreCaption();
QString restoreQuestion(const QDateTime& written);
QString staleMessage(const QString& monthEntry, const QString& year);

// Whether a draft fits the month as it was just looked up: it was made on
// the row as it still stands, or the month is still unsaved.
bool fits(const Draft& d, const month::Lookup& found);

} // namespace draft

class DraftKeeper : public QObject {
    Q_OBJECT
public:
    // A child of the form; drafts outlives it.
    DraftKeeper(Form1& form, AppContext& ctx, DraftStore& drafts);

    // After the month of found was opened (or refused as declared): asks to
    // put back its draft, or removes a draft that no longer fits.
    void offer(const month::Lookup& found, const QString& monthEntry, const QString& year,
               const QString& key);

    // What the timer runs.
    void keepNow();

private:
    FormControls& m_c;
    AppContext& m_ctx;
    DraftStore& m_drafts;
    QTimer m_timer;
    QString m_writtenKey;  // the key whose draft this keeper wrote or put back last
    QStringList m_written; // and the texts it held
};

} // namespace dl
