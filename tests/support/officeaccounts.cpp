#include "officeaccounts.h"

#include "testdb.h"

#include <QDebug>
#include <QFile>
#include <QProcess>

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

bool officeRuns(const char* name, const OfficeServer& server)
{
    QProcess p;
    p.start(server.script, server.arguments + QStringList{schemaFile(name)});
    p.waitForFinished(120000);
    if (p.exitCode() != 0)
        qWarning().noquote() << name << p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool setUpOwnAccounts(const OfficeServer& server)
{
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
        "ALTER USER 'torvakdb'@'%' WITH MAX_USER_CONNECTIONS 0 MAX_STATEMENT_TIME 0;"
        "ALTER USER 'torvakdb'@'localhost' WITH MAX_USER_CONNECTIONS 0 MAX_STATEMENT_TIME 0;"_qs);
    if (!officeRuns("05_rechten.sql", server))
        throw std::runtime_error("05_rechten.sql failed");
    server.loadDemo();
}

} // namespace dl::test
