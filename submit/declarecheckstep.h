#pragma once
// The look at the open month before the question to declare it: the rules
// of check:: on the form's texts and the last earlier declaration, and the
// box that lists what was found.

namespace dl {

struct AppContext;
class Form1;

namespace submit {

// True: go on to the question. False: the consultant went back to tab
// "Raport", to the hours of the first day a finding names. Throws DbError.
bool checkBeforeDeclaring(Form1& form, AppContext& ctx);

} // namespace submit
} // namespace dl
