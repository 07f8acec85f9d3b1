#pragma once
// The printer list of the main form: filled when the login form loads, with
// the printer that is current at start selected, and the consultant's later
// pick in Combo4, which makes that printer current.

#include "core/printers.h"
#include "core/session.h"

#include <functional>

namespace dl {

class Form1;

// The login form's load step. mainForm gives the main form and loads it on
// its first call, which is made only when there is a printer to list.
// Appends every installed printer to Combo4 in the system's order, selects
// the current one (the last of equal names) and keeps its name as the
// Session's printerName; without a match Combo4 keeps its text, has no
// selection and printerName stays empty.
void fillPrinterList(const std::function<Form1&()>& mainForm, CurrentPrinter& printer, Session& session);

// Combo4's click: SelectPrinter with the text of Combo4. printerName keeps
// the start printer.
void connectPrinterChoice(Form1& form, CurrentPrinter& printer);

} // namespace dl
