#include "support/hist.h"

namespace tgm {
namespace {
HIST* current_log = nullptr;
} // namespace

void HIST::add_line(const std::string& text) {
    lines_.push_back(text);
    if (on_change)
        on_change();
}

void HIST::append_to_last_line(const std::string& text) {
    if (lines_.empty())
        return;
    lines_.back() += ' ';
    lines_.back() += text;
    if (on_change)
        on_change();
}

std::string HIST::text() const {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += lines_[i];
    }
    return out;
}

HIST* log_sink() { return current_log; }

void set_log_sink(HIST* log) { current_log = log; }

} // namespace tgm
