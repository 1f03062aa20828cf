#include "support/message_sink.h"

#include "support/cp1251.h"

#include <cstdio>

namespace tgm {
namespace {

class StderrSink final : public MessageSink {
public:
    void show_message(const std::string& text, MessageKind) override {
        // Boxes break lines at "\r"; a terminal would write the next line over the last.
        std::string utf8 = cp1251_to_utf8(text);
        for (char& c : utf8)
            if (c == '\r')
                c = '\n';
        std::fprintf(stderr, "%s\n", utf8.c_str());
    }
    // The reason is the line after the text.
    void show_with_reason(const std::string& text, const std::string& reason,
                          MessageKind kind) override {
        show_message(text, kind);
        show_message(reason, kind);
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

void show_message(const std::string& text, MessageKind kind) { current->show_message(text, kind); }

void show_message_with_reason(const std::string& text, const std::string& reason,
                              MessageKind kind) {
    if (reason.empty())
        current->show_message(text, kind);
    else
        current->show_with_reason(text, reason, kind);
}

} // namespace tgm
