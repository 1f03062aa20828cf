#include "changes/unit_change.h"

#include "changes/table_backup.h"
#include "forms/number_text.h"
#include "forms/table_crc.h"
#include "operations/generation.h"
#include "operations/tbvlink.h"
#include "operations/unit_messages.h"
#include "ports/link_codes.h"
#include "support/change_journal.h"
#include "support/cp1251.h"
#include "support/file_locations.h"

namespace tgm {

std::string crc_field(const GROUPTAB& tables) {
    std::string field;
    for (int32_t k = 0; k < tables.count(); ++k) {
        if (tables.item(k).count() == 0)
            continue;
        if (!field.empty())
            field += ' ';
        field += text_of_integer(k + 1) + ':' + crc_text(table_crc(tables.item(k)));
    }
    return field;
}

int32_t table_count(const GROUPTAB& tables) {
    int32_t n = 0;
    for (int32_t k = 0; k < tables.count(); ++k)
        n += tables.item(k).count() > 0 ? 1 : 0;
    return n;
}

ChangeOptions change_options(int32_t operation, bool backup, bool verify, std::string port_name,
                             std::string project_file) {
    ChangeOptions options;
    options.backup = backup;
    options.verify = verify && operation == TBVLink::kWrite;
    options.folder = home_folder();
    options.port_name = std::move(port_name);
    options.project_file = std::move(project_file);
    return options;
}

UnitChange::UnitChange(TBVLink& link, ChangeOptions options, Run run, Ask ask)
    : link_(link), options_(std::move(options)), run_(std::move(run)), ask_(std::move(ask)) {}

bool UnitChange::perform(int32_t operation, const GROUPTAB& tables) {
    // A change that cannot be recorded is not made.
    if (options_.journal && !ChangeJournal(options_.folder).ready(why_))
        return false;
    if (options_.backup && !take_copy())
        return false;
    if (operation == TBVLink::kWrite)
        link_.group = tables;
    changed_ = run_(Step::change, operation);
    cancelled_ = !changed_ && link_.cancel.load();
    // The read back replaces the link's result; the record keeps the write's.
    const std::time_t moment = std::time(nullptr);
    const std::string result = link_.error_text;
    const bool write = operation == TBVLink::kWrite;
    const std::string version = status_version(link_, operation);
    journal(write ? "Запись" : "Удаление", version, write ? &tables : nullptr, std::string());
    if (write && changed_ && options_.verify) {
        // A unit that must be switched off and on is read back at once.
        power_cycle_ = generation_of(link_.version_code).power_cycle;
        verify(tables);
    }
    if (write)
        fill_record(tables, moment, version, result);
    return true;
}

void UnitChange::fill_record(const GROUPTAB& sent, std::time_t moment, const std::string& version,
                             const std::string& result) {
    WriteRecord& r = record_;
    r.moment = moment;
    r.port = options_.port_name;
    r.version = version;
    r.project_file = options_.project_file;
    r.project_modified = options_.project_modified;
    r.channels = record_channels(sent, verify_read_ ? &link_.group : nullptr);
    for (WriteRecord::Channel& row : r.channels)
        for (const ChannelDifference& d : differences_)
            row.differs = row.differs || d.channel == row.channel;
    r.result = result;
    if (cancelled_)
        r.result += '\r' + cancelled_text();
    if (!changed_)
        r.result += '\r' + unit_state_text();
    r.written = changed_;
    r.verified = verified_;
    r.read_back = verify_read_;
    r.verdict = verdict();
    r.copy = options_.backup ? copy_text() : std::string();
    r.succeeded = succeeded();
}

std::string UnitChange::copy_text() const {
    return copy_file_.empty() ? cp1251_to_utf8(copy_note_) : copy_file_;
}

bool UnitChange::take_copy() {
    const bool read = run_(Step::copy, TBVLink::kRead);
    if (!read) {
        if (!ask_(link_.error_text)) {
            why_ = cp("Копия таблиц системы не прочитана: ") + link_.error_text;
            return false;
        }
        copy_note_ = cp("не сделана: ") + link_.error_text;
        return true;
    }
    if (link_.group.count() == 0 || table_count(link_.group) == 0) {
        copy_note_ = cp("не нужна: в системе нет таблиц");
        return true;
    }
    const std::string path = backup_target(options_.backup_path, options_.folder,
                                           link_.version_text, std::time(nullptr));
    if (!save_backup(link_.group, path, why_))
        return false;
    copy_file_ = path;
    return true;
}

void UnitChange::verify(const GROUPTAB& sent) {
    verified_ = true;
    verify_read_ = run_(Step::verify, TBVLink::kRead);
    std::string outcome;
    if (!verify_read_) {
        verify_error_ = link_.error_text;
        outcome = cp("не прочитаны: ") + link_.error_text;
    } else {
        differences_ = compare_channels(link_.group, sent, {});
        if (differences_.empty()) {
            outcome = cp("совпадают");
        } else {
            outcome = cp("отличаются: каналы");
            for (std::size_t i = 0; i < differences_.size(); ++i)
                outcome += (i == 0 ? " " : ", ") + text_of_integer(differences_[i].channel);
        }
    }
    journal("Проверка", link_.version_text, verify_read_ ? &link_.group : nullptr, outcome);
}

bool UnitChange::succeeded() const {
    return changed_ && (!verified_ || (verify_read_ && differences_.empty()));
}

std::string UnitChange::verdict_sentence() const {
    if (!verified_)
        return std::string();
    if (!verify_read_)
        return cp("Проверка: таблицы системы не прочитаны: ") + verify_error_;
    return cp(differences_.empty() ? "Проверка: таблицы системы совпадают с проектом."
                                   : "Проверка: таблицы системы отличны от проекта !");
}

std::string UnitChange::power_cycle_note() const {
    return verified_ && power_cycle_
               ? cp("Таблицы прочитаны сразу после записи, до переключения питания системы.")
               : std::string();
}

std::string UnitChange::verdict() const {
    std::string text = verdict_sentence();
    if (!differences_.empty())
        text += '\r' + difference_texts(differences_);
    if (!power_cycle_note().empty())
        text += '\r' + power_cycle_note();
    return text;
}

void UnitChange::journal(const char* operation, const std::string& version, const GROUPTAB* tables,
                         const std::string& verification) {
    if (!options_.journal)
        return;
    JournalEntry entry;
    entry.operation = cp(operation);
    entry.port = options_.port_name;
    entry.version = version;
    const bool ok = link_.result;
    entry.result = !ok && link_.cancel.load() ? cp("Прервано пользователем") : link_.error_text;
    if (tables) {
        entry.tables = text_of_integer(table_count(*tables));
        entry.crcs = crc_field(*tables);
    }
    entry.copy = copy_text();
    entry.verification = verification;
    std::string why;
    if (!ChangeJournal(options_.folder).append(entry, std::time(nullptr), why) &&
        journal_error_.empty())
        journal_error_ = why;
}

bool UnitChange::untouched() const {
    const int32_t code = link_.error_code;
    return !changed_ && !cancelled_ &&
           (code == kPackingFailed || code == kVersionUnsupported || code == kFlashTooSmall);
}

std::string UnitChange::unit_state_text() const {
    return untouched() ? cp("Таблицы в системе не изменены.") : partly_written_text();
}

std::string cancelled_text() { return cp("Операция прервана пользователем."); }

std::string partly_written_text() {
    return cp("Таблицы в системе могли остаться записанными не полностью.");
}

} // namespace tgm
