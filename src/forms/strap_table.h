#pragma once
// One channel's points from a spreadsheet made into a table of litres per whole centimetre, and
// the refusals that name the file's lines.
#include "forms/forma.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgm {

struct StrapPoint {
    int32_t line = 0;
    int32_t tenths = 0;            // level in tenths of a millimetre, further digits cut off
    int32_t litres = 0;            // decimals cut off
    bool whole_centimetre = false; // the level is exactly a whole centimetre
    bool whole_litres = false;     // the volume is exactly whole litres
};

// "Строка 5: …" or "Строки 5, 7, 9: …" (at most ten numbers), one line per problem, joined by
// "\r"; the texts are given as UTF-8 and handed out in code page 1251.
class LineRefusal {
public:
    void add(std::vector<int32_t> lines, const std::string& what_utf8);
    bool empty() const { return text_.empty(); }
    std::string text() const;

private:
    std::string text_;
};

// Which points give a table as it stands, without the .f1 resampling.
enum class AsIsRule {
    // The program's own export: levels exactly 0, 1, 2 … cm with whole litres, nothing between.
    every_point,
    // A lab's table: every whole centimetre from 0 to its top is there; the points between go.
    whole_centimetres,
};

// What the file gave for one table: points after merging, the highest level.
struct StrapSummary {
    int32_t points = 0;
    int32_t top_tenths = 0;
};

// Makes `table` (a kind-1 table headed `header_utf8`) from channel `channel`'s rows: points of
// one level merge when their litres agree; the table is taken as it stands under `rule`, else
// resampled as an .f1 table (`resampled` set). False with the reasons added to `refused`.
bool make_strap_table(int32_t channel, std::vector<StrapPoint> rows, AsIsRule rule,
                      const std::string& header_utf8, FORMA& table, bool& resampled,
                      StrapSummary& summary, LineRefusal& refused);

} // namespace tgm
