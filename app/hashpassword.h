#pragma once
// declaraties --hash-password: one password from standard input (not echoed
// on a terminal) in, its Argon2id hash out, for the office to store in
// PASWOORD. Needs no display.

#include <cstdio>

namespace dl {

// Returns the exit code: 0 with the hash on out, 1 with a line on err.
int hashPasswordCommand(std::FILE* in, std::FILE* out, std::FILE* err);

} // namespace dl
