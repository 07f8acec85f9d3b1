#pragma once
// The print button (Image6 on the tab "Declaratie"): after the consultant
// confirms, the report and declaration on screen are printed as one job on
// the current printer. Nothing on the form, in the Session or in the
// database changes.

#include "core/context.h"
#include "core/printers.h"
#include "submit/printrenderer.h"

#include <QObject>

#include <functional>
#include <memory>

namespace dl {

class FormControls;
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

// The form's texts as the document needs them. Year and month are those
// the open report was opened with, not what the boxes show now.
PrintTexts readPrintTexts(const FormControls& controls, const Session& session);

} // namespace print

class PrintAction : public QObject {
    Q_OBJECT
public:
    // Where a document for the named printer goes; the real one is the
    // printer's CUPS queue.
    using OutputFactory = std::function<std::unique_ptr<print::PrintOutput>(const QString& printerName,
                                                                            const QString& jobTitle)>;

    PrintAction(Form1& form, AppContext& ctx, const CurrentPrinter& printer, OutputFactory output = {});

    // The double-click on Image6.
    void run();

private:
    Form1& m_form;
    AppContext& m_ctx;
    const CurrentPrinter& m_printer;
    OutputFactory m_output;
};

namespace print {

// Draws the document for the named printer and hands it over as one job;
// when that fails, says so: failure, then the reason. An empty factory is the
// printer's CUPS queue. Handed over, says on which printer: done with the
// printer's name for %1. True when the job was handed over.
bool printOn(MessageService& messages, const PrintAction::OutputFactory& output, const QString& printerName,
             const PrintDocument& document, const QPixmap& logo, const QString& failure, const QString& done);

} // namespace print

} // namespace dl
