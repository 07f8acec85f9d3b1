#include "login/printerselection.h"

#include "declaration/form1.h"

#include <QComboBox>

namespace dl {

namespace {

QComboBox* printerList(Form1& form)
{
    return form.controls().get<QComboBox>(QStringLiteral("Combo4"));
}

} // namespace

void fillPrinterList(const std::function<Form1&()>& mainForm, CurrentPrinter& printer, Session& session)
{
    const QStringList installed = printer.catalogue().names();
    if (installed.isEmpty())
        return;

    QComboBox* list = printerList(mainForm());
    const QString shown = list->currentText();
    const QString current = printer.name();
    int position = -1;
    for (int i = 0; i < installed.size(); ++i) {
        list->addItem(installed.at(i));
        if (installed.at(i) == current)
            position = i;
    }

    if (position < 0) {
        // Qt selects the first entry put into an empty list; undo that.
        list->setCurrentIndex(-1);
        list->setEditText(shown);
        return;
    }
    list->setCurrentIndex(position);
    // Selecting the entry is Combo4's click; the login form's SelectPrinter
    // makes the same printer current, so one call stands for both.
    printer.select(list->currentText());
    session.printerName = list->currentText();
}

void connectPrinterChoice(Form1& form, CurrentPrinter& printer)
{
    QComboBox* list = printerList(form);
    QObject::connect(list, &QComboBox::activated, list,
                     [list, &printer](int) { printer.select(list->currentText()); });
}

} // namespace dl
