#include "declaration/tickertext.h"

#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"

namespace dl {

QColor tickerColour(const QString& message)
{
    if (message.startsWith(u"BELANGRIJK:"))
        return QColor(0xFF, 0x00, 0x00);
    if (message.startsWith(u"OPMERKING:"))
        return QColor(0x00, 0x00, 0xFF);
    return QColor(0x00, 0x80, 0x00);
}

double tickerStepPixels(double logicalDpiX)
{
    return 25.0 / 1440.0 * logicalDpiX;
}

double nextTickerLeft(double left, double step, double textWidth, double stripWidth)
{
    left -= step;
    if (-textWidth > left)
        left = stripWidth;
    return left;
}

std::shared_ptr<KeptConnection> tickerConnection(const ServerList& server, Connection::Options options,
                                                 Connection::Login account)
{
    // Shorter waits than the window's, the same protection of the line.
    options.connectTimeoutSeconds = 3;
    options.readTimeoutSeconds = 5;
    return std::make_shared<KeptConnection>(server, options, ServerWait{}, std::move(account));
}

namespace {

std::optional<Row> readMessage(KeptConnection& db, bool& switched)
{
    const TableNames names = db.login().names;
    if (names == TableNames::MessageOnly) {
        // A server switched before the program's account was locked: its
        // message view. Opened for one read and closed: the program's
        // account holds no connection of the many workstations' limit.
        try {
            const auto row = db.run([](Connection& c) { return Records(c).firstRow(tables::messages()); });
            db.drop();
            return row;
        } catch (const DbError& e) {
            db.drop();
            if (!isLockedBySwitch(e))
                throw;
            return std::nullopt; // the message comes with the login
        }
    }
    if (names == TableNames::OwnAccount) {
        return db.run([](Connection& c) -> std::optional<Row> {
            Result r = callRows(c, "bericht", {});
            if (!r.next())
                return std::nullopt;
            return r.row();
        });
    }
    try {
        return db.run(
            [](Connection& c) { return Records(c).firstRow(tables::messages(), tables::consultants()); });
    } catch (const DbError& e) {
        if (!isSwitchedAway(e))
            throw;
        switched = true;
        // Locked: nothing before the login. Rights taken only (an older
        // switch): its message view, below.
        if (isLockedBySwitch(e))
            return std::nullopt;
    }
    Connection::Login account = db.login();
    account.names = TableNames::MessageOnly;
    KeptConnection once(db.server(), db.options(), ServerWait{}, account);
    return readMessage(once, switched);
}

} // namespace

TickerFetch fetchTickerMessage(KeptConnection& db)
{
    TickerFetch f;
    try {
        const auto row = readMessage(db, f.switched);
        if (row) {
            f.outcome = TickerFetch::Outcome::Message;
            f.message = row->text(QStringLiteral("Bericht"));
        } else {
            f.outcome = TickerFetch::Outcome::EmptyTable;
        }
    } catch (const DbError& e) {
        f.outcome = TickerFetch::Outcome::Failed;
        f.trouble = e.errorLine();
    } catch (const std::exception& e) {
        f.outcome = TickerFetch::Outcome::Failed;
        f.trouble = QString::fromUtf8(e.what());
    }
    return f;
}

} // namespace dl
