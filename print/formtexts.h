#pragma once
// The main form's texts as the printed documents need them.

#include "core/session.h"
#include "print/printdocument.h"

namespace dl {

class FormControls;

namespace print {

// Year and month are those the open report was opened with, not what the
// boxes show now.
PrintTexts readPrintTexts(const FormControls& controls, const Session& session);

} // namespace print
} // namespace dl
