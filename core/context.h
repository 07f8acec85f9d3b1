#pragma once
// The seams and shared values a form or action is built with.

#include "core/clock.h"
#include "core/messages.h"
#include "core/session.h"
#include "data/keptconnection.h"
#include "data/serverlist.h"

#include <memory>

namespace dl {

struct AppContext {
    Session& session;
    MessageService& messages;
    const Clock& clock;
    ServerList server;
    Connection::Options connection = {};
    // The window thread's connection to `server`, kept between actions.
    mutable std::shared_ptr<KeptConnection> kept = {};
    // How the window's thread waits while its connection opens.
    ServerWait serverWait = {};

    KeptConnection& db() const
    {
        if (!kept || kept->server() != server)
            kept = std::make_shared<KeptConnection>(server, connection, serverWait);
        return *kept;
    }
};

} // namespace dl
