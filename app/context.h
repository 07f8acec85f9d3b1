#pragma once
// The seams and shared values a form or action is built with.

#include "app/clock.h"
#include "app/messages.h"
#include "app/session.h"
#include "data/settings.h"

namespace dl {

class PrinterCatalogue;

struct AppContext {
    Session& session;
    MessageService& messages;
    const Clock& clock;
    ServerList server;
};

} // namespace dl
