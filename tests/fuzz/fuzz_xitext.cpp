// The ini reader on arbitrary bytes: every line delivered and split.
#include "support/xitext.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tgm::XITEXT reader;
    reader.load_bytes(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t lines = 0;
    while (reader.next_line()) {
        if (reader.line().empty())
            __builtin_trap(); // empty lines are never delivered
        reader.split();
        ++lines;
    }
    return lines > size + 1 ? -1 : 0;
}
