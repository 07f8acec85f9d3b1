#pragma once
// Where the program's settings are kept (the remembered server address and
// TLS settings): QSettings(kSettingsOrganisation, kSettingsApplication), on
// Linux ~/.config/declaraties/declaraties.conf.

#include <QString>

namespace dl {

inline constexpr const char* kSettingsOrganisation = "declaraties";
inline constexpr const char* kSettingsApplication = "declaraties";

// The file the remembered settings live in, as QSettings names it.
QString settingsFilePath();

} // namespace dl
