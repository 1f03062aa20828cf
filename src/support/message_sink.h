#pragma once
// Where file and configuration failures are reported. The windows show these texts in modal
// boxes; the command line prints them on stderr. Texts are code page 1251.
#include <string>

namespace tgm {

// How a message is shown: failures as errors, refusals that the user can mend as warnings.
enum class MessageKind { information, warning, error };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show_message(const std::string& text, MessageKind kind) = 0;
    // The text with its reason under it (which file, what happened). A sink without a place of
    // its own for the reason shows the text alone.
    virtual void show_with_reason(const std::string& text, const std::string& reason,
                                  MessageKind kind) {
        (void)reason;
        show_message(text, kind);
    }
};

// The sink in use; by default one that prints the text as UTF-8 on stderr.
MessageSink& message_sink();
// Installs a sink (nullptr restores the default); returns the previous one.
MessageSink* set_message_sink(MessageSink* sink);

// Shorthand for message_sink().show_message(text, kind). Nearly every message is a failure.
void show_message(const std::string& text, MessageKind kind = MessageKind::error);
// The same with a reason; an empty reason shows the text alone.
void show_message_with_reason(const std::string& text, const std::string& reason,
                              MessageKind kind = MessageKind::error);

} // namespace tgm
