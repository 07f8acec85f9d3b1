#include "data/connection.h"

#include "data/clientvalues.h"
#include "data/connectdeadline.h"
#include "data/passwordverifier.h"
#include "data/tls.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include <QRegularExpression>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

namespace dl {

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mysql_library_init(0, nullptr, nullptr); });
}

bool isLossNumber(unsigned n)
{
    return DbError(static_cast<int>(n), {}).isConnectionLoss();
}

// A statement that may change rows; its lost answer leaves the outcome open.
bool mayWrite(const QString& sql)
{
    const QString t = sql.trimmed();
    for (const char16_t* read : {u"SELECT", u"SHOW", u"SET", u"START TRANSACTION", u"ROLLBACK"}) {
        if (t.startsWith(QStringView(read), Qt::CaseInsensitive))
            return false;
    }
    return true;
}

// The session the program's locking and reads rely on, whatever the
// server's defaults: one request; a setting the server refuses is named on
// standard error and the connection goes on without it.
void applySessionSettings(MYSQL* m, const Connection::Options& options)
{
    const bool mariadb = std::strstr(mysql_get_server_info(m), "MariaDB") != nullptr;
    const unsigned long version = mysql_get_server_version(m);
    // MariaDB before 11.1 knows only tx_isolation, MySQL 8 only transaction_isolation.
    const char* isolation = (mariadb && version < 110100) ? "tx_isolation" : "transaction_isolation";
    // A level is one of four words; anything else is no level at all.
    const QStringList levels{QStringLiteral("REPEATABLE-READ"), QStringLiteral("READ-COMMITTED"),
                             QStringLiteral("SERIALIZABLE"), QStringLiteral("READ-UNCOMMITTED")};
    const QString level = levels.contains(options.isolation) ? options.isolation : levels.first();
    const std::string settings[] = {
        std::string("SESSION ") + isolation + " = '" + level.toStdString() + "'",
        "SESSION innodb_lock_wait_timeout = 3",
    };
    std::string all = "SET ";
    for (const std::string& s : settings)
        all += (all.size() > 4 ? ", " : "") + s;
    if (mysql_real_query(m, all.c_str(), all.size()) == 0)
        return;
    // A lost line, or a password that must be changed first: the next
    // statement reports it.
    if (isLossNumber(mysql_errno(m)) || mysql_errno(m) == ER_MUST_CHANGE_PASSWORD)
        return;
    for (const std::string& s : settings) {
        const std::string one = "SET " + s;
        if (mysql_real_query(m, one.c_str(), one.size()) != 0) {
            std::fprintf(stderr, "declaraties: de server weigert de instelling %s: %u %s\n", s.c_str(),
                         mysql_errno(m), mysql_error(m));
            if (isLossNumber(mysql_errno(m)))
                return;
        }
    }
}

// A handle with the options every try needs, TLS included.
MYSQL* newHandle(const Connection::Options& options, const Connection::Login& login, bool sha2 = false)
{
    MYSQL* m = mysql_init(nullptr);
    if (!m)
        throw DbError(CR_OUT_OF_MEMORY, QStringLiteral("Geen geheugen voor een verbinding."));
    const unsigned connectTimeout = static_cast<unsigned>(options.connectTimeoutSeconds);
    const unsigned readTimeout = static_cast<unsigned>(options.readTimeoutSeconds);
    mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_optionsv(m, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_optionsv(m, MYSQL_OPT_WRITE_TIMEOUT, &readTimeout);
    ConnectDeadline::install(m);
    // A silent reconnect would lose the transaction and the session.
    const my_bool noReconnect = 0;
    mysql_optionsv(m, MYSQL_OPT_RECONNECT, &noReconnect);
    // The character set travels in the greeting: no request of its own.
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    applyTls(m, options.tls);
    // A consultant whose password the office made expire gets a session
    // that can only set a new one (1820 on anything else), not a refusal.
    if (login.names == TableNames::OwnAccount) {
        const my_bool expiredOk = 1;
        mysql_optionsv(m, MYSQL_OPT_CAN_HANDLE_EXPIRED_PASSWORDS, &expiredOk);
        // A consultant's password is answered only by a proof that does not
        // give it away (ed25519), so a relay that asks for it in clear gets
        // nothing. MySQL 8's caching_sha2 sends it whole at a first login:
        // asked for only inside a checked TLS line, once ed25519 was refused.
        const char* way = sha2 ? "caching_sha2_password" : "client_ed25519";
        mysql_optionsv(m, MYSQL_DEFAULT_AUTH, way);
        mysql_optionsv(m, MARIADB_OPT_RESTRICTED_AUTH, way);
    }
    return m;
}

MYSQL* openConnection(const ServerList& server, Database home, const Connection::Options& options,
                      const Connection::Login& login, ServerAddress& answered, bool& sha2)
{
    initLibrary();
    unsigned long flags = CLIENT_FOUND_ROWS;
    if (login.scripts)
        flags |= CLIENT_MULTI_STATEMENTS | CLIENT_MULTI_RESULTS;
    const QByteArray user = login.user.toUtf8();
    const QByteArray password = login.password.toUtf8();
    const QByteArray db = databaseName(home, login.names).toUtf8();
    const QByteArray socket = login.socket.toUtf8();

    // The address that answered last first, then the others in list order.
    // A node that answers but is not ready for clients refuses the first
    // statement with 1047, which counts as going away (KeptConnection).
    // A node that fails on its own account (full, blocked, a certificate it
    // cannot prove) sends us to the next; that failure is told only when no
    // node takes the connection, before any line that merely broke.
    std::optional<DbError> told;
    for (const ServerAddress& a : server.tryOrder()) {
        MYSQL* m = newHandle(options, login);
        const QByteArray host = login.socket.isEmpty() ? a.host.toUtf8() : QByteArray("localhost");
        const auto connect = [&] {
            return mysql_real_connect(m, host.constData(), user.constData(), password.constData(),
                                      db.constData(),
                                      login.socket.isEmpty() ? static_cast<unsigned>(a.port) : 0,
                                      login.socket.isEmpty() ? nullptr : socket.constData(), flags);
        };
        // The connect timeout bounds each wait; the whole try gets a few of
        // them, as a slow link's TLS and login take several round trips, but
        // never more. A connection that opened just late is kept while its
        // line is whole.
        const int wholeTry = kWaitsPerTry * options.connectTimeoutSeconds;
        ConnectDeadline deadline{std::chrono::seconds(wholeTry)};
        bool connected = connect() != nullptr;
        // An account MySQL 8 checks (it has no ed25519): which way the
        // server took tells what it is, not its version text, which comes
        // before TLS.
        sha2 = false;
        if (!connected && !deadline.shut() && mysql_errno(m) == CR_PLUGIN_NOT_ALLOWED &&
            login.names == TableNames::OwnAccount && options.tls.mode == TlsOptions::Mode::Required) {
            mysql_close(m);
            m = newHandle(options, login, true);
            connected = connect() != nullptr;
            sha2 = connected;
        }
        deadline.end();
        std::optional<DbError> failure;
        if (connected && !deadline.shut()) {
            try {
                checkTls(m, a, options.tls);
            } catch (const DbError& e) {
                failure = e;
            }
        } else if (!connected && !deadline.shut()) {
            failure = connectError(m, a, options.tls);
        }
        if (deadline.shut() ||
            (failure && deadline.passed() && failure->errorClass() == ErrorClass::LostLine)) {
            failure = DbError(CR_SERVER_LOST,
                              QStringLiteral("De server op %1 maakte de verbinding niet af binnen %2 s.")
                                  .arg(a.toString())
                                  .arg(wholeTry));
        }
        if (!failure) {
            server.answered(a);
            answered = a;
            if (login.sessionSettings)
                applySessionSettings(m, options);
            return m;
        }
        mysql_close(m);
        const ErrorClass kind = failure->errorClass();
        if (kind != ErrorClass::LostLine && kind != ErrorClass::ThisNodeOnly)
            throw *failure;
        // The first node's own refusal, else the last line that broke.
        if (!told || told->errorClass() != ErrorClass::ThisNodeOnly)
            told = failure;
    }
    throw *told;
}

// Whichever of the login's passwords the server holds.
MYSQL* openWithEitherPassword(const ServerList& server, Database home, const Connection::Options& options,
                              const Connection::Login& login, ServerAddress& answered, bool& former,
                              bool& sha2)
{
    try {
        return openConnection(server, home, options, login, answered, sha2);
    } catch (const DbError& e) {
        if (e.errorClass() != ErrorClass::AccountRefused || login.formerPassword.isEmpty())
            throw;
    }
    Connection::Login other = login;
    other.password = login.formerPassword;
    other.formerPassword.clear();
    MYSQL* m = openConnection(server, home, options, other, answered, sha2);
    former = true;
    return m;
}

} // namespace

struct Connection::Statement {
    MYSQL_STMT* stmt = nullptr;
    // Returns rows: prepared again with every execution, in its request.
    bool rows = false;
    ~Statement()
    {
        if (stmt)
            mysql_stmt_close(stmt);
    }
};

Connection::Connection(const ServerList& server, Database home) : Connection(server, home, Options{}) {}

Connection::Connection(const ServerList& server, Database home, Options options)
    : Connection(server, home, options, Login{})
{
}

Connection::Connection(const ServerList& server, Database home, Options options, const Login& login)
    : m_names(login.names),
      m_mysql(openWithEitherPassword(server, home, options, login, m_address, m_former, m_sha2))
{
}

Connection::~Connection()
{
    if (m_inTransaction)
        rollback();
    m_statements.clear();
    mysql_close(m_mysql);
}

void Connection::fail(unsigned number, const char* text, bool wasWrite)
{
    DbError e = callError(static_cast<int>(number), QString::fromUtf8(text).trimmed());
    if (e.isConnectionLoss()) {
        m_broken = true;
        // The server may have carried out a write sent outside a transaction
        // before the line broke; only a look at the rows can tell. A node
        // not ready for clients (1047) refused the statement unread.
        if (wasWrite && !m_inTransaction && number != ER_UNKNOWN_COM_ERROR)
            e.setOutcomeUnknown();
        m_inTransaction = false;
    }
    throw e;
}

Result Connection::exec(const QString& sql, const QVariantList& binds)
{
    if (m_broken)
        throw DbError(CR_SERVER_LOST, QStringLiteral("De verbinding met de server is verbroken."));
    return binds.isEmpty() ? direct(sql) : prepared(sql, binds);
}

QList<Result> Connection::execAll(const QString& sql, const QVariantList& binds)
{
    if (m_broken)
        throw DbError(CR_SERVER_LOST, QStringLiteral("De verbinding met de server is verbroken."));
    QList<Result> out;
    Result first = prepared(sql, binds, &out);
    out.prepend(std::move(first));
    return out;
}

Result Connection::direct(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(m_mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0)
        fail(mysql_errno(m_mysql), mysql_error(m_mysql), (!m_repeatable && mayWrite(sql)));
    MYSQL_RES* res = mysql_store_result(m_mysql);
    if (!res) {
        if (mysql_field_count(m_mysql) != 0)
            fail(mysql_errno(m_mysql), mysql_error(m_mysql), false);
        const quint64 affected = mysql_affected_rows(m_mysql);
        if (mysql_warning_count(m_mysql) > 0 && (!m_repeatable && mayWrite(sql)))
            refuseChangedValues();
        return Result(std::make_shared<Columns>(), {}, affected);
    }
    const unsigned n = mysql_num_fields(res);
    std::shared_ptr<const Columns> cols = columnsOf(mysql_fetch_fields(res), n);
    QList<QVariantList> rows;
    rows.reserve(static_cast<qsizetype>(mysql_num_rows(res)));
    while (MYSQL_ROW r = mysql_fetch_row(res)) {
        const unsigned long* lengths = mysql_fetch_lengths(res);
        QVariantList values;
        values.reserve(n);
        for (unsigned i = 0; i < n; ++i) {
            const Column& c = cols->list[static_cast<qsizetype>(i)];
            values << (r[i] ? fromText(c, r[i], lengths[i]) : QVariant(metaTypeOf(c)));
        }
        rows << std::move(values);
    }
    mysql_free_result(res);
    // A procedure's call: its status after the rows, or its error.
    while (mysql_more_results(m_mysql)) {
        const int next = mysql_next_result(m_mysql);
        if (next > 0)
            fail(mysql_errno(m_mysql), mysql_error(m_mysql), (!m_repeatable && mayWrite(sql)));
        if (next < 0)
            break;
        if (MYSQL_RES* more = mysql_store_result(m_mysql))
            mysql_free_result(more);
    }
    return Result(std::move(cols), std::move(rows), 0);
}

Result Connection::prepared(const QString& sql, const QVariantList& binds, QList<Result>* more)
{
    const bool write = (!m_repeatable && mayWrite(sql));
    ParamBuffers params;
    bindParams(params, binds);
    const QByteArray text = sql.toUtf8();

    std::shared_ptr<Statement> s = m_statements.value(sql);
    const bool fresh = !s;
    if (fresh) {
        s = std::make_shared<Statement>();
        s->stmt = mysql_stmt_init(m_mysql);
        if (!s->stmt)
            fail(mysql_errno(m_mysql), mysql_error(m_mysql), false);
        const my_bool maxLength = 0;
        mysql_stmt_attr_set(s->stmt, STMT_ATTR_UPDATE_MAX_LENGTH, &maxLength);
    }
    MYSQL_STMT* st = s->stmt;
    const bool prepare = fresh || s->rows;
    if (prepare) {
        // The count of values must be known before the statement is prepared
        // and executed in one request.
        unsigned int count = static_cast<unsigned int>(binds.size());
        mysql_stmt_attr_set(st, STMT_ATTR_PREBIND_PARAMS, &count);
    }
    if (mysql_stmt_bind_param(st, params.binds.data()) != 0)
        fail(mysql_stmt_errno(st), mysql_stmt_error(st), false);
    // Prepared and executed in one request (MariaDB; elsewhere the client
    // library sends the two one after the other); a kept statement is
    // executed again, one request each.
    const int rc = prepare
                       ? mariadb_stmt_execute_direct(st, text.constData(), static_cast<size_t>(text.size()))
                       : mysql_stmt_execute(st);
    if (rc != 0) {
        const unsigned number = mysql_stmt_errno(st);
        const std::string message = mysql_stmt_error(st);
        // A failed first use may have left the statement unprepared; a kept
        // one the server no longer knows (a table changed under it) is
        // prepared again once.
        if (!fresh && (number == ER_NEED_REPREPARE || number == ER_UNKNOWN_STMT_HANDLER)) {
            m_statements.remove(sql);
            return prepared(sql, binds, more);
        }
        fail(number, message.c_str(), write);
    }
    // A statement that returns rows is prepared again with each execution:
    // the client library keeps a statement's column names from its first
    // preparation, and a column the office renamed or moved since would be
    // read under another's name. Its handle is kept all the same, so that
    // closing the old statement goes in the same request.
    s->rows = mysql_stmt_field_count(st) > 0;
    if (fresh)
        m_statements.insert(sql, s);

    const quint64 affected = mysql_stmt_affected_rows(st);
    if (mysql_stmt_warning_count(st) > 0 && write)
        refuseChangedValues();
    const unsigned n = mysql_stmt_field_count(st);
    if (n == 0)
        return Result(std::make_shared<Columns>(), {}, affected == static_cast<quint64>(-1) ? 0 : affected);

    // A procedure's call answers with its result sets, then its status; an
    // error raised after the first set is the call's.
    Result first = rowsOf(st, n, sql, affected == static_cast<quint64>(-1) ? 0 : affected);
    while (mysql_stmt_more_results(st)) {
        const int next = mysql_stmt_next_result(st);
        if (next > 0)
            fail(mysql_stmt_errno(st), mysql_stmt_error(st), write);
        if (next < 0)
            break;
        const unsigned fields = mysql_stmt_field_count(st);
        if (fields == 0)
            continue;
        Result r = rowsOf(st, fields, sql, 0);
        if (more)
            more->append(std::move(r));
    }
    return first;
}

Result Connection::rowsOf(MYSQL_STMT* st, unsigned n, const QString& sql, quint64 affected)
{
    MYSQL_RES* meta = mysql_stmt_result_metadata(st);
    std::shared_ptr<const Columns> cols = columnsOf(mysql_fetch_fields(meta), n);
    mysql_free_result(meta);

    ResultBuffers out(*cols);
    if (mysql_stmt_bind_result(st, out.binds()) != 0 || mysql_stmt_store_result(st) != 0) {
        const unsigned number = mysql_stmt_errno(st);
        const std::string message = mysql_stmt_error(st);
        // Rows left unread would put the connection out of step with the
        // server: closing the statement reads them away.
        m_statements.remove(sql);
        fail(number, message.c_str(), false);
    }

    QList<QVariantList> rows;
    rows.reserve(static_cast<qsizetype>(mysql_stmt_num_rows(st)));
    for (;;) {
        const int fetched = mysql_stmt_fetch(st);
        if (fetched == MYSQL_NO_DATA)
            break;
        if (fetched == 1) {
            const unsigned number = mysql_stmt_errno(st);
            const std::string message = mysql_stmt_error(st);
            mysql_stmt_free_result(st);
            fail(number, message.c_str(), false);
        }
        rows << out.row(st);
    }
    mysql_stmt_free_result(st);
    return Result(std::move(cols), std::move(rows), affected);
}

namespace {

// Warnings of a write whose value the server stored other than it was sent:
// cut short, out of range, not a number, a character the column cannot hold,
// NULL made a default. A column left to its default (1364) is none of these.
bool changedValue(int code)
{
    switch (code) {
    case 1048: // column cannot be null
    case 1263: // NULL supplied to NOT NULL column
    case 1264: // out of range
    case 1265: // data truncated
    case 1292: // truncated incorrect value
    case 1300: // invalid character string
    case 1366: // incorrect value
    case 1406: // data too long
        return true;
    default:
        return false;
    }
}

} // namespace

void Connection::refuseChangedValues()
{
    Result warnings = direct(QStringLiteral("SHOW WARNINGS"));
    while (warnings.next()) {
        const int code = warnings.value(1).toInt();
        if (!changedValue(code))
            continue;
        const QString message = warnings.value(2).toString();
        static const QRegularExpression named(QStringLiteral("column '([^']*)'"));
        const QRegularExpressionMatch m = named.match(message);
        const QString column = m.hasMatch() ? m.captured(1) : QStringLiteral("?");
        throw DbError(code, QStringLiteral("De server zou de waarde voor kolom %1 veranderd opslaan (%2).")
                                .arg(column, message));
    }
}

void Connection::runScript(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(m_mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0)
        fail(mysql_errno(m_mysql), mysql_error(m_mysql), true);
    for (;;) {
        if (MYSQL_RES* res = mysql_store_result(m_mysql))
            mysql_free_result(res);
        const int more = mysql_next_result(m_mysql);
        if (more < 0)
            return;
        if (more > 0)
            fail(mysql_errno(m_mysql), mysql_error(m_mysql), true);
    }
}

namespace {

// A literal for a statement that takes no bound value: escaped by the client
// library for this connection's character set and quoting mode.
QByteArray quotedLiteral(MYSQL* m, const QString& text)
{
    const QByteArray value = text.toUtf8();
    QByteArray escaped(value.size() * 2 + 1, '\0');
    const unsigned long n = mysql_real_escape_string(m, escaped.data(), value.constData(),
                                                     static_cast<unsigned long>(value.size()));
    if (n == static_cast<unsigned long>(-1))
        throw DbError(ER_WRONG_STRING_LENGTH, QStringLiteral("Het wachtwoord kan niet worden verstuurd."));
    escaped.truncate(static_cast<qsizetype>(n));
    return '\'' + escaped + '\'';
}

} // namespace

void Connection::setOwnPassword(const QString& password)
{
    if (m_broken)
        throw DbError(CR_SERVER_LOST, QStringLiteral("De verbinding met de server is verbroken."));
    const auto send = [this](const QByteArray& sql) {
        return mysql_real_query(m_mysql, sql.constData(), static_cast<unsigned long>(sql.size())) == 0;
    };
    // The server's text may quote the statement, and with it the password.
    const auto refused = [this] {
        const unsigned number = mysql_errno(m_mysql);
        if (isLossNumber(number) || number == ER_NOT_VALID_PASSWORD)
            fail(number, mysql_error(m_mysql), true);
        throw DbError(static_cast<int>(number),
                      QStringLiteral("De server nam het nieuwe wachtwoord niet aan."));
    };
    const auto overTls = [this] {
        if (!mysql_get_ssl_cipher(m_mysql))
            throw DbError(
                ER_OPTION_PREVENTS_STATEMENT,
                QStringLiteral("De server controleert nieuwe wachtwoorden zelf en moet het daarvoor "
                               "kunnen lezen; dat gebeurt alleen over een versleutelde verbinding."));
    };
    // A MariaDB session whose password expired takes SET alone, not ALTER
    // USER; it takes the plugin's own verifier, computed here, so the
    // password never stands in the statement. MySQL 8 takes ALTER USER there
    // (it leaves the password out of its logs), over TLS only; which server
    // it is, is known from how it checked the account.
    if (m_sha2) {
        overTls();
        if (!send("ALTER USER USER() IDENTIFIED BY " + quotedLiteral(m_mysql, password)))
            refused();
        return;
    }
    if (send("SET PASSWORD = '" + ed25519Verifier(password).toLatin1() + '\''))
        return;
    // A server with a password check of its own refuses what it cannot read
    // (strict_password_validation): it needs the password itself. Any other
    // 1290 (a read-only server) is no reason to send it.
    if (mysql_errno(m_mysql) != ER_OPTION_PREVENTS_STATEMENT ||
        std::strstr(mysql_error(m_mysql), "strict-password-validation") == nullptr)
        refused();
    overTls();
    if (!send("SET PASSWORD = PASSWORD(" + quotedLiteral(m_mysql, password) + ')'))
        refused();
}

QString Connection::quoteIdentifier(const QString& name)
{
    // Office tables have columns such as `e-mail` and `geb.datum`: a
    // backtick inside is doubled, as the server does.
    if (name.isEmpty() || name.contains(QChar(0)))
        throw DbError(1103, QStringLiteral("Ongeldige naam: ") + name);
    QString quoted = name;
    quoted.replace(u'`', QStringLiteral("``"));
    return u'`' + quoted + u'`';
}

QString Connection::qualified(const TableRef& table, TableNames names)
{
    return quoteIdentifier(databaseName(table.db, names)) + u'.' + quoteIdentifier(table.name);
}

void Connection::begin()
{
    exec(QStringLiteral("START TRANSACTION"));
    m_inTransaction = true;
}

void Connection::commit()
{
    if (m_broken)
        throw DbError(CR_SERVER_LOST, QStringLiteral("De verbinding met de server is verbroken."));
    if (mysql_commit(m_mysql) != 0) {
        DbError e = callError(static_cast<int>(mysql_errno(m_mysql)),
                              QString::fromUtf8(mysql_error(m_mysql)).trimmed());
        m_inTransaction = false;
        if (e.isConnectionLoss()) {
            // The server may have committed before the line broke.
            m_broken = true;
            e.setOutcomeUnknown();
        }
        throw e;
    }
    m_inTransaction = false;
}

void Connection::rollback() noexcept
{
    m_inTransaction = false;
    if (!m_broken && mysql_rollback(m_mysql) != 0 && isLossNumber(mysql_errno(m_mysql)))
        m_broken = true;
}

} // namespace dl
