#pragma once
// TLS on a connection being opened: what the connector is told before it
// connects, what is checked after, and a refusal put in the consultant's words.

#include "data/dberror.h"
#include "data/settings.h"

struct st_mysql;

namespace dl {

// Before connecting: TLS asked for unless off; the certificate checked
// against the CA and the host whenever a CA is given.
void applyTls(st_mysql* m, const TlsOptions& tls);

// After a failed connect: true when preferred with a CA met a server that
// offers no TLS; the TLS options are dropped so the next try goes plain.
bool withoutTlsWhereNoneIsOffered(st_mysql* m, const TlsOptions& tls);

// After connecting: under required the line must carry a cipher, on the
// client's side and in the server's session; throws the refusal otherwise.
void checkTls(st_mysql* m, const ServerAddress& server, const TlsOptions& tls);

// The error of a failed connect; a TLS failure named by its reason.
DbError connectError(st_mysql* m, const ServerAddress& server);

// The refusal as the consultant reads it: the address and the reason.
DbError tlsRefusal(const ServerAddress& server, const QString& reason);

} // namespace dl
