#pragma once
// TLS on a connection being opened: what the connector is told before it
// connects, what is checked after, and a refusal put in the consultant's words.

#include "data/dberror.h"
#include "data/settings.h"

struct st_mysql;

namespace dl {

// The system's trust store, for required without a CA of the office's own.
inline constexpr const char* kSystemCaPath = "/etc/ssl/certs";

// Before connecting: TLS asked for unless off; the certificate checked
// against the CA and the host whenever a CA is given, and always under
// required (against the system's store when no CA is given). A server that
// offers no TLS is never retried in plain text once a check is asked for.
void applyTls(st_mysql* m, const TlsOptions& tls);

// A consultant's own account sends the proof of its password over the line:
// required with a checked certificate, unless off was asked for on this
// start's command line (the only way off reaches the options).
TlsOptions tlsForOwnAccount(const TlsOptions& chosen);

// After connecting: under required the line must carry a cipher, on the
// client's side and in the server's session; throws the refusal otherwise.
void checkTls(st_mysql* m, const ServerAddress& server, const TlsOptions& tls);

// The error of a failed connect; a TLS failure named by its reason, but a
// line that stopped carrying during the handshake is a lost line.
DbError connectError(st_mysql* m, const ServerAddress& server, const TlsOptions& tls);

// The error of a call on an open connection. TLS is past its handshake
// there, so a TLS error is the line failing under it (a read timeout, a
// reset): a lost line, never a refusal.
DbError callError(int number, const QString& text);

// The refusal as the consultant reads it: the address and the reason.
DbError tlsRefusal(const ServerAddress& server, const QString& reason);

} // namespace dl
