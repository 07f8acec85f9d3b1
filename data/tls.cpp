#include "data/tls.h"

#include <errmsg.h>
#include <mysql.h>

namespace dl {

namespace {

void setFile(MYSQL* m, mysql_option option, const QString& path)
{
    if (!path.isEmpty())
        mysql_optionsv(m, option, path.toLocal8Bit().constData());
}

// The connector's words for a server that sent no TLS capability.
bool offersNoTls(MYSQL* m)
{
    return mysql_errno(m) == CR_SSL_CONNECTION_ERROR &&
           QString::fromUtf8(mysql_error(m)).contains(u"does not support", Qt::CaseInsensitive);
}

QString noTlsReason()
{
    return QStringLiteral("de server biedt geen versleutelde verbinding");
}

// The connector says "TLS/SSL error: " and OpenSSL's text, or its own for a
// host name that the certificate does not carry.
QString reasonOf(const QString& text, const QString& host)
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
            return QStringLiteral("het certificaat van de server is niet ondertekend door de opgegeven CA");
    }
    return QStringLiteral("de versleutelde verbinding kwam niet tot stand (") + text + u')';
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
    // checks always. Asking for TLS alone falls back to plain text where the
    // server has none, which is preferred; required refuses that in checkTls.
    const my_bool verify = use && (tls.mode == TlsOptions::Mode::Required || !tls.ca.isEmpty()) ? 1 : 0;
    mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &use);
    mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    if (!use)
        return;
    setFile(m, MYSQL_OPT_SSL_CA, tls.ca);
    setFile(m, MYSQL_OPT_SSL_CERT, tls.cert);
    setFile(m, MYSQL_OPT_SSL_KEY, tls.key);
}

bool withoutTlsWhereNoneIsOffered(MYSQL* m, const TlsOptions& tls)
{
    if (tls.mode != TlsOptions::Mode::Preferred || tls.ca.isEmpty() || !offersNoTls(m))
        return false;
    const my_bool off = 0;
    mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &off);
    mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &off);
    for (const mysql_option file : {MYSQL_OPT_SSL_CA, MYSQL_OPT_SSL_CERT, MYSQL_OPT_SSL_KEY})
        mysql_optionsv(m, file, nullptr);
    return true;
}

void checkTls(MYSQL* m, const ServerAddress& server, const TlsOptions& tls)
{
    if (tls.mode != TlsOptions::Mode::Required)
        return;
    if (!mysql_get_ssl_cipher(m))
        throw tlsRefusal(server, noTlsReason());
    // The server's own view of the session, once: the connector alone has
    // been seen to go on in plain text.
    static const char query[] = "SHOW SESSION STATUS LIKE 'Ssl_cipher'";
    if (mysql_real_query(m, query, sizeof query - 1) != 0)
        throw DbError(static_cast<int>(mysql_errno(m)), QString::fromUtf8(mysql_error(m)).trimmed());
    MYSQL_RES* res = mysql_store_result(m);
    if (!res)
        throw DbError(static_cast<int>(mysql_errno(m)), QString::fromUtf8(mysql_error(m)).trimmed());
    const MYSQL_ROW row = mysql_num_fields(res) >= 2 ? mysql_fetch_row(res) : nullptr;
    const bool cipher = row && row[1] && mysql_fetch_lengths(res)[1] > 0;
    mysql_free_result(res);
    if (!cipher)
        throw tlsRefusal(server, noTlsReason());
}

DbError connectError(MYSQL* m, const ServerAddress& server)
{
    const int number = static_cast<int>(mysql_errno(m));
    const QString text = QString::fromUtf8(mysql_error(m)).trimmed();
    if (number != CR_SSL_CONNECTION_ERROR)
        return DbError(number, text);
    return tlsRefusal(server, reasonOf(text, server.host));
}

DbError tlsRefusal(const ServerAddress& server, const QString& reason)
{
    return DbError(CR_SSL_CONNECTION_ERROR,
                   QStringLiteral("De verbinding met de databaseserver op %1 is geweigerd: %2.")
                       .arg(addressText(server), reason));
}

} // namespace dl
