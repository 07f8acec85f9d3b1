#pragma once
// What a consultant may type or paste into the number fields of tab
// "Raport", as rules of their input (form::EditRule). A figure is taken as
// the number it is, or refused whole with a word at the field; never are
// the digits around a refused key joined into another number.
// - Hours: a comma or a point is the decimal sign ("7,5" and "7.5" are seven
//   and a half); it is kept as a point, the form every workstation and the
//   office's reports read as the number.
// - Kilometres: whole kilometres; a decimal sign is refused.
// - Euros: whole euros; a pasted amount ("7,5") puts its cents in the cents.
// - Cents: digits; one digit counts as tenths, as the comma before it says.
// Besides digits the fields take "%" and "'" as they always have.

#include "ui/formparts.h"

#include <QString>

namespace dl::numberentry {

bool hours(form::UserEdit& e);
bool kilometres(form::UserEdit& e);
bool euros(form::UserEdit& e);
bool cents(form::UserEdit& e);

QString hoursWhy();
QString kilometresWhy();
QString eurosWhy();
QString centsWhy();

} // namespace dl::numberentry
