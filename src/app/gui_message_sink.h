#pragma once
// Shows the core's failure messages (form files, configuration, report) as modal boxes.
#include "support/message_sink.h"

namespace tgm {

class GuiMessageSink : public MessageSink {
public:
    void show_message(const std::string& text, MessageKind kind) override;
    void show_with_reason(const std::string& text, const std::string& reason,
                          MessageKind kind) override;
};

} // namespace tgm
