#include "submit/printaction.h"

#include "core/actionguard.h"
#include "declaration/form1.h"
#include "submit/printeroutput.h"
#include "ui/imagebutton.h"

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
    const auto text = [&c](const QString& name) { return c.text(name); };
    const auto slot = [&c](const QString& array, int n) { return c.text(element(array, n)); };

    PrintTexts t;
    t.year = session.reportYear;
    t.monthEntry = session.reportMonthEntry;
    t.consultantNumber = text(QStringLiteral("Text1"));
    t.clientNumber = text(QStringLiteral("Text5"));
    t.projectNumber = text(QStringLiteral("Text38"));
    t.dateCaption = slot(QStringLiteral("Label2"), 1);
    t.greetingCaption = text(QStringLiteral("Label1"));
    t.projectName = text(QStringLiteral("Text2"));
    t.projectDescription = text(QStringLiteral("Text3"));
    t.clientName = text(QStringLiteral("Text6"));
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
    t.hours = text(QStringLiteral("Text19"));
    t.hoursText = text(QStringLiteral("Text20"));
    t.hoursAmount = text(QStringLiteral("Text21"));
    t.kilometres = text(QStringLiteral("Text14"));
    t.kilometresText = text(QStringLiteral("Text15"));
    t.kilometresAmount = text(QStringLiteral("Text16"));
    t.expense = text(QStringLiteral("Text11"));
    t.expenseText = text(QStringLiteral("Text12"));
    t.expenseAmount = text(QStringLiteral("Text13"));
    t.subtotal = text(QStringLiteral("Text17"));
    t.vat = text(QStringLiteral("Text28"));
    t.total = text(QStringLiteral("Text29"));
    return t;
}

} // namespace print

PrintAction::PrintAction(Form1& form, AppContext& ctx, const CurrentPrinter& printer, OutputFactory output)
    : QObject(&form), m_form(form), m_ctx(ctx), m_printer(printer), m_output(std::move(output))
{
    if (!m_output) {
        m_output = [](const QString& printerName, const QString& title) {
            return std::make_unique<print::PrinterOutput>(printerName, title);
        };
    }
    auto* button = form.controls().get<ImageButton>(QStringLiteral("Image6"));
    connect(button, &ImageButton::doubleClicked, this, &PrintAction::run);
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

        const print::PrintDocument document =
            print::buildPrintDocument(print::readPrintTexts(c, m_ctx.session));
        try {
            const std::unique_ptr<print::PrintOutput> output = m_output(m_printer.name(), document.title);
            print::renderDocument(document, m_form.logo(), *output);
        } catch (const print::PrintError& e) {
            m_ctx.messages.inform(QStringLiteral("Het raport en de declaratie zijn niet afgedrukt.\r\n\r\n") +
                                      e.message(),
                                  Icon::Critical);
        }
    });
}

} // namespace dl
