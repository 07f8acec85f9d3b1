#pragma once
// What the server's ed25519 plugin stores for a password, computed here so
// that the password itself never stands in a statement (nor in the
// server's general and slow logs).

#include <QString>

namespace dl {

// The public key of the clamped first half of SHA-512(password), in base64
// without padding (43 characters), as the plugin's PASSWORD() gives it.
QString ed25519Verifier(const QString& password);

} // namespace dl
