#pragma once
// The rules of the message strip without any widget: the colour a message
// gets from its first characters, the scroll step, and reading the message.

#include "data/settings.h"

#include <QColor>
#include <QString>

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
    QString message;  // Message: the first row's Bericht
    QString trouble;  // Failed: what went wrong, with the server's number
};

// Reads the first row of the messages table on a connection of its own, so
// that it may run on any thread. Never throws.
TickerFetch fetchTickerMessage(const ServerList& server);

} // namespace dl
