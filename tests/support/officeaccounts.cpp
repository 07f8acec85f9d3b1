#include "officeaccounts.h"

#include "testdb.h"

#include <QDebug>
#include <QProcess>

namespace dl::test {

QString schemaFile(const char* name)
{
    return QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/schema/") + QLatin1String(name);
}

bool officeRuns(const char* name)
{
    QProcess p;
    p.start(QStringLiteral(DL_SOURCE_DIR) + QStringLiteral("/scripts/dbserver.sh"),
            {QStringLiteral("sql"), QStringLiteral(DL_TESTDB_DIR), schemaFile(name)});
    p.waitForFinished(120000);
    if (p.exitCode() != 0)
        qWarning().noquote() << name << p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool setUpOwnAccounts()
{
    for (const char* f : {"upgrade.sql", "upgrade_accounts.sql", "upgrade_accounts_existing.sql"}) {
        if (!officeRuns(f))
            return false;
    }
    // The accounts were made expired; the consultants chose these since.
    TestDb::exec(u"ALTER USER 'anna'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('geheim');"
                 "ALTER USER 'bram'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('welkom');"_qs);
    return officeRuns("switch_shared_account.sql");
}

void removeOwnAccounts()
{
    TestDb::exec(
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
    TestDb::runFile(schemaFile("05_rechten.sql"));
    TestDb::loadDemo();
}

} // namespace dl::test
