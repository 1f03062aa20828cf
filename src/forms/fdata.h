#pragma once
// The tables of one form file or one project: up to 16 tables in text form.
#include "forms/forma.h"
#include "model/grouptab.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tgm {

class XITEXT;
struct FormProblem;

class FDATA {
public:
    static constexpr int32_t kMaxTables = 16;
    // 16 tables of 65,535 points take about 25 MB of text; anything much larger is no form.
    static constexpr int32_t kMaxFormFileBytes = 64 << 20;

    std::array<FORMA, kMaxTables> forms;
    uint32_t count = 0;

    FORMA& table(int32_t k) { return forms[static_cast<std::size_t>(k)]; }
    const FORMA& table(int32_t k) const { return forms[static_cast<std::size_t>(k)]; }
    // The kind of the list is the kind of its first table.
    int kind() const { return forms[0].form_type; }

    void clear();
    void assign(const FDATA& other);
    bool equals(const FDATA& other) const;
    bool add_table();
    // Only before an existing table and while fewer than 16 are in use.
    bool insert_table(int32_t k, bool new_table);
    // Never the last table.
    bool delete_table(int32_t k);
    bool replace_table(int32_t k, const FORMA& table);

    // Form files. Failures are reported through the message sink, each with its reason: the
    // file's name and what happened, with the line where the reader stopped when it knows
    // one. A file that cannot be read (or is no regular file, or is larger than
    // kMaxFormFileBytes) leaves the list untouched.
    bool load_form_file(const std::string& file_name);
    bool save_form_file(const std::string& file_name) const;
    bool export_form_file(const std::string& file_name, int kind, int32_t table_index);
    // The files export_form_file writes, in order; none when it would write nothing.
    std::vector<std::string> export_file_names(const std::string& file_name, int kind,
                                               int32_t table_index) const;

    // Converts every table, setting its `converts` bit; a gap (not `filled`) and a table that
    // does not convert enter the group with no points. False only when the list is empty.
    bool build_group(GROUPTAB& group);
    // One unconverted_line per table that holds points but does not convert, as of the last
    // control pass or build_group.
    std::vector<std::string> conversion_refusals() const;
    // Shows those lines as one warning; true when there are none.
    bool report_refusals() const;
    // Kind 1, 2 or 3; empty headers become "t1", "t2", ...
    void fill_from_group(const GROUPTAB& group, int kind);
    // Kind 4 or 5: one table from group slot k.
    void fill_single_table(const GROUPTAB& group, int kind, int32_t k);
    // Sets each table's control flags from the unit's encodability tests.
    void run_control();

    // The bytes that save_form_file writes.
    std::string form_text() const;

    // "Канал N: таблица не преобразуется (Контроль "-")" for table k (counted from 0): the words
    // of every refusal, in the windows and on the command line alike.
    static std::string unconverted_line(int32_t k);
    // "Ошибка записи файла " and the file's full name: every file the program writes fails so;
    // the reason, when known (code page 1251), on a line of its own under it.
    static void report_write_error(const std::string& file_name, const std::string& why = {});

private:
    void fill_table(FORMA& table, const PARTAB& points, int kind);
    bool parse_form_text(XITEXT& reader, int kind, const std::string& file_name,
                         FormProblem& problem);
    // The tables a single-table export writes, first and last.
    std::pair<int32_t, int32_t> exported_range(int32_t table_index) const;
};

} // namespace tgm
