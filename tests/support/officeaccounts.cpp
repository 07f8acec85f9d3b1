#include "officeaccounts.h"

#include "testdb.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

#include <stdexcept>

namespace dl::test {

QString schemaFile(const char* name)
{
    return QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/") + QLatin1String(name);
}

OfficeServer testServer()
{
    return {QStringLiteral(DL_SOURCE_DIR "/scripts/dbserver.sh"),
            {QStringLiteral("sql"), QStringLiteral(DL_TESTDB_DIR)},
            [](const QString& sql) { TestDb::exec(sql); },
            [] { TestDb::loadDemo(); }};
}

namespace {

// What the server was doing when a script did not finish: who waits on whom.
void tellWhatWaits(const OfficeServer& server)
{
    QTemporaryFile sql;
    if (!sql.open())
        return;
    sql.write("SELECT ID, USER, COMMAND, TIME, STATE, LEFT(INFO, 120) FROM information_schema.PROCESSLIST "
              "WHERE COMMAND <> 'Sleep' OR TIME > 5;\n"
              "SHOW STATUS WHERE Variable_name IN ('wsrep_local_state_comment', 'wsrep_cluster_size', "
              "'wsrep_flow_control_paused', 'wsrep_local_recv_queue');\n");
    sql.close();
    QProcess p;
    p.start(server.script, server.arguments + QStringList{sql.fileName()});
    if (!p.waitForFinished(20000))
        p.kill();
    qWarning().noquote() << "on the server:" << p.readAllStandardOutput() << p.readAllStandardError();
}

} // namespace

bool officeRuns(const char* name, const OfficeServer& server)
{
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(server.script, server.arguments + QStringList{schemaFile(name)});
    // A run still going is no success: it is stopped and told.
    if (!p.waitForFinished(120000)) {
        qWarning().noquote() << name << "did not finish within 120 s" << p.readAllStandardError();
        tellWhatWaits(server);
        p.kill();
        p.waitForFinished(5000);
        return false;
    }
    if (clock.elapsed() > 10000)
        qInfo().noquote() << name << "took" << clock.elapsed() << "ms";
    if (p.exitCode() != 0)
        qWarning().noquote() << name << p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool setUpOwnAccounts(const OfficeServer& server)
{
    // The private test servers offer no TLS (the TLS tests' own server does).
    server.exec(QStringLiteral("BEGIN NOT ATOMIC IF @@have_ssl <> 'YES' THEN "
                               "CREATE DATABASE IF NOT EXISTS torvakdb_TORVAKbeheer; "
                               "CREATE TABLE IF NOT EXISTS torvakdb_TORVAKbeheer.zonder_tls "
                               "(sinds TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP); END IF; END"));
    for (const char* f : {"upgrade.sql", "upgrade_accounts.sql", "upgrade_accounts_existing.sql"}) {
        if (!officeRuns(f, server))
            return false;
    }
    // The accounts were made expired; the consultants chose these since.
    server.exec(u"ALTER USER 'anna'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('geheim');"
                "ALTER USER 'bram'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('welkom');"_qs);
    return officeRuns("switch_shared_account.sql", server);
}

void removeOwnAccounts(const OfficeServer& server)
{
    server.exec(
        u"DROP USER IF EXISTS 'anna'@'%', 'bram'@'%', 'Bram'@'%', 'bram@x'@'%', 'carla'@'%', 'eva'@'%', "
        u"''@'%', "
        "'torvakdb_eigenaar'@'localhost';"
        "DROP ROLE IF EXISTS torvakdb_consultant;"
        "DROP TRIGGER IF EXISTS torvakdb_TORVAKraporten.torvakdb_eigen_raport_gedeclareerd;"
        "DROP TRIGGER IF EXISTS torvakdb_TORVAKraporten.torvakdb_eigen_slot;"
        "DROP TRIGGER IF EXISTS torvakdb_TORVAKdeclaraties.torvakdb_eigen_declaratie_onbetaald;"
        "ALTER TABLE torvakdb_TORVAKraporten.Raporten DROP INDEX IF EXISTS ix_eigenaar_projectnaam, "
        "DROP COLUMN IF EXISTS eigenaar;"
        "ALTER TABLE torvakdb_TORVAKraporten.Sloten DROP INDEX IF EXISTS ix_eigenaar, DROP COLUMN IF EXISTS "
        "eigenaar;"
        "ALTER TABLE torvakdb_TORVAKdata.KALMIRO_projecten DROP INDEX IF EXISTS ix_eigenaar, "
        "DROP COLUMN IF EXISTS eigenaar;"
        "DROP DATABASE IF EXISTS torvakdb_TORVAKeigen; DROP DATABASE IF EXISTS torvakdb_TORVAKbeheer;"
        "ALTER USER 'torvakdb'@'%' WITH MAX_USER_CONNECTIONS 0 MAX_STATEMENT_TIME 0 ACCOUNT UNLOCK;"
        "ALTER USER 'torvakdb'@'localhost' WITH MAX_USER_CONNECTIONS 0 MAX_STATEMENT_TIME 0 ACCOUNT UNLOCK;"_qs);
    if (!officeRuns("05_rechten.sql", server))
        throw std::runtime_error("05_rechten.sql failed");
    server.loadDemo();
}

} // namespace dl::test
