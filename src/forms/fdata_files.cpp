// FDATA: reading and writing form files.
#include "forms/fdata.h"

#include "forms/form_kind.h"
#include "forms/form_problem.h"
#include "support/atomic_file.h"
#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/read_problem.h"
#include "support/xitext.h"

#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>

namespace tgm {
namespace {

std::string full_name(const std::string& file_name) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(file_name, ec);
    return ec ? file_name : absolute.string();
}

void append_table_text(std::string& out, const FORMA& t, int kind) {
    if (!is_single_table_kind(kind)) {
        out += "\r\n\r\n# ";
        out += t.name;
        out += "\r\n\r\n";
    }
    const int32_t n = t.point_count();
    for (int32_t j = 0; j < n; ++j) {
        if (kind == kFormFs) {
            if (j % 10 == 0)
                out += "\r\n| ";
            out += ' ';
            out += t.volume_text(j);
        } else if (kind == kFormF1) {
            // One point per line, read back by the loader as level then volume.
            out += "| ";
            out += t.level_text(j);
            out += ' ';
            out += t.volume_text(j);
            out += "\r\n";
        } else {
            out += t.volume_text(j);
            out += "\r\n";
        }
    }
}

} // namespace

void FDATA::report_write_error(const std::string& file_name, const std::string& why) {
    std::string text = cp("Ошибка записи файла ") + full_name(file_name);
    if (!why.empty())
        text += "\r" + why;
    show_message(text);
}

bool FDATA::load_form_file(const std::string& file_name) {
    const int kind = form_type_of_file(file_name);
    if (kind == kFormNone) {
        // The kind comes from the name alone; a folder says what it is.
        std::error_code error;
        const FormProblem why{0,
                              std::filesystem::is_directory(file_name, error)
                                  ? cp("это папка")
                                  : cp("расширение не из форм .fs, .fs1, .fs2, .fs31, .fs32, .f1")};
        show_message_with_reason(cp("Неизвестная форма!"), why.text(file_name));
        return false;
    }
    FormProblem problem;
    try {
        XITEXT reader;
        FDATA loaded;
        if (reader.load(file_name, kMaxFormFileBytes)) {
            if (!loaded.parse_form_text(reader, kind, file_name, problem)) {
                clear();
                show_message_with_reason(cp(" Ошибка формы! "), problem.text(file_name));
                return false;
            }
            std::swap(forms, loaded.forms);
            count = loaded.count;
            return true;
        }
        problem.what = read_problem(file_name, kMaxFormFileBytes);
    } catch (const std::bad_alloc&) {
        // A file of absurd counts must not end the program; the list stays as it was.
        problem = {0, cp("не хватает памяти, чтобы прочесть файл")};
    } catch (const std::length_error&) {
        problem = {0, cp("не хватает памяти, чтобы прочесть файл")};
    }
    show_message_with_reason(cp("Файл испорчен!"), problem.text(file_name));
    return false;
}

namespace {

// Hands one table its lines. A count line discards what the table held, so only the last one
// before the table's values is carried out: a file of count lines costs its size, not a fill of
// up to 65,535 points per line. The first line that gives the table nothing is noted: should
// the file hold no table, it is the likely culprit.
class TableLines {
public:
    TableLines(FORMA& table, FormProblem& problem) : table_(table), problem_(problem) {}
    // False for a count above what a unit table holds.
    bool add(std::string_view line, int32_t number) {
        std::optional<int64_t> count;
        if (!table_.is_count_line(line, count)) {
            const int32_t before = table_.point_count();
            const bool ok = table_.parse_line(line);
            if (table_.point_count() == before)
                problem_.note(number, unused_line_text(line));
            return ok;
        }
        if (count && *count > kMaxZeroPoints) {
            problem_ = {number, cp("число точек больше ") + std::to_string(kMaxZeroPoints)};
            return false;
        }
        if (count) {
            table_.levels.clear();
            table_.volumes.clear();
            zeros_ = static_cast<int32_t>(*count);
        } else {
            problem_.note(number, cp("ожидалось число точек"));
        }
        return true;
    }
    // The last count's zero points go before the values that followed it.
    void finish() {
        if (!zeros_)
            return;
        const TFormList values = std::move(table_.volumes);
        table_.set_zero_count(*zeros_);
        for (int32_t i = 0; i < values.count(); ++i)
            table_.add_point({}, values.get(i));
        zeros_.reset();
    }

private:
    // In the kinds whose values stand on "|" lines, any other line is one the reader skips.
    std::string unused_line_text(std::string_view line) const {
        const bool bar_kind = table_.form_type == kFormFs || table_.form_type == kFormF1;
        if (bar_kind && line.front() != '|')
            return cp("ожидалась строка «|» с числами");
        return cp("ожидалось число");
    }

    FORMA& table_;
    FormProblem& problem_;
    std::optional<int32_t> zeros_;
};

} // namespace

// Fills a cleared list from the reader's lines; false when the text is no form, with what the
// reader made of it in `problem`.
bool FDATA::parse_form_text(XITEXT& reader, int kind, const std::string& file_name,
                            FormProblem& problem) {
    bool any_line = false;
    if (is_single_table_kind(kind)) {
        forms[0].set_form_type(kind);
        forms[0].name = single_table_name(file_name);
        count = 1;
        TableLines lines(forms[0], problem);
        while (reader.next_line()) {
            any_line = true;
            if (!lines.add(reader.line(), reader.line_number()))
                return false;
        }
        lines.finish();
    } else {
        std::optional<TableLines> current;
        // Lines before the first table are no one's; they are to blame only when no table opens.
        FormProblem outside;
        while (reader.next_line()) {
            any_line = true;
            const std::string& line = reader.line();
            if (line.front() == '#') {
                if (current)
                    current->finish();
                current.reset();
                if (count >= kMaxTables)
                    break; // a 17th table and everything after it are ignored
                FORMA& next = forms[count++];
                next.set_form_type(kind);
                next.name = trim_text(std::string_view(line).substr(1));
                current.emplace(next, problem);
            } else if (!current) {
                outside.note(reader.line_number(), cp("ожидалась строка «#» с именем таблицы"));
            } else if (!current->add(line, reader.line_number())) {
                return false;
            }
        }
        if (current)
            current->finish();
        if (count == 0)
            problem = outside;
    }
    // Trailing gaps are dropped; gaps before the last real table stay.
    bool seen_filled = false;
    for (int32_t k = static_cast<int32_t>(count) - 1; k >= 0; --k) {
        FORMA& t = table(k);
        t.set_flag(kFilled, t.point_count() >= 2);
        if (t.filled())
            seen_filled = true;
        else if (!seen_filled)
            --count;
    }
    if (count != 0)
        return true;
    if (!any_line)
        problem = {0, cp("в файле нет ни строки текста")};
    else if (problem.empty())
        problem.what = cp("ни в одной таблице нет двух точек");
    return false;
}

std::string FDATA::form_text() const {
    std::string out;
    const int own = kind();
    for (uint32_t k = 0; k < count; ++k)
        append_table_text(out, forms[k], own);
    return out;
}

bool FDATA::save_form_file(const std::string& file_name) const {
    const std::string target = form_file_name(file_name, kind());
    if (std::string why; !write_file_replacing(target, form_text(), &why)) {
        report_write_error(target, why);
        return false;
    }
    return true;
}

std::pair<int32_t, int32_t> FDATA::exported_range(int32_t table_index) const {
    if (table_index >= 0 && static_cast<uint32_t>(table_index) < count)
        return {table_index, table_index};
    return {0, static_cast<int32_t>(count) - 1};
}

std::vector<std::string> FDATA::export_file_names(const std::string& file_name, int target_kind,
                                                  int32_t table_index) const {
    if (target_kind == kind())
        return {form_file_name(file_name, target_kind)};
    if (target_kind < kFormFs1 || target_kind > kFormFs32 || count == 0)
        return {};
    if (!is_single_table_kind(target_kind) || count == 1)
        return {form_file_name(file_name, target_kind)};
    std::vector<std::string> names;
    const auto [first, last] = exported_range(table_index);
    for (int32_t i = first; i <= last; ++i)
        names.push_back(form_file_name(numbered_file_name(file_name, i), target_kind));
    return names;
}

bool FDATA::export_form_file(const std::string& file_name, int target_kind, int32_t table_index) {
    if (target_kind == kind())
        return save_form_file(file_name);
    const std::vector<std::string> names = export_file_names(file_name, target_kind, table_index);
    GROUPTAB group;
    if (names.empty() || !build_group(group))
        return false;
    // Exporting would write something other than the user's tables.
    if (!report_refusals())
        return false;
    FDATA out;
    if (!is_single_table_kind(target_kind)) {
        out.fill_from_group(group, target_kind);
        return out.save_form_file(names[0]);
    }
    const int32_t first = count == 1 ? 0 : exported_range(table_index).first;
    for (std::size_t n = 0; n < names.size(); ++n) {
        out.fill_single_table(group, target_kind, first + static_cast<int32_t>(n));
        if (!out.save_form_file(names[n]))
            return false;
    }
    return true;
}

} // namespace tgm
