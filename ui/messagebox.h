#pragma once
// The real message boxes, modal on the active window.

#include "core/messages.h"

namespace dl {

class QtMessageService final : public MessageService {
public:
    QtMessageService();
    Answer show(const Message& m) override;
    int choose(const Choice& c) override;
};

} // namespace dl
