#pragma once
// The TLS settings, in the order of the server address: --tls, --tls-ca,
// --tls-cert and --tls-key, then their environment variables, then the keys
// remembered in the group [database], then the default (preferred, no files).
// The mode is the exception: --tls off holds for its own start only, and the
// environment can raise the remembered mode but never lower it.

#include "data/settings.h"

#include <QList>
#include <QString>

#include <optional>

class QCommandLineOption;
class QLabel;
class QCommandLineParser;
class QSettings;

namespace dl {

// The four settings as one source gives them; empty: not given there.
struct TlsTexts {
    QString mode;
    QString ca;
    QString cert;
    QString key;
    bool operator==(const TlsTexts&) const = default;
};

struct TlsChoice {
    TlsOptions options;
    // Why the program cannot start with these settings, naming the setting;
    // empty when it can.
    QString problem;
    // A setting given but not taken, and why; the program starts anyway.
    QString notice;
};

// required, preferred or off, letter case aside.
std::optional<TlsOptions::Mode> parseTlsMode(const QString& text);
QString tlsModeName(TlsOptions::Mode mode);

// The command line's four options, and reading them: files become absolute
// paths (they are remembered); an unknown mode is a usage error, returned.
QList<QCommandLineOption> tlsCommandLineOptions();
QString readTlsOptions(const QCommandLineParser& parser, TlsTexts& out);
// The options' lines of --help, and the paragraph on where the settings come from.
QString tlsOptionsHelp();
QString tlsSettingsHelp();

TlsTexts tlsEnvironment();

// Picks each setting from the first source that gives it, the mode as above.
// The command line's are remembered for the next start (off never), unless
// the start is refused: then nothing changes. Off in the options therefore
// means --tls off on this start.
TlsChoice chooseTls(const TlsTexts& commandLine, const TlsTexts& environment, QSettings& settings);

// The login form's warning for a start with --tls off: lblTlsUit, in red.
QLabel* plainLineWarning();

} // namespace dl
