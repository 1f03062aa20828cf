#pragma once
// A message sink that records every message shown while it is installed.
#include "support/message_sink.h"
#include "testing/recording_sink.h"

#include <string>
#include <vector>

namespace tgm::test {

class RecordingSink : public MessageSink {
public:
    RecordingSink();
    ~RecordingSink() override;
    void show_message(const std::string& text, MessageKind kind) override {
        messages.push_back(text);
        kinds.push_back(kind);
    }
    std::vector<std::string> messages;
    std::vector<MessageKind> kinds;

private:
    MessageSink* previous_;
};

} // namespace tgm::test
