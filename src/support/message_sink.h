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
};

// The sink in use; by default one that prints the text as UTF-8 on stderr.
MessageSink& message_sink();
// Installs a sink (nullptr restores the default); returns the previous one.
MessageSink* set_message_sink(MessageSink* sink);

// Shorthand for message_sink().show_message(text, kind). Nearly every message is a failure.
void show_message(const std::string& text, MessageKind kind = MessageKind::error);

} // namespace tgm
