#include "login/loginservice.h"

#include "core/dates.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "login/passwordhash.h"

namespace dl {

QString greetingFor(const QTime& time)
{
    const int h = time.hour();
    if (h < 12)
        return QStringLiteral("Goede morgen         ");
    if (h < 18)
        return QStringLiteral("Goede middag         ");
    return QStringLiteral("Goede avond          ");
}

QString projectListEntry(const QString& code, const QString& description)
{
    return QString(code + QString(25, u' ')).left(25) + description;
}

QString storedConsultantName(const Row& c)
{
    return c.text(QStringLiteral("Titel1")) + c.text(QStringLiteral("voornaam")) + u' ' +
           c.text(QStringLiteral("tussenvoegsel")) + u' ' + c.text(QStringLiteral("naam"));
}

QString fullConsultantName(const Row& c)
{
    return c.text(QStringLiteral("Titel1")) + u' ' + c.text(QStringLiteral("voornaam")) + u' ' +
           c.text(QStringLiteral("tussenvoegsel")) + u' ' + c.text(QStringLiteral("naam"));
}

QString accountLockedText()
{
    return QStringLiteral("Uw account is geblokkeerd. Neem contact op met het kantoor.");
}

Connection::Login ownAccount(const QString& loginName, const QString& password)
{
    Connection::Login login;
    login.user = loginName;
    login.password = password;
    login.names = TableNames::OwnAccount;
    return login;
}

FailedAttempt failedAttempt(int attempts)
{
    // A database error also uses up an attempt, so the count can pass 3.
    if (attempts >= 3)
        return {QStringLiteral("Uw heeft 3 pogingen gedaan, het programma wordt beeindigd."), true};
    return {QStringLiteral("Uw inlog gegevens zijn niet gevonden en mag nog ") +
                QString::number(3 - attempts) + QStringLiteral(" keer proberen."),
            false};
}

namespace {

// Found by the login name alone, so the typed password never goes to the
// server; the first row in table order whose password matches wins.
// Read locked: the row stays as read until the online mark is written.
std::optional<Row> findConsultant(Records& records, const QString& loginName, const QString& password)
{
    std::optional<Row> found;
    records.visit(
        tables::consultants(), {Match{QStringLiteral("LOGIN"), loginName}},
        [&](const Row& r) {
            const QString column = QStringLiteral("PASWOORD");
            if (r.isNull(column) || !passwordMatches(r.text(column), password, loginName))
                return true;
            found = r;
            return false;
        },
        true);
    return found;
}

QString onlineStamp(const QDateTime& now)
{
    return fixedDateText(now.date()) + QStringLiteral("  ") + fixedTimeText(now.time());
}

ConsultantLogin loginOf(const Row& row, const QDateTime& now)
{
    ConsultantLogin out;
    out.number = row.text(QStringLiteral("consultantnummer"));
    out.consultantName = storedConsultantName(row);
    out.fullName = fullConsultantName(row);
    out.greeting = greetingFor(now.time());
    return out;
}

// The consultant's own account: one call marks the row and writes the
// login record, and answers the own row and projects.
std::optional<ConsultantLogin> logInByCall(Connection& c, const Clock& clock, const Values& record,
                                           bool& consultantsRead)
{
    const auto value = [&](QStringView column) {
        for (const auto& [name, v] : record) {
            if (name == column)
                return v.toString();
        }
        return QString();
    };
    const QDateTime now = clock.now();
    QList<Result> sets =
        callResults(c, "aanmelden",
                    {onlineStamp(now), value(u"DATUMTIJD"), value(u"PCnaam"), value(u"NETWERKkaart"),
                     value(u"NETWERKadres"), value(u"MBmerk"), value(u"MBtype"), value(u"Afdrukapparaat")});
    consultantsRead = true;
    if (sets.size() != 2 || !sets[0].next())
        return std::nullopt;
    ConsultantLogin out = loginOf(sets[0].row(), now);
    Result& projects = sets[1];
    while (projects.next()) {
        const QString code = projects.row().text(QStringLiteral("Projectcode"));
        if (code.left(4) == out.number)
            out.projectEntries << projectListEntry(
                code, projects.row().text(QStringLiteral("ProjectOmschrijving")));
    }
    return out;
}

std::optional<ConsultantLogin> logInOnce(Connection& c, const Clock& clock, const QString& loginName,
                                         const QString& password, const LoginService::AlsoWrite& alsoWrite,
                                         bool& consultantsRead)
{
    Records records(c);
    // Online without a login record (or the other way round) would be a
    // login that half happened.
    Transaction tx(c);
    const std::optional<Row> row = findConsultant(records, loginName, password);
    consultantsRead = true;
    if (!row)
        return std::nullopt;

    const QDateTime now = clock.now();
    ConsultantLogin out = loginOf(*row, now);

    // The consultant's projects: the first four characters of the code are
    // the consultant's number, so "42" never sees the projects of "4211".
    records.visit(
        tables::projects(), {Match{QStringLiteral("Projectcode"), out.number, true}}, [&](const Row& p) {
            const QString code = p.text(QStringLiteral("Projectcode"));
            if (code.left(4) == out.number)
                out.projectEntries << projectListEntry(code, p.text(QStringLiteral("ProjectOmschrijving")));
            return true;
        });

    const QString stamp = onlineStamp(now);
    records.update(
        tables::consultants(), *row,
        {{QStringLiteral("isAANGEMELD"), stamp}, {QStringLiteral("isONLINE"), QStringLiteral("ONLINE")}},
        Records::Lock::HeldByCaller);
    if (alsoWrite)
        alsoWrite(c, out);
    tx.commit();
    return out;
}

} // namespace

std::optional<ConsultantLogin> LoginService::logIn(const QString& loginName, const QString& password,
                                                   const AlsoWrite& alsoWrite, const Values& ownRecord)
{
    // Another workstation that logs the same consultant in or out between our
    // read and our write changes the row (1020); the later login then simply
    // reads the row again and writes over it. On a cluster the same race
    // ends in a failed certification (1213): tried again the same way.
    QElapsedTimer since;
    since.start();
    for (int attempt = 1;; ++attempt) {
        bool consultantsRead = false;
        try {
            return m_db.run([&](Connection& c) {
                if (actsThroughProcedures(c))
                    return logInByCall(c, m_clock, ownRecord, consultantsRead);
                return logInOnce(c, m_clock, loginName, password, alsoWrite, consultantsRead);
            });
        } catch (const DbError& e) {
            // The program's shared account may no longer read the consultants
            // (nor enter their database): the office switched.
            if (!consultantsRead && m_db.login().names == TableNames::Shared && isSwitchedAway(e))
                throw SharedAccountSwitched(e);
            if (e.number() == 1020 ? attempt >= kRowChangedAttempts
                                   : !mayRetry(e, attempt, kRowChangedAttempts, since))
                throw;
        }
    }
}

} // namespace dl
