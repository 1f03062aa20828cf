#include "support/xitext.h"

#include "support/xfile.h"

#include <limits>

namespace tgm {

std::string trim_text(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

bool XITEXT::load(const std::string& file_name) {
    depth_ = 0;
    std::string bytes;
    if (!read_whole_file(file_name, bytes) || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        return false;
    load_bytes(bytes);
    return true;
}

void XITEXT::load_bytes(std::string_view bytes) {
    depth_ = 0;
    position_ = 0;
    bytes_.assign(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool XITEXT::raw_line() {
    line_.clear();
    const auto* data = reinterpret_cast<const char*>(bytes_.bytes());
    const int32_t size = bytes_.size();
    int32_t i = position_;
    bool ended_by_lf = false;
    while (i < size) {
        const char c = data[i++];
        if (c == '\n') {
            ended_by_lf = true;
            break;
        }
        if (c != '\r')
            line_ += c;
    }
    position_ = i;
    return ended_by_lf || !line_.empty();
}

void XITEXT::strip_comments() {
    while (!line_.empty()) {
        const std::size_t slash = line_.find('/');
        if (slash == std::string::npos)
            break;
        const char next = slash + 1 < line_.size() ? line_[slash + 1] : '\0';
        if (next == '/') {
            line_.erase(slash);
            break;
        }
        if (next == '*') {
            line_.erase(slash);
            ++depth_;
            break;
        }
        if (slash > 0 && line_[slash - 1] == '*') {
            if (depth_ > 0)
                --depth_;
            if (depth_ != 0)
                break;
            line_.erase(0, slash + 1);
            continue; // the text after "*/" is stripped again
        }
        break; // a lone slash: the rest of the line is ordinary text
    }
    line_ = trim_text(line_);
}

bool XITEXT::next_line() {
    for (;;) {
        const bool inside = depth_ > 0;
        if (!raw_line())
            return false;
        strip_comments();
        if (inside && depth_ > 0)
            continue;
        if (!line_.empty())
            return true;
    }
}

bool XITEXT::split() {
    if (line_.empty())
        return false;
    const std::size_t eq = line_.rfind('=');
    if (eq == std::string::npos) {
        key_ = trim_text(line_);
        value_.clear();
    } else {
        key_ = trim_text(std::string_view(line_).substr(0, eq));
        value_ = trim_text(std::string_view(line_).substr(eq + 1));
    }
    return true;
}

} // namespace tgm
