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
};

// The ticker's own connection: short waits, so that a hung server does not
// keep a refresh going for long; otherwise the window's options (TLS).
std::shared_ptr<KeptConnection> tickerConnection(const ServerList& server, Connection::Options options);

// Reads the first row of the messages table on the ticker's connection, on
// whichever thread refreshes; one refresh at a time. Never throws.
TickerFetch fetchTickerMessage(KeptConnection& db);

} // namespace dl
