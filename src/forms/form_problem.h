#pragma once
// Why a form file did not load, as the reader saw it: the line where it stopped or the first
// it could not use (0 when no one line is to blame) and what happened, code page 1251.
#include <cstdint>
#include <string>

namespace tgm {

struct FormProblem {
    int32_t line = 0;
    std::string what;

    bool empty() const { return what.empty(); }
    // Keeps the first line the reader could not use.
    void note(int32_t at, std::string why) {
        if (empty()) {
            line = at;
            what = std::move(why);
        }
    }
    // "NAME: строка 12: ожидалось число", the name converted from the file system's UTF-8.
    std::string text(const std::string& file_name) const;
};

} // namespace tgm
