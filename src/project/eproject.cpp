#include "project/eproject.h"

#include "forms/form_kind.h"
#include "support/cp1251.h"

namespace tgm {

bool EPROJECT::changed(bool happened) {
    if (happened)
        modified_ = true;
    return happened;
}

void EPROJECT::reset() {
    name_.clear();
    modified_ = false;
    table_form_ = false;
    tables_.clear();
}

void EPROJECT::new_project() {
    reset();
    name_ = "NONAME";
    tables_.add_table();
    modified_ = true;
}

bool EPROJECT::open_form(const std::string& file_name) {
    reset();
    if (!tables_.load_form_file(file_name))
        return false;
    table_form_ = tables_.table(0).has(kLevelIsIndex);
    name_ = file_name;
    return true;
}

void EPROJECT::open_tables(const FDATA& list, const std::string& name) {
    reset();
    tables_.assign(list);
    table_form_ = tables_.count > 0 && tables_.table(0).has(kLevelIsIndex);
    name_ = name;
}

bool EPROJECT::save_form(const std::string& file_name) {
    if (!tables_.save_form_file(file_name))
        return false;
    modified_ = false;
    return true;
}

bool EPROJECT::export_form(const std::string& file_name, int kind) {
    if (!tables_.export_form_file(file_name, kind, -1))
        return false;
    modified_ = false;
    // Saved whole in one file, the project is that file from now on: the next write's
    // question, its protocol and the journal name it.
    if (tables_.export_file_names(file_name, kind, -1).size() == 1)
        name_ = file_name;
    return true;
}

bool EPROJECT::take_tables(EPROJECT& other) {
    reset();
    name_ = other.name_;
    GROUPTAB group;
    if (!other.tables_.build_group(group))
        return false;
    tables_.fill_from_group(group, kFormFs);
    return true;
}

bool EPROJECT::check_conversion() {
    update_control();
    return tables_.report_refusals();
}

// The combined list goes through numbers: this project's tables before `position`, then all of
// the other's, then the rest of this project's, cut at 16.
bool EPROJECT::combine(int32_t position, EPROJECT& other) {
    GROUPTAB theirs;
    if (!other.tables_.build_group(theirs))
        return false;
    GROUPTAB ours;
    tables_.build_group(ours);
    if (!other.tables_.conversion_refusals().empty() || !tables_.conversion_refusals().empty())
        return false;
    GROUPTAB combined;
    for (int32_t k = 0; k < position && k < ours.count(); ++k)
        combined.add_copy(ours.item(k));
    for (int32_t k = 0; k < theirs.count(); ++k)
        combined.add_copy(theirs.item(k));
    for (int32_t k = position; k < ours.count(); ++k)
        combined.add_copy(ours.item(k));
    tables_.fill_from_group(combined, kFormFs);
    modified_ = true;
    return true;
}

bool EPROJECT::add_tables(EPROJECT& other) { return combine(count(), other); }

bool EPROJECT::insert_tables(int32_t position, EPROJECT& other) {
    if (position < 0)
        position = 0;
    return combine(position, other);
}

void EPROJECT::take_group(const GROUPTAB& group, const std::string& name) {
    reset();
    name_ = name;
    tables_.fill_from_group(group, kFormFs);
    modified_ = true;
}

std::string EPROJECT::control_text(int32_t k) const {
    const FORMA& t = tables_.table(k);
    if (!t.filled())
        return std::string();
    if (!t.converts())
        return "-";
    if (t.has(kSecondDiffOk))
        return "OK ";
    if (t.has(kFirstDiffOk))
        return "OK*";
    return "OK**";
}

bool EPROJECT::writable(int32_t k) const {
    const FORMA& t = tables_.table(k);
    return !t.filled() || t.converts();
}

bool EPROJECT::all_writable() const {
    for (int32_t k = 0; k < count(); ++k)
        if (!writable(k))
            return false;
    return true;
}

std::string EPROJECT::max_level_text(int32_t k) const {
    const FORMA& t = tables_.table(k);
    return t.point_count() > 0 ? std::string(t.level_text(t.point_count() - 1)) : std::string();
}

std::string EPROJECT::capacity_text(int32_t k) const {
    const FORMA& t = tables_.table(k);
    return t.point_count() > 0 ? std::string(t.volume_text(t.point_count() - 1)) : std::string();
}

void EPROJECT::set_header(int32_t k, const std::string& text) {
    FORMA& t = tables_.table(k);
    if (t.name != text) {
        t.name = text;
        modified_ = true;
    }
}

void EPROJECT::take_edited(const FDATA& list) {
    if (!list.equals(tables_))
        modified_ = true;
    tables_.assign(list);
}

bool EPROJECT::add_table() { return changed(tables_.add_table()); }

bool EPROJECT::insert_table(int32_t k) { return changed(tables_.insert_table(k, true)); }

bool EPROJECT::insert_gap(int32_t k) { return changed(tables_.insert_table(k, false)); }

bool EPROJECT::delete_table(int32_t k) { return changed(tables_.delete_table(k)); }

void EPROJECT::copy_table(int32_t k) {
    clipboard_.assign(tables_.table(k));
    clipboard_full_ = true;
}

bool EPROJECT::paste_table(int32_t k) {
    if (!clipboard_full_ || !tables_.insert_table(k, true))
        return false;
    tables_.table(k).assign(clipboard_);
    modified_ = true;
    return true;
}

} // namespace tgm
