#pragma once
// Stored passwords: an Argon2id hash in its standard encoded form is checked
// with libsodium; any other text is the password itself, compared exactly.

#include <QString>

#include <optional>

namespace dl {

// The most a stored hash may ask of a login. The cost is read from the
// stored text, which anyone with the shared account could write, so without
// a cap one row could stall every login for seconds and a gigabyte.
inline constexpr unsigned long kMaxHashMemoryKiB = 256UL * 1024UL;
inline constexpr unsigned long kMaxHashPasses = 10;
inline constexpr unsigned long kMaxHashLanes = 4;

// The login form takes at most this many characters.
inline constexpr int kMaxPasswordLength = 10;

struct HashCost {
    unsigned long memoryKiB = 0; // m=
    unsigned long passes = 0;    // t=
    unsigned long lanes = 0;     // p=
};

// "$argon2id$" starts the hashed form.
bool isArgon2idHash(const QString& stored);

// The cost fields of "$argon2id$[v=N$]m=M,t=T,p=P$salt$hash"; empty when the
// text is not in that shape. A number too large for the type reads as the
// largest value, so that it is over any cap.
std::optional<HashCost> argon2idCost(const QString& stored);

enum class PasswordCheck {
    Match,
    NoMatch,
    Malformed, // looks hashed but is not a hash libsodium can read
    TooCostly, // over the caps above; not verified
};

PasswordCheck checkPassword(const QString& stored, const QString& typed);

// Match or not; a malformed or too costly hash is a wrong password, and the
// latter is said once on standard error, naming the login.
bool passwordMatches(const QString& stored, const QString& typed, const QString& loginName);

// The encoded Argon2id hash with libsodium's interactive limits; empty when
// libsodium could not make one (out of memory).
QString hashPassword(const QString& password);

} // namespace dl
