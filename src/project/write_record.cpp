#include "project/write_record.h"

#include "forms/table_crc.h"

namespace tgm {

std::vector<WriteRecord::Channel> record_channels(const GROUPTAB& sent, const GROUPTAB* read) {
    std::vector<WriteRecord::Channel> rows;
    for (int32_t k = 0; k < sent.count(); ++k) {
        const PARTAB& table = sent.item(k);
        if (table.count() == 0)
            continue;
        WriteRecord::Channel row;
        row.channel = k + 1;
        row.header = table.header();
        row.highest_level = table.count() - 1;
        row.capacity = table.point(table.count() - 1);
        row.written_crc = table_crc(table);
        if (read && k < read->count() && read->item(k).count() > 0)
            row.read_crc = table_crc(read->item(k));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tgm
