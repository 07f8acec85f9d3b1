#include "core/settingsfile.h"

#include <QSettings>

namespace dl {

QString settingsFilePath()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kSettingsOrganisation),
                     QLatin1String(kSettingsApplication))
        .fileName();
}

} // namespace dl
