#pragma once
// A document printed on a named printer as one job, and said how it went.
// The month's document and the year overview go the same road.

#include "core/messages.h"
#include "print/printrenderer.h"

#include <functional>
#include <memory>

namespace dl::print {

// Where a document for the named printer goes; the real one is the
// printer's CUPS queue.
using OutputFactory =
    std::function<std::unique_ptr<PrintOutput>(const QString& printerName, const QString& jobTitle)>;

// Draws the document for the named printer and hands it over as one job;
// when that fails, says so: failure, then the reason. An empty factory is the
// printer's CUPS queue. Handed over, says on which printer: done with the
// printer's name for %1. True when the job was handed over.
bool printOn(MessageService& messages, const OutputFactory& output, const QString& printerName,
             const PrintDocument& document, const QPixmap& logo, const QString& failure, const QString& done);

} // namespace dl::print
