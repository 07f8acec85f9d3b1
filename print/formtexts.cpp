#include "print/formtexts.h"

#include "ui/controls.h"

#include <utility>

namespace dl::print {

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

} // namespace dl::print
