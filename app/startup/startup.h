#pragma once

namespace dl {

// Parses the command line, builds the forms in their start-up order and runs
// the event loop.
int runProgram(int argc, char* argv[]);

} // namespace dl
