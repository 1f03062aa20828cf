#pragma once
// The set of tables the user works on: a list of up to 16 tables in text form with a name, a
// modified flag and a one-table clipboard.
#include "forms/fdata.h"
#include "model/grouptab.h"

#include <cstdint>
#include <string>

namespace tgm {

class EPROJECT {
public:
    const std::string& name() const { return name_; }
    bool modified() const { return modified_; }
    void set_modified(bool on) { modified_ = on; }
    bool table_form() const { return table_form_; }
    int32_t count() const { return static_cast<int32_t>(tables_.count); }
    const FDATA& tables() const { return tables_; }
    bool clipboard_full() const { return clipboard_full_; }
    const FORMA& clipboard() const { return clipboard_; }

    void reset();
    void new_project();
    bool open_form(const std::string& file_name);
    // As open_form, for tables that were read otherwise (a CSV file): the list as it stands.
    void open_tables(const FDATA& list, const std::string& name);
    bool save_form(const std::string& file_name);
    bool export_form(const std::string& file_name, int kind);
    bool take_tables(EPROJECT& other);
    // Both refuse, leaving the project unchanged, while either list holds a table that does
    // not convert: it would be rebuilt from nothing.
    bool add_tables(EPROJECT& other);
    bool insert_tables(int32_t position, EPROJECT& other);
    void take_group(const GROUPTAB& group, const std::string& name);
    bool build_group(GROUPTAB& group) { return tables_.build_group(group); }
    void update_control() { tables_.run_control(); }
    // Runs the control pass and names, in one warning, every table that does not convert and so
    // stops the tables being rebuilt from numbers; true when there is none.
    bool check_conversion();

    std::string control_text(int32_t k) const;
    bool writable(int32_t k) const;
    bool all_writable() const;
    std::string max_level_text(int32_t k) const;
    std::string capacity_text(int32_t k) const;
    const std::string& header(int32_t k) const { return tables_.table(k).name; }
    void set_header(int32_t k, const std::string& text);
    void take_edited(const FDATA& list);

    bool add_table();
    bool insert_table(int32_t k);
    bool insert_gap(int32_t k);
    bool delete_table(int32_t k);
    void copy_table(int32_t k);
    bool paste_table(int32_t k);

private:
    bool changed(bool happened);
    bool combine(int32_t position, EPROJECT& other);

    std::string name_;
    bool modified_ = false;
    bool table_form_ = false;
    FDATA tables_;
    FORMA clipboard_;
    bool clipboard_full_ = false;
};

} // namespace tgm
