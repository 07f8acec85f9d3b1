#pragma once
// The rules of the message strip without any widget: the colour a message
// gets from its first characters, the scroll step, and reading the message.

#include "data/keptconnection.h"

#include <QColor>
#include <QString>

#include <memory>

namespace dl {

// Green; red for a text that begins exactly with "BELANGRIJK:", blue for one
// that begins exactly with "OPMERKING:" (letter case counts).
QColor tickerColour(const QString& message);

// 25 twips in pixels at this horizontal resolution.
double tickerStepPixels(double logicalDpiX);

// One step to the left; once the whole text has passed the left edge it
// re-enters at the right edge of the strip.
double nextTickerLeft(double left, double step, double textWidth, double stripWidth);

struct TickerFetch {
    enum class Outcome { Message, EmptyTable, Failed };
    Outcome outcome = Outcome::Failed;
    QString message; // Message: the first row's Bericht
    QString trouble; // Failed: what went wrong, with the server's number
    // The program's account may no longer read the consultants: the office
    // switched to accounts of their own; the message came from their views.
    bool switched = false;
};

// The ticker's own connection: short waits, so that a hung server does not
// keep a refresh going for long; otherwise the window's options (TLS).
std::shared_ptr<KeptConnection> tickerConnection(const ServerList& server, Connection::Options options,
                                                 Connection::Login account = {});

// Reads the first row of the messages table on the ticker's connection, on
// whichever thread refreshes; one refresh at a time. Never throws. As the
// program's shared account the same statement asks whether it may still
// read the consultants; when not, the message is read from the views on a
// connection opened for that one read. As the program's account after the
// switch, the connection is closed after its one read.
TickerFetch fetchTickerMessage(KeptConnection& db);

} // namespace dl
