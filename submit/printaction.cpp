#include "submit/printaction.h"

#include "core/actionguard.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "submit/printeroutput.h"
#include "ui/imagebutton.h"

#include <utility>

namespace dl {

namespace print {

QString printQuestion(const QString& combo4Text)
{
    return QStringLiteral("U wilt het huidige raport en declaratie afdrukken op ") + combo4Text +
           QStringLiteral(" ?\r\n"
                          "Eventueel kunt U dit nu anuleren en een ander apparaat selecteren.\r\n"
                          "\r\n"
                          "Wilt U nu gaan afdrukken ?\r\n");
}

QString noOpenMonthMessage()
{
    return QStringLiteral("Er is geen maand geopend; er is niets om af te drukken.\r\n"
                          "Kies eerst een jaar en een maand.");
}

PrintTexts readPrintTexts(const FormControls& c, const Session& session)
{
    const auto slot = [&c](const QString& array, int n) { return c.text(element(array, n)); };
    // The texts that come from one control each, by its form name.
    const std::pair<QString PrintTexts::*, const char16_t*> single[] = {
        {&PrintTexts::consultantNumber, u"Text1"},
        {&PrintTexts::clientNumber, u"Text5"},
        {&PrintTexts::projectNumber, u"Text38"},
        {&PrintTexts::greetingCaption, u"Label1"},
        {&PrintTexts::projectName, u"Text2"},
        {&PrintTexts::projectDescription, u"Text3"},
        {&PrintTexts::clientName, u"Text6"},
        {&PrintTexts::hours, u"Text19"},
        {&PrintTexts::hoursText, u"Text20"},
        {&PrintTexts::hoursAmount, u"Text21"},
        {&PrintTexts::kilometres, u"Text14"},
        {&PrintTexts::kilometresText, u"Text15"},
        {&PrintTexts::kilometresAmount, u"Text16"},
        {&PrintTexts::expense, u"Text11"},
        {&PrintTexts::expenseText, u"Text12"},
        {&PrintTexts::expenseAmount, u"Text13"},
        {&PrintTexts::subtotal, u"Text17"},
        {&PrintTexts::vat, u"Text28"},
        {&PrintTexts::total, u"Text29"},
    };

    PrintTexts t;
    t.year = session.reportYear;
    t.monthEntry = session.reportMonthEntry;
    for (const auto& [field, name] : single)
        t.*field = c.text(QString::fromUtf16(name));
    t.dateCaption = slot(QStringLiteral("Label2"), 1);
    for (int n = 1; n <= 31; ++n) {
        DayTexts& d = t.days[std::size_t(n - 1)];
        d.label = slot(QStringLiteral("Text23"), n);
        d.activity = slot(QStringLiteral("Text24"), n);
        d.person = slot(QStringLiteral("Text25"), n);
        d.hours = slot(QStringLiteral("Text26"), n);
        d.kilometres = slot(QStringLiteral("Text27"), n);
    }
    t.hoursColumnTotal = slot(QStringLiteral("Text26"), 32);
    t.kilometresColumnTotal = slot(QStringLiteral("Text27"), 32);
    return t;
}

} // namespace print

PrintAction::PrintAction(Form1& form, AppContext& ctx, const CurrentPrinter& printer, OutputFactory output)
    : QObject(&form), m_form(form), m_ctx(ctx), m_printer(printer), m_output(std::move(output))
{
    auto* button = form.controls().get<ImageButton>(QStringLiteral("Image6"));
    connect(button, &ImageButton::doubleClicked, this, &PrintAction::run);
    doubleClickOnKeys(&form, button, QKeySequence::Print);
}

void PrintAction::run()
{
    runGuarded(m_ctx.messages, [this] {
        // The invoice number and the period belong to the month on screen.
        if (!m_ctx.session.hasOpenReport()) {
            m_ctx.messages.inform(print::noOpenMonthMessage(), Icon::Warning);
            return;
        }
        const FormControls& c = m_form.controls();
        if (!m_ctx.messages.confirm(print::printQuestion(c.text(QStringLiteral("Combo4"))),
                                    print::printQuestionCaption()))
            return;
        const QStringList texts = openmonth::snapshot(c);
        if (print::printOn(m_ctx.messages, m_output, m_printer.name(),
                           print::buildPrintDocument(print::readPrintTexts(c, m_ctx.session)), m_form.logo(),
                           QStringLiteral("Het raport en de declaratie zijn niet afgedrukt."),
                           QStringLiteral("Het raport en de declaratie zijn afgedrukt op %1.")))
            m_ctx.session.onPaper(texts);
    });
}

namespace print {

bool printOn(MessageService& messages, const PrintAction::OutputFactory& output, const QString& printerName,
             const PrintDocument& document, const QPixmap& logo, const QString& failure, const QString& done)
{
    try {
        const std::unique_ptr<PrintOutput> out =
            output ? output(printerName, document.title)
                   : std::make_unique<PrinterOutput>(printerName, document.title);
        renderDocument(document, logo, *out);
        messages.inform(
            done.arg(printerName.isEmpty() ? QStringLiteral("de standaardprinter") : printerName));
        return true;
    } catch (const PrintError& e) {
        messages.inform(failure + QStringLiteral("\r\n\r\n") + e.message(), Icon::Critical);
        return false;
    }
}

} // namespace print

} // namespace dl
