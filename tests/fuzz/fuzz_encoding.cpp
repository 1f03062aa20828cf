// Feeds device-supplied records, headers, directories and images to the decoders. Whatever the
// bytes, decoding must stay inside its buffers; what decodes must pack and decode again alike.
#include "encoding/arj_tab.h"
#include "encoding/directory_record.h"
#include "encoding/unit_header.h"
#include "encoding/wtrp_tab.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace tgm;

namespace {

struct Input {
    const uint8_t* data;
    size_t size;

    // The next n bytes, zero-padded when the input runs out.
    void take(void* out, size_t n) {
        const size_t k = std::min(n, size);
        std::memset(out, 0, n);
        if (k > 0)
            std::memcpy(out, data, k);
        data += k;
        size -= k;
    }
    uint8_t byte() {
        uint8_t b = 0;
        take(&b, 1);
        return b;
    }
};

// The rest of the input as the received image; a short reception leaves the image short.
template <class Image>
void receive(Image& image, Input& in) {
    const int32_t n = std::min<int32_t>(image.image_size(),
                                        static_cast<int32_t>(std::min<size_t>(in.size, INT32_MAX)));
    if (n > 0)
        std::memcpy(image.image(), in.data, static_cast<size_t>(n));
    image.set_size(n);
}

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// A decoded group must carry exactly what the directory said, and pack back to itself.
void check_decoded(const Directory& dir, const GROUPTAB& g) {
    for (int32_t k = 0; k < g.count(); ++k) {
        const int32_t d = dir.channel_map[k];
        check(g.item(k).count() == (d == 0 ? 0 : dir.point_counts[d - 1]));
    }
    TWTrpTab again;
    again.set_mode(3);
    again.pack(g);
    GROUPTAB back;
    if (again.failures() == 0) {
        check(again.unpack(back) == 0);
        check(back.count() <= g.count());
    }
}

void arj(uint8_t type, const Directory& dir, Input& in) {
    TArjTab tab(type);
    tab.load_directory(dir);
    receive(tab, in);
    GROUPTAB g;
    if (tab.unpack(g) == 0)
        check_decoded(dir, g);
}

void trp(uint8_t type, const ExtDirectory& dir, Input& in) {
    TTrpTab tab(type, dir);
    receive(tab, in);
    GROUPTAB g;
    if (tab.unpack(g) == 0)
        check_decoded(dir.dir, g);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    switch (in.byte() % 5) {
    case 0: { // 853 and 960 units: directory record, type from its low byte
        DirectoryRecord record;
        in.take(record.bytes(), DirectoryRecord::kSize);
        Directory dir;
        record.read_directory(dir);
        arj(record.type_byte(), dir, in);
        break;
    }
    case 1: { // header units
        const HeaderLayout* layout = header_layout(2 + in.byte() % 9);
        UnitHeader header(*layout);
        in.take(header.bytes(), static_cast<size_t>(header.size()));
        Directory dir;
        header.read_directory(dir);
        for (int32_t k = 0; k < kDirectoryChannels; ++k)
            (void)header.has_table_flag(k);
        arj(0, dir, in);
        break;
    }
    case 2: { // newest units: directory record with type and methods
        DirectoryRecord record;
        in.take(record.bytes(), DirectoryRecord::kSize);
        ExtDirectory dir;
        uint8_t type = 0;
        if (record.read_directory(dir, type) == 0)
            trp(type, dir, in);
        break;
    }
    case 3: { // any directory at all, as a caller might hand one over
        const uint8_t type = in.byte();
        Directory dir;
        in.take(&dir, sizeof(dir));
        arj(type, dir, in);
        break;
    }
    default: {
        const uint8_t type = in.byte();
        ExtDirectory dir;
        in.take(&dir, sizeof(dir));
        trp(type, dir, in);
        break;
    }
    }
    return 0;
}
