#include "support/xitext.h"

#include "support/xfile.h"

#include <algorithm>
#include <cstring>

namespace tgm {

void trim_in_place(std::string& text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t e = text.size();
    while (e > 0 && blank(text[e - 1]))
        --e;
    text.resize(e);
    std::size_t b = 0;
    while (b < e && blank(text[b]))
        ++b;
    if (b > 0)
        text.erase(0, b);
}

std::string trim_text(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

bool XITEXT::load(const std::string& file_name, int32_t max_bytes) {
    return read_start(file_name, max_bytes, false);
}

bool XITEXT::load_head(const std::string& file_name, int32_t max_bytes) {
    return read_start(file_name, max_bytes, true);
}

bool XITEXT::read_start(const std::string& file_name, int32_t max_bytes, bool head) {
    depth_ = 0;
    position_ = 0;
    line_number_ = 0;
    XFILE file(file_name, false, XFILE::Mode::read);
    const long long size = file.file_size();
    if (!file.is_open() || size < 0 || (!head && size > max_bytes))
        return false;
    const int32_t take = static_cast<int32_t>(std::min<long long>(size, max_bytes));
    bytes_.set_size(take);
    if (take > 0 && !file.read(bytes_.bytes(), static_cast<std::size_t>(take))) {
        bytes_.clear();
        return false;
    }
    if (size > take) {
        int32_t end = take;
        while (end > 0 && bytes_.bytes()[end - 1] != '\n' && bytes_.bytes()[end - 1] != '\r')
            --end;
        bytes_.set_size(end);
    }
    return true;
}

void XITEXT::load_bytes(std::string_view bytes) {
    depth_ = 0;
    position_ = 0;
    line_number_ = 0;
    bytes_.assign(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool XITEXT::raw_line() {
    line_.clear();
    if (position_ >= bytes_.size())
        return false;
    const auto* start = reinterpret_cast<const char*>(bytes_.bytes()) + position_;
    const std::size_t left = static_cast<std::size_t>(bytes_.size() - position_);
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', left));
    const std::size_t length = lf ? static_cast<std::size_t>(lf - start) : left;
    line_.assign(start, length);
    ++line_number_;
    if (line_.find('\r') != std::string::npos)
        line_.erase(std::remove(line_.begin(), line_.end(), '\r'), line_.end());
    position_ += static_cast<int32_t>(lf ? length + 1 : length);
    return lf != nullptr || !line_.empty();
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
    trim_in_place(line_);
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
