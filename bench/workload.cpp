#include "bench/workload.h"

#include "bench/tablenames.h"
#include "data/connection.h"

#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <optional>

namespace dl::bench {

using namespace names;

namespace {

qint64 scalar(Connection& c, const QString& sql, const QVariantList& binds = {})
{
    Result q = c.exec(sql, binds);
    return q.next() ? q.value(0).toLongLong() : 0;
}

// The first row at or after a random id that satisfies `cond`.
Row randomRow(Connection& c, QRandomGenerator& rng, const QString& table, qint64 top, const QString& cols,
              const QString& cond = QString())
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const qint64 id = 1 + qint64(rng.bounded(quint64(top)));
        Result q = c.exec(QStringLiteral("SELECT ") + cols + QStringLiteral(" FROM ") + table +
                              QStringLiteral(" WHERE id >= ?") +
                              (cond.isEmpty() ? QString() : QStringLiteral(" AND ") + cond) +
                              QStringLiteral(" ORDER BY id LIMIT 1"),
                          {id});
        if (q.next())
            return q.row();
    }
    throw DbError(0, QStringLiteral("no sample row in ") + table);
}

QString twoDigits(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QChar(u'0'));
}

// As the office numbers a declaration: yymm, consultant, client, project.
QString invoiceNumber(const QString& year, int month, const QString& consultant, const QString& client,
                      const QString& number)
{
    return year.right(2) + twoDigits(month) + consultant + client +
           QString(QStringLiteral("0000") + number).right(4);
}

QString marks(qsizetype n)
{
    return QStringList(n, QStringLiteral("?")).join(QStringLiteral(", "));
}

// The consultant's year with the most stored months and declarations of the
// projects the login lists, among the years of their planned periods; none
// when no year has both.
std::optional<YearPick> yearOf(Connection& c, const Person& person)
{
    struct Listed {
        QString code, client, number;
    };
    QList<Listed> listed;
    QSet<QString> codes;
    int first = 0;
    int last = 0;
    Result q =
        c.exec(QStringLiteral("SELECT Projectcode, opdrachtgevernummer, nummer, TijdsplanningDATUMvan, "
                              "TijdsplanningDATUMtm FROM ") +
                   kProjects + QStringLiteral(" WHERE Projectcode LIKE ? ORDER BY id"),
               {QString(person.number + u'%')});
    while (q.next()) {
        const QString code = q.value(0).toString();
        if (code.left(4) != person.number || codes.contains(code))
            continue;
        codes.insert(code);
        listed.append({code, q.value(1).toString(), q.value(2).toString()});
        const int from = q.value(3).toString().left(4).toInt();
        const int to = q.value(4).toString().left(4).toInt();
        first = first == 0 ? from : std::min(first, from);
        last = std::max(last, to);
    }
    std::optional<YearPick> best;
    for (int y = first; y > 0 && y <= last; ++y) {
        const QString year = QString::number(y);
        QVariantList keys;
        QVariantList invoices;
        for (const Listed& p : std::as_const(listed))
            for (int m = 1; m <= 12; ++m) {
                keys << QString(year + u'_' + twoDigits(m) + u'_' + p.code);
                invoices << invoiceNumber(year, m, person.number, p.client, p.number);
            }
        const int months =
            int(scalar(c,
                       QStringLiteral("SELECT COUNT(DISTINCT Projectnaam) FROM ") + kReports +
                           QStringLiteral(" WHERE afgewerkt IN ('nee', 'ja') AND Projectnaam IN (") +
                           marks(keys.size()) + u')',
                       keys));
        const int declared =
            int(scalar(c,
                       QStringLiteral("SELECT COUNT(DISTINCT factuurnummer) FROM ") + kDeclarations +
                           QStringLiteral(" WHERE factuurnummer IN (") + marks(invoices.size()) + u')',
                       invoices));
        if (months > 0 && declared > 0 && (!best || months + declared > best->months + best->declarations)) {
            YearPick pick{person.number, year, {}, months, declared};
            for (const Listed& p : std::as_const(listed))
                pick.codes << p.code;
            best = pick;
        }
    }
    return best;
}

} // namespace

KeyParts splitKey(const QString& key)
{
    return {key.left(4), key.mid(5, 2).toInt(), key.mid(8)};
}

qint64 Workload::rows(const QString& table) const
{
    for (const TableSize& t : sizes)
        if (t.table == table)
            return t.rows;
    return 0;
}

const Person& Workload::owner(const QString& number) const
{
    const auto it = owners.constFind(number);
    if (it == owners.constEnd())
        throw DbError(0, QStringLiteral("no consultant picked with number ") + number);
    return *it;
}

qint64 topId(const ServerAddress& server, const QString& qualifiedTable)
{
    Connection c(server);
    return scalar(c, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM ") + qualifiedTable);
}

Workload pickWorkload(const QString& scale, const ServerAddress& server, int count)
{
    Workload w;
    w.scale = scale;
    w.server = server;
    Connection c(server);
    const QList<QPair<QString, QString>> tables{{QStringLiteral("KALMIRO_consultants"), kConsultants},
                                                {QStringLiteral("KALMIRO_projecten"), kProjects},
                                                {QStringLiteral("KALMIRO_opdrachtgevers"), kClients},
                                                {QStringLiteral("KALMIRO_berichten"), kMessages},
                                                {QStringLiteral("LOGINconsultant"), kLogins},
                                                {QStringLiteral("Raporten"), kReports},
                                                {QStringLiteral("Declaraties"), kDeclarations}};
    for (const auto& [name, qualified] : tables)
        w.sizes.append({name, scalar(c, QStringLiteral("SELECT COUNT(*) FROM ") + qualified)});

    QRandomGenerator rng(20260701u);
    const qint64 projectsTop = scalar(c, QStringLiteral("SELECT MAX(id) FROM ") + kProjects);
    QSet<QString> seen;
    while (w.projects.size() < count) {
        const Row r = randomRow(c, rng, kProjects, projectsTop,
                                QStringLiteral("Projectcode, ProjectOmschrijving, opdrachtgevernummer, "
                                               "TijdsplanningDATUMvan"));
        const QString code = r.value(0).toString();
        if (seen.contains(code))
            continue;
        seen.insert(code);
        w.projects.append({code, QString(code + QString(25, u' ')).left(25) + r.value(1).toString(),
                           r.value(2).toString(), r.value(3).toString()});
        Result q = c.exec(QStringLiteral("SELECT LOGIN, PASWOORD, consultantnummer FROM ") + kConsultants +
                              QStringLiteral(" WHERE consultantnummer = ? ORDER BY id LIMIT 1"),
                          {code.left(4)});
        if (q.next())
            w.people.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    }

    // Open reports ("nee"). Every declaration needs a row of its own with an
    // invoice number no declaration carries yet; opening and saving over leave
    // a row open, so they may share rows, and on a small table repeat them.
    const qint64 reportsTop = scalar(c, QStringLiteral("SELECT MAX(id) FROM ") + kReports);
    seen.clear();
    QStringList rest;
    for (int attempt = 0; attempt < 40 * count && (w.declareKeys.size() < count || rest.size() < 2 * count);
         ++attempt) {
        const QString key = randomRow(c, rng, kReports, reportsTop, QStringLiteral("Projectnaam"),
                                      QStringLiteral("afgewerkt = 'nee'"))
                                .value(0)
                                .toString();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (w.declareKeys.size() >= count) {
            rest << key;
            continue;
        }
        const KeyParts k = splitKey(key);
        Result p = c.exec(QStringLiteral("SELECT opdrachtgevernummer, nummer FROM ") + kProjects +
                              QStringLiteral(" WHERE Projectcode = ? ORDER BY id LIMIT 1"),
                          {k.code});
        if (!p.next())
            continue;
        const QString invoice =
            invoiceNumber(k.year, k.month, k.code.left(4), p.value(0).toString(), p.value(1).toString());
        if (scalar(c,
                   QStringLiteral("SELECT COUNT(*) FROM ") + kDeclarations +
                       QStringLiteral(" WHERE factuurnummer = ?"),
                   {invoice}) == 0)
            w.declareKeys << key;
        else
            rest << key;
    }
    if (w.declareKeys.size() < count || rest.isEmpty())
        throw DbError(0, QStringLiteral("too few open reports for %1 samples").arg(count));
    for (int i = 0; i < count; ++i) {
        w.storedKeys << rest[i % rest.size()];
        w.saveKeys << rest[(i + count) % rest.size()];
    }

    // Months after the project's start that no report has yet.
    const auto monthAfterStart = [](const ProjectPick& p, int offset) -> QString {
        const int months = p.start.left(4).toInt() * 12 + p.start.mid(5, 2).toInt() - 1 + offset;
        return QStringLiteral("%1_%2_").arg(months / 12).arg(months % 12 + 1, 2, 10, QChar(u'0')) + p.code;
    };
    for (int i = 0; i < count; ++i) {
        const ProjectPick& p = w.projects[i];
        w.missingKeys << monthAfterStart(p, 4 + i % 4);
        w.appendKeys << monthAfterStart(p, 8 + i % 4);
        w.oldAppendKeys << monthAfterStart(p, 12 + i % 4);
    }
    for (const QStringList* keys : {&w.missingKeys, &w.appendKeys, &w.oldAppendKeys}) {
        for (const QString& key : *keys) {
            if (scalar(c,
                       QStringLiteral("SELECT COUNT(*) FROM ") + kReports +
                           QStringLiteral(" WHERE Projectnaam = ?"),
                       {key}))
                throw DbError(0, QStringLiteral("month meant to be new is stored: ") + key);
        }
    }

    const qint64 declarationsTop = scalar(c, QStringLiteral("SELECT MAX(id) FROM ") + kDeclarations);
    while (w.earlierKeys.size() < count) {
        const Row r = randomRow(c, rng, kDeclarations, declarationsTop,
                                QStringLiteral("consultant, Opdrachtgever, Projectnaam, Jaar, maand"));
        const int next = r.value(3).toInt() * 12 + r.value(4).toInt(); // the month after, counted from 0
        w.earlierKeys.append({r.value(0).toString(), r.value(1).toString(), r.value(2).toString(),
                              QString::number(next / 12),
                              QStringLiteral("%1").arg(next % 12 + 1, 2, 10, QChar(u'0'))});
    }

    // A year of each consultant picked, where one has both.
    QSet<QString> asked;
    for (const Person& person : std::as_const(w.people)) {
        if (w.years.size() >= count)
            break;
        if (asked.contains(person.number))
            continue;
        asked.insert(person.number);
        if (const std::optional<YearPick> pick = yearOf(c, person))
            w.years << *pick;
    }
    if (w.years.isEmpty())
        throw DbError(0, QStringLiteral("no consultant's year holds both stored months and declarations"));

    QSet<QString> numbers;
    for (const Person& p : std::as_const(w.people))
        w.owners.insert(p.number, p);
    for (const ProjectPick& p : std::as_const(w.projects))
        numbers << p.code.left(4);
    for (const QStringList* keys :
         {&w.storedKeys, &w.missingKeys, &w.saveKeys, &w.appendKeys, &w.oldAppendKeys, &w.declareKeys})
        for (const QString& key : *keys)
            numbers << splitKey(key).code.left(4);
    for (const check::DeclarationKey& k : std::as_const(w.earlierKeys))
        numbers << k.consultant;
    for (const QString& number : std::as_const(numbers)) {
        if (w.owners.contains(number))
            continue;
        Result o = c.exec(QStringLiteral("SELECT LOGIN, PASWOORD FROM ") + kConsultants +
                              QStringLiteral(" WHERE consultantnummer = ? ORDER BY id LIMIT 1"),
                          {number});
        if (o.next())
            w.owners.insert(number, {o.value(0).toString(), o.value(1).toString(), number});
    }

    Result q = c.exec(QStringLiteral("SELECT * FROM ") + kReports + QStringLiteral(" WHERE Projectnaam = ?"),
                      {w.storedKeys.first()});
    if (!q.next())
        throw DbError(0, QStringLiteral("stored report vanished"));
    const Row r = q.row();
    for (int i = 0; i < r.count(); ++i) {
        const QString col = r.columns()[i];
        if (col == u"id" || col == u"Projectnaam" || col == u"afgewerkt")
            continue;
        w.reportColumns << col;
        w.reportValues << r.value(i).toString();
    }
    return w;
}

void warmIndexes(const ServerAddress& server)
{
    Connection c(server);
    const QList<QPair<QString, QString>> indexes{
        {kConsultants, QStringLiteral("ix_login")},
        {kConsultants, QStringLiteral("ix_consultantnummer")},
        {kProjects, QStringLiteral("ix_projectcode")},
        {kClients, QStringLiteral("ix_opdrachtgevernummer")},
        {kReports, QStringLiteral("ix_projectnaam")},
        {kDeclarations, QStringLiteral("ix_factuurnummer")},
        {kDeclarations, QStringLiteral("ix_consultant_opdrachtgever_jaar_maand")},
        {kMessages, QStringLiteral("PRIMARY")}};
    for (const auto& [table, index] : indexes)
        scalar(c, QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" FORCE INDEX (`") +
                      index + QStringLiteral("`)"));
}

void restoreTables(const Workload& w, qint64 reportsTop, qint64 declarationsTop, qint64 loginsTop)
{
    // The program's account may not delete rows: the administrator does.
    Connection::Login root;
    root.user = QStringLiteral("root");
    root.password = QString();
    root.socket = w.adminSocket;
    root.sessionSettings = false;
    Connection c(w.server, Database::Data, Connection::Options{}, root);
    c.exec(QStringLiteral("DELETE FROM ") + kReports + QStringLiteral(" WHERE id > ?"), {reportsTop});
    c.exec(QStringLiteral("DELETE FROM ") + kDeclarations + QStringLiteral(" WHERE id > ?"),
           {declarationsTop});
    c.exec(QStringLiteral("DELETE FROM ") + kLogins + QStringLiteral(" WHERE id > ?"), {loginsTop});
    for (const QString& key : w.declareKeys)
        c.exec(QStringLiteral("UPDATE ") + kReports +
                   QStringLiteral(" SET afgewerkt = 'nee' WHERE Projectnaam = ?"),
               {key});
}

} // namespace dl::bench
