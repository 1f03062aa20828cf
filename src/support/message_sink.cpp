#include "support/message_sink.h"

#include "support/cp1251.h"

#include <cstdio>

namespace tgm {
namespace {

class StderrSink final : public MessageSink {
public:
    void show_message(const std::string& text) override {
        const std::string utf8 = cp1251_to_utf8(text);
        std::fprintf(stderr, "%s\n", utf8.c_str());
    }
};

StderrSink default_sink;
MessageSink* current = &default_sink;

} // namespace

MessageSink& message_sink() { return *current; }

MessageSink* set_message_sink(MessageSink* sink) {
    MessageSink* previous = current;
    current = sink ? sink : &default_sink;
    return previous;
}

void show_message(const std::string& text) { current->show_message(text); }

} // namespace tgm
