#include "submit/printaction.h"

#include "core/actionguard.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "print/formtexts.h"
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

} // namespace print

PrintAction::PrintAction(Form1& form, AppContext& ctx, const CurrentPrinter& printer,
                         print::OutputFactory output)
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

} // namespace dl
