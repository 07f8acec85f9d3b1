#pragma once
// The print button (Image6 on the tab "Declaratie"): after the consultant
// confirms, the report and declaration on screen are printed as one job on
// the current printer. Nothing on the form, in the Session or in the
// database changes.

#include "core/context.h"
#include "core/printers.h"
#include "print/printon.h"

#include <QObject>

namespace dl {

class Form1;

namespace print {

// The question before printing, naming what Combo4 shows.
QString printQuestion(const QString& combo4Text);
inline QString printQuestionCaption()
{
    return QStringLiteral("RAPORT EN DECLARATIE ADFRUKKEN");
}

// Printing, or keeping the document as a file, without an open month.
QString noOpenMonthMessage();

} // namespace print

class PrintAction : public QObject {
    Q_OBJECT
public:
    PrintAction(Form1& form, AppContext& ctx, const CurrentPrinter& printer,
                print::OutputFactory output = {});

    // The double-click on Image6.
    void run();

private:
    Form1& m_form;
    AppContext& m_ctx;
    const CurrentPrinter& m_printer;
    print::OutputFactory m_output;
};

} // namespace dl
