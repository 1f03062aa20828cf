#include "encoding/directory_record.h"

#include "encoding/block_codec.h"
#include "encoding/byte_order.h"

#include <cstring>

namespace tgm {

void DirectoryRecord::store(const Directory& dir, int32_t type) {
    le::put16(bytes_.data(), type);
    write_channel_records(area(), dir);
}

void DirectoryRecord::store(const ExtDirectory& dir, uint8_t type) {
    le::put16(bytes_.data(), type);
    write_channel_records(area(), dir.dir, type == 3 ? dir.methods : nullptr);
}

int16_t DirectoryRecord::type_word() const { return le::get16s(bytes_.data()); }

void DirectoryRecord::read_directory(Directory& dir) const { read_channel_records(area(), dir); }

int32_t DirectoryRecord::read_directory(ExtDirectory& dir, uint8_t& type) const {
    std::memset(&dir, 0, sizeof(dir));
    type = 0;
    const int32_t word = type_word();
    if (word != -1 && (word < 0 || word > 3))
        return kUnknownCompression;
    type = static_cast<uint8_t>(word == -1 ? 0 : word);
    read_channel_records(area(), dir.dir);
    if (type != 3)
        return 0;
    for (int32_t d = 1; d <= dir.dir.table_count; ++d) {
        const int32_t k = dir.dir.first_channel(d);
        if (k < 0)
            continue;
        const uint16_t method = ChannelRecord::read(area() + k * ChannelRecord::kSize).method;
        if (!known_method(method))
            return kUnknownCompression;
        dir.methods[d - 1] = static_cast<uint8_t>(method);
    }
    return 0;
}

} // namespace tgm
