#include "data/tls.h"

#include <errmsg.h>
#include <mysql.h>

#include <QRegularExpression>

#include <cerrno>

namespace dl {

namespace {

void setFile(MYSQL* m, mysql_option option, const QString& path)
{
    if (!path.isEmpty())
        mysql_optionsv(m, option, path.toLocal8Bit().constData());
}

QString noTlsReason()
{
    return QStringLiteral("de server biedt geen versleutelde verbinding");
}

// The connector says "TLS/SSL error: " and OpenSSL's text, or its own for a
// host name that the certificate does not carry.
QString reasonOf(const QString& text, const QString& host, bool caGiven)
{
    const auto has = [&text](const char16_t* words) {
        return text.contains(QStringView(words), Qt::CaseInsensitive);
    };
    if (has(u"does not support"))
        return noTlsReason();
    if (has(u"Validation of SSL server certificate failed"))
        return QStringLiteral("het certificaat van de server is niet voor ") + host;
    for (const char16_t* chain :
         {u"self-signed certificate", u"self signed certificate", u"unable to get local issuer certificate",
          u"unable to get issuer certificate", u"unable to verify the first certificate",
          u"certificate signature failure"}) {
        if (has(chain))
            return caGiven
                       ? QStringLiteral(
                             "het certificaat van de server is niet ondertekend door de opgegeven CA")
                       : QStringLiteral("het certificaat van de server is niet ondertekend door een CA die "
                                        "deze computer vertrouwt");
    }
    return QStringLiteral("de versleutelde verbinding kwam niet tot stand (") + text + u')';
}

// The connector ends its text with the system's error number when the line
// under TLS failed (a timeout, a reset), not the certificate or the offer.
bool lineFailed(const QString& text)
{
    static const QRegularExpression errnoAtEnd(QStringLiteral("\\((\\d+)\\)$"));
    const QRegularExpressionMatch match = errnoAtEnd.match(text);
    if (!match.hasMatch())
        return false;
    const int number = match.captured(1).toInt();
    for (const int line :
         {ETIMEDOUT, ECONNRESET, ECONNABORTED, ECONNREFUSED, EPIPE, ENETUNREACH, EHOSTUNREACH}) {
        if (number == line)
            return true;
    }
    return false;
}

QString addressText(const ServerAddress& server)
{
    const QString host = server.host.contains(u':') ? u'[' + server.host + u']' : server.host;
    return host + u':' + QString::number(server.port);
}

} // namespace

void applyTls(MYSQL* m, const TlsOptions& tls)
{
    // Said outright either way, whatever the connector's own default.
    const my_bool use = tls.mode == TlsOptions::Mode::Off ? 0 : 1;
    // With a CA the certificate is checked, chain and host name; required
    // checks always, against the system's store without a CA. Asking for TLS
    // alone falls back to plain text where the server has none, which is
    // preferred without a CA; a check asked for makes that a refusal, so a
    // proxy that hides the server's offer gets nothing in clear.
    const my_bool verify = use && (tls.mode == TlsOptions::Mode::Required || !tls.ca.isEmpty()) ? 1 : 0;
    mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &use);
    mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    if (!use)
        return;
    setFile(m, MYSQL_OPT_SSL_CA, tls.ca);
    if (verify && tls.ca.isEmpty())
        mysql_optionsv(m, MYSQL_OPT_SSL_CAPATH, kSystemCaPath);
    setFile(m, MYSQL_OPT_SSL_CERT, tls.cert);
    setFile(m, MYSQL_OPT_SSL_KEY, tls.key);
}

TlsOptions tlsForOwnAccount(const TlsOptions& chosen)
{
    if (chosen.mode == TlsOptions::Mode::Off)
        return chosen;
    TlsOptions out = chosen;
    out.mode = TlsOptions::Mode::Required;
    return out;
}

void checkTls(MYSQL* m, const ServerAddress& server, const TlsOptions& tls)
{
    // The client library's own word, which costs no request: a session whose
    // password expired answers no query until a new one is set.
    if (tls.mode == TlsOptions::Mode::Required && !mysql_get_ssl_cipher(m))
        throw tlsRefusal(server, noTlsReason());
}

DbError connectError(MYSQL* m, const ServerAddress& server, const TlsOptions& tls)
{
    const int number = static_cast<int>(mysql_errno(m));
    const QString text = QString::fromUtf8(mysql_error(m)).trimmed();
    if (number == CR_PLUGIN_NOT_ALLOWED)
        return DbError(number, QStringLiteral("De server op %1 vroeg het wachtwoord op een manier die het "
                                              "kan prijsgeven; het is niet verstuurd.")
                                   .arg(addressText(server)));
    // Asked to start with ed25519 (an own account), the connector fails the
    // greeting of a server without TLS before it says TLS is missing.
    if (number == CR_SERVER_HANDSHAKE_ERR && tls.mode != TlsOptions::Mode::Off &&
        (tls.mode == TlsOptions::Mode::Required || !tls.ca.isEmpty()) && m->server_capabilities != 0 &&
        (m->server_capabilities & CLIENT_SSL) == 0)
        return tlsRefusal(server, noTlsReason());
    if (number != CR_SSL_CONNECTION_ERROR)
        return DbError(number, text);
    if (lineFailed(text))
        return DbError(CR_SERVER_LOST, text);
    return tlsRefusal(server, reasonOf(text, server.host, !tls.ca.isEmpty()));
}

DbError callError(int number, const QString& text)
{
    return DbError(number == CR_SSL_CONNECTION_ERROR ? CR_SERVER_LOST : number, text);
}

DbError tlsRefusal(const ServerAddress& server, const QString& reason)
{
    return DbError(CR_SSL_CONNECTION_ERROR,
                   QStringLiteral("De verbinding met de databaseserver op %1 is geweigerd: %2.")
                       .arg(addressText(server), reason));
}

} // namespace dl
