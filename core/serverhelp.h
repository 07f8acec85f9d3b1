#pragma once
// What to tell a user whose database server cannot be reached: every address
// tried and the three ways to give others; or whose line to it could not be
// protected as the TLS settings ask: why, and to call the office.

#include "data/serverlist.h"

#include <QString>

namespace dl {

class DbError;

// Line breaks are CR LF, as in every message box. settingsPath is the file
// the remembered address lives in (settingsFilePath()).
QString unreachableServerText(const ServerList& tried, const QString& settingsPath);
// The same, followed by the server's error number and description.
QString unreachableServerText(const ServerList& tried, const DbError& error, const QString& settingsPath);
// With the real settings file.
QString unreachableServerText(const ServerList& tried);
QString unreachableServerText(const ServerList& tried, const DbError& error);
// A TLS refusal (DbError::isTlsRefusal); its description names the address and the reason.
QString refusedServerText(const DbError& error);

} // namespace dl
