#pragma once
// A probe for the benchmark (scripts/bench.sh): with DECLARATIES_STARTUP_PROBE
// set, the program writes to stderr how long it took from its start until
// the login form was first painted, and then ends. Without it, nothing happens.

class QWidget;

namespace dl {

inline constexpr const char* kStartupProbeEnv = "DECLARATIES_STARTUP_PROBE";

void armStartupProbe(QWidget* loginForm);

} // namespace dl
