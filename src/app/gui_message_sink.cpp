#include "app/gui_message_sink.h"

#include "app/ui_dialogs.h"
#include "render/gui_text.h"

#include <QApplication>

namespace tgm {

void GuiMessageSink::show_message(const std::string& text, MessageKind kind) {
    ui_dialogs().message(QApplication::activeWindow(), qs(text), kind);
}

void GuiMessageSink::show_with_reason(const std::string& text, const std::string& reason,
                                      MessageKind kind) {
    ui_dialogs().message_with_reason(QApplication::activeWindow(), qs(text), qs(reason), kind);
}

} // namespace tgm
