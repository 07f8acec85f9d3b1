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
    // Who the window's, the ticker's and the key check's connections log in
    // as: the program's account, or after the login the consultant's own.
    Connection::Login account = {};
    // The window thread's connection to `server`, kept between actions.
    mutable std::shared_ptr<KeptConnection> kept = {};
    // How the window's thread waits while its connection opens.
    ServerWait serverWait = {};

    KeptConnection& db() const
    {
        if (!kept || kept->server() != server || !kept->follow(account))
            kept = std::make_shared<KeptConnection>(server, connection, serverWait, account);
        return *kept;
    }
};

} // namespace dl
