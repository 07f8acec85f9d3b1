#pragma once
// ImageVorigeMaand on tab "Raport": an open month whose activities and
// contacts are all empty takes them, weekday for weekday, from the project's
// last stored month before it. Hours and kilometres stay as typed; what it
// fills is a change like any typed one.

#include "core/context.h"

#include <QObject>
#include <QString>

namespace dl {

class Form1;

namespace previousmonth {

QString caption();
QString question(const QString& fromMonthAndYear);
QString noneMessage();

} // namespace previousmonth

class PreviousMonth : public QObject {
    Q_OBJECT
public:
    PreviousMonth(Form1& form, AppContext& ctx);

    // The double-click: asks, reads, fills.
    void run();

private:
    void updateShown();

    Form1& m_form;
    AppContext& m_ctx;
};

} // namespace dl
