#include "bench/baseline.h"

#include "bench/tablenames.h"
#include "data/connection.h"

#include <functional>

namespace dl::bench {

using namespace names;

namespace {

// One "select * from" over the whole table. `match` sees each row until it
// returns true; that row's id and all its texts are kept. The rest of the
// rows are read all the same, as the driver's result set holds them all.
struct Walk {
    qint64 id = 0;
    QStringList texts;
    bool found() const { return id != 0; }
};

Walk walk(Connection& c, const QString& table, const QStringList& compared,
          const std::function<bool(const QStringList&)>& match)
{
    Result q = c.exec(QStringLiteral("select * from ") + table);
    const Columns& shape = *q.columns();
    QList<int> idx;
    for (const QString& col : compared)
        idx << shape.indexOf(col);
    const int idCol = shape.indexOf(QStringLiteral("id"));
    Walk out;
    QStringList values(compared.size());
    while (q.next()) {
        if (out.found())
            continue;
        for (qsizetype i = 0; i < idx.size(); ++i)
            values[i] = q.value(idx[i]).toString();
        if (!match(values))
            continue;
        out.id = q.value(idCol).toLongLong();
        for (int i = 0; i < shape.count(); ++i)
            out.texts << q.value(i).toString();
    }
    return out;
}

Walk walkEqual(Connection& c, const QString& table, const QString& column, const QString& value)
{
    return walk(c, table, {column}, [&](const QStringList& v) { return v[0] == value; });
}

QString stamp()
{
    return QStringLiteral("03-16-2009  10:15:00");
}

void writeReport(Connection& c, const Workload& wl, const QString& key, const QString& done)
{
    const Walk w = walkEqual(c, kReports, QStringLiteral("Projectnaam"), key);
    QStringList cols{QStringLiteral("`afgewerkt`"), QStringLiteral("`Projectnaam`")};
    QVariantList binds{done, key};
    for (qsizetype i = 0; i < wl.reportColumns.size(); ++i) {
        cols << Connection::quoteIdentifier(wl.reportColumns[i]);
        binds << wl.reportValues[i];
    }
    if (w.found()) {
        binds << w.id;
        c.exec(QStringLiteral("UPDATE ") + kReports + QStringLiteral(" SET ") +
                   cols.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ? WHERE id = ?"),
               binds);
    } else {
        c.exec(QStringLiteral("INSERT INTO ") + kReports + QStringLiteral(" (") + cols.join(u',') +
                   QStringLiteral(") VALUES (") + QStringList(cols.size(), QStringLiteral("?")).join(u',') +
                   u')',
               binds);
    }
}

// The 28 columns of a declaration, as the program writes them.
QList<QPair<QString, QVariant>> declarationValues(const QString& key)
{
    const QString year = key.left(4);
    const QString month = key.mid(5, 2);
    const QString consultant = key.mid(8, 4);
    QList<QPair<QString, QVariant>> v{
        {QStringLiteral("factuurnummer"),
         QString(year.right(2) + month + consultant + QStringLiteral("100010000"))},
        {QStringLiteral("consultant"), consultant},
        {QStringLiteral("Consultantnaam"), QStringLiteral("Ir.Anna de Vries")},
        {QStringLiteral("Opdrachtgever"), QStringLiteral("10001")},
        {QStringLiteral("Opdrachtgevernaam"), QStringLiteral("Gemeente Haven Bos")},
        {QStringLiteral("Jaar"), year},
        {QStringLiteral("maand"), month},
        {QStringLiteral("DECdatum"), QStringLiteral("16-maart-2009  10:15:00")},
        {QStringLiteral("Projectnaam"), QStringLiteral("Havenkade Noord")},
        {QStringLiteral("uren"), QStringLiteral("152")},
        {QStringLiteral("peruurIN"), 65},
        {QStringLiteral("peruurUIT"), 95}};
    for (const char16_t* col : {u"urentotaal", u"kilometers", u"perKM", u"totaalkostenKM", u"onkosten",
                                u"kostenomschrijving", u"subtotaal", u"BTW", u"totaal", u"opmerking",
                                u"urentotaaluit", u"subtotaaluit", u"BTWuit", u"totaaluit"})
        v.append({QString::fromUtf16(col), QStringLiteral("1.234,50")});
    v.append({QStringLiteral("IsbetaaldConsultant"), QStringLiteral("nee")});
    v.append({QStringLiteral("IsbetaaldOpdrachtgever"), QStringLiteral("nee")});
    return v;
}

} // namespace

int baselineLogin(const Workload& w, const Person& p)
{
    Connection c(w.server);
    const Walk who = walk(c, kConsultants, {QStringLiteral("LOGIN"), QStringLiteral("PASWOORD")},
                          [&](const QStringList& v) { return v[0] == p.login && v[1] == p.password; });
    if (!who.found())
        return -1;
    c.exec(QStringLiteral("UPDATE ") + kConsultants +
               QStringLiteral(" SET isAANGEMELD = ?, isONLINE = ? WHERE id = ?"),
           {stamp(), QStringLiteral("ONLINE"), who.id});
    int listed = 0;
    walk(c, kProjects, {QStringLiteral("Projectcode")}, [&](const QStringList& v) {
        if (v[0].left(4) == p.number)
            ++listed;
        return false;
    });
    // The login record is appended to the table as opened: all its rows.
    walk(c, kLogins, {}, [](const QStringList&) { return false; });
    c.exec(QStringLiteral("INSERT INTO ") + kLogins +
               QStringLiteral(" (DATUMTIJD, PCnaam, LOGINnaam, NETWERKkaart, NETWERKadres, MBmerk, MBtype, "
                              "Afdrukapparaat) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
           {QStringLiteral("2009/03/16   10:15:00"), QStringLiteral("bench"), QStringLiteral("bench"),
            QStringLiteral("Intel(R) PRO/1000 MT Network Connection"), QStringLiteral("00:1A:4B:00:00:01"),
            QStringLiteral("ASUSTeK Computer INC."), QStringLiteral("P5K-VM"),
            QStringLiteral("HP LaserJet 1020")});
    return listed;
}

int baselineChooseProject(const Workload& w, const ProjectPick& p)
{
    const QString code = p.entry.left(p.entry.indexOf(QStringLiteral("  ")));
    Connection c(w.server);
    const Walk project = walkEqual(c, kProjects, QStringLiteral("Projectcode"), code);
    if (!project.found())
        return 0;
    const Walk client = walkEqual(c, kClients, QStringLiteral("opdrachtgevernummer"), p.clientNumber);
    return client.found() ? 1 : 0;
}

int baselineOpenMonth(const Workload& w, const QString& key)
{
    Connection c(w.server, Database::Reports);
    const Walk found =
        walk(c, kReports, {QStringLiteral("Projectnaam"), QStringLiteral("afgewerkt")},
             [&](const QStringList& v) { return v[0] == key && (v[1] == u"nee" || v[1] == u"ja"); });
    return found.found() ? int(found.texts.size()) - 3 : 0;
}

int baselineSave(const Workload& w, const QString& key)
{
    Connection c(w.server, Database::Reports);
    writeReport(c, w, key, QStringLiteral("nee"));
    return 1;
}

int baselineDeclare(const Workload& w, const QString& key)
{
    Connection c(w.server, Database::Reports);
    writeReport(c, w, key, QStringLiteral("ja"));
    Connection d(w.server, Database::Declarations);
    walk(d, kDeclarations, {}, [](const QStringList&) { return false; });
    QStringList cols;
    QVariantList binds;
    for (const auto& [col, val] : declarationValues(key)) {
        cols << Connection::quoteIdentifier(col);
        binds << val;
    }
    d.exec(QStringLiteral("INSERT INTO ") + kDeclarations + QStringLiteral(" (") + cols.join(u',') +
               QStringLiteral(") VALUES (") + QStringList(cols.size(), QStringLiteral("?")).join(u',') + u')',
           binds);
    return 1;
}

int baselineLastDeclaration(const Workload& w, const check::DeclarationKey& key)
{
    // The whole table, keeping the latest earlier month of the same three texts.
    Connection c(w.server, Database::Declarations);
    QString best;
    walk(c, kDeclarations,
         {QStringLiteral("consultant"), QStringLiteral("Opdrachtgever"), QStringLiteral("Projectnaam"),
          QStringLiteral("Jaar"), QStringLiteral("maand")},
         [&](const QStringList& v) {
             const QString month = v[3] + v[4];
             if (v[0] == key.consultant && v[1] == key.client && v[2] == key.project &&
                 month < key.year + key.month && month > best)
                 best = month;
             return false;
         });
    return best.isEmpty() ? 0 : 1;
}

int baselineTicker(const Workload& w)
{
    Connection c(w.server);
    bool first = true;
    const Walk found = walk(c, kMessages, {QStringLiteral("Bericht")}, [&](const QStringList&) {
        const bool take = first;
        first = false;
        return take;
    });
    return found.found() ? int(found.texts.value(1).size()) : 0;
}

int baselineLogoff(const Workload& w, const Person& p)
{
    Connection c(w.server);
    const Walk who = walkEqual(c, kConsultants, QStringLiteral("consultantnummer"), p.number);
    if (!who.found())
        return 0;
    c.exec(QStringLiteral("UPDATE ") + kConsultants +
               QStringLiteral(" SET isAFGEMELD = ?, isONLINE = ? WHERE id = ?"),
           {stamp(), QStringLiteral("OFFLINE"), who.id});
    return 1;
}

} // namespace dl::bench
