#pragma once
// declaraties --hash-password: one password from standard input (not echoed
// on a terminal) in, its Argon2id hash out, for the office to store in
// PASWOORD. Needs no display.

#include <cstdio>

namespace dl {

// Returns the exit code: 0 with the hash on out, 1 with a line on err.
// ed25519: the verifier an own account's server stores ("ed25519:" and 43
// characters), for the office's commands, instead of the Argon2id hash.
int hashPasswordCommand(std::FILE* in, std::FILE* out, std::FILE* err, bool ed25519 = false);

} // namespace dl
