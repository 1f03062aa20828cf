#include "changes/unit_change.h"

#include "changes/table_backup.h"
#include "encoding/wtrp_tab.h"
#include "forms/number_text.h"
#include "forms/table_crc.h"
#include "operations/generation.h"
#include "operations/link_errors.h"
#include "operations/tbvlink.h"
#include "operations/unit_messages.h"
#include "ports/link_codes.h"
#include "support/change_journal.h"
#include "support/cp1251.h"
#include "support/file_locations.h"

namespace tgm {
namespace {

// The journal's name of a change, and its result of one the user cancelled.
const char* journal_word(int32_t operation) {
    return operation == TBVLink::kWrite ? "Запись" : "Удаление";
}
std::string interrupted_result() { return cp("Прервано пользователем"); }

} // namespace

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

std::string packing_refusal(const GROUPTAB& tables) {
    // From the units that take the fewest compression types to those that take the most.
    TWTrpTab image;
    for (const int32_t highest : {2, 3, 4})
        if (image.pack_with_fallback(tables, highest))
            return std::string();
    return packing_reason(tables, image.packing_failures());
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

UnitChange::UnitChange(TBVLink& link, ChangeOptions options, Run run, Ask ask, Stopped stopped)
    : link_(link), options_(std::move(options)), run_(std::move(run)), ask_(std::move(ask)),
      stopped_(std::move(stopped)) {}

bool UnitChange::stop_here() {
    if (stopped_ && stopped_())
        cancelled_ = true;
    return cancelled_;
}

bool UnitChange::perform(int32_t operation, const GROUPTAB& tables) {
    operation_ = operation;
    // A change that cannot be recorded is not made: found before the copy's read, and again
    // by its first line.
    if (options_.journal && !ChangeJournal(options_.folder).ready(why_))
        return false;
    if (options_.backup && !take_copy())
        return false;
    if (stop_here() || !journal_start(operation, tables))
        return false;
    const bool write = operation == TBVLink::kWrite;
    if (write)
        link_.group = tables;
    changed_ = run_(Step::change, operation);
    cancelled_ = !changed_ && link_.cancel.load();
    version_code_ = link_.version_code;
    const TBVLink::Sent sent = changed_ ? TBVLink::Sent::all : link_.sent.load();
    if (sent == TBVLink::Sent::some)
        state_ = State::sending;
    else if (sent == TBVLink::Sent::all)
        state_ = State::all_sent;
    // The read back replaces the link's result; the record keeps the write's.
    const std::time_t moment = std::time(nullptr);
    const std::string result = link_.error_text;
    const std::string version = status_version(link_, operation);
    // The journal has the version read, where the status line names a delete's firmware.
    version_read_ = link_.version_text;
    std::string why;
    if (!journal(journal_word(operation), version_read_, link_result(), write ? &tables : nullptr,
                 std::string(), why))
        journal_error_ = why;
    if (write && changed_ && options_.verify) {
        // A unit that must be switched off and on is read back at once.
        power_cycle_ = generation_of(version_code_).power_cycle;
        verify(tables);
    }
    if (write)
        fill_record(tables, moment, version, result);
    return true;
}

bool UnitChange::journal_start(int32_t operation, const GROUPTAB& tables) {
    if (!options_.journal)
        return true;
    const bool write = operation == TBVLink::kWrite;
    // The version is known when the copy was read.
    const std::string version =
        copy_file_.empty() && copy_note_.empty() ? std::string() : link_.version_text;
    return journal(journal_word(operation), version, cp("Начата"), write ? &tables : nullptr,
                   std::string(), why_);
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
    if (!succeeded() && !unit_state_text().empty())
        r.result += '\r' + unit_state_text();
    r.reach = untouched()                ? WriteRecord::Reach::nothing
              : state_ == State::sending ? WriteRecord::Reach::some
                                         : WriteRecord::Reach::all;
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
        // A cancelled read is not a read that failed: nothing is asked, the change stops.
        cancelled_ = link_.cancel.load();
        if (cancelled_ || !ask_(link_.error_text)) {
            why_ = cp("Копия таблиц системы не прочитана: ") + link_.error_text;
            return false;
        }
        copy_note_ = cp("не сделана: ") + link_.error_text;
        return true;
    }
    if (link_.group.count() == 0 || table_count(link_.group) == 0) {
        copy_note_ = cp("не нужна: в системе нет таблиц");
        state_ = State::copy_taken;
        return true;
    }
    const std::string path = backup_target(options_.backup_path, options_.folder,
                                           link_.version_text, std::time(nullptr));
    if (!save_backup(link_.group, path, why_))
        return false;
    copy_file_ = path;
    state_ = State::copy_taken;
    return true;
}

void UnitChange::verify(const GROUPTAB& sent) {
    verified_ = true;
    std::string result;
    if (stop_here()) {
        verify_error_ = cancelled_text();
        result = interrupted_result();
    } else {
        verify_read_ = run_(Step::verify, TBVLink::kRead);
        cancelled_ = !verify_read_ && link_.cancel.load();
        verify_error_ = cancelled_ ? cancelled_text() : link_.error_text;
        result = link_result();
    }
    state_ = verify_read_ ? State::checked : State::check_unread;
    std::string outcome;
    if (!verify_read_) {
        outcome = cp("не прочитаны: ") + verify_error_;
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
    // The version read back; without a read, the one the write read.
    const std::string version = verify_read_ ? link_.version_text : version_read_;
    std::string why;
    if (!journal("Проверка", version, result, verify_read_ ? &link_.group : nullptr, outcome,
                 why) &&
        journal_error_.empty())
        journal_error_ = why;
}

bool UnitChange::succeeded() const {
    return changed_ && !cancelled_ && (!verified_ || (verify_read_ && differences_.empty()));
}

bool UnitChange::notice_due() const {
    return tables_sent() && (changed_ || !generation_of(version_code_).restarts);
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
    return verify_read_ && power_cycle_
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

std::string UnitChange::link_result() const {
    return !link_.result && link_.cancel.load() ? interrupted_result() : link_.error_text;
}

bool UnitChange::journal(const char* operation, const std::string& version,
                         const std::string& result, const GROUPTAB* tables,
                         const std::string& verification, std::string& why) {
    if (!options_.journal)
        return true;
    JournalEntry entry;
    entry.operation = cp(operation);
    entry.port = options_.port_name;
    entry.version = version;
    entry.result = result;
    if (tables) {
        entry.tables = text_of_integer(table_count(*tables));
        entry.crcs = crc_field(*tables);
    }
    entry.copy = copy_text();
    entry.verification = verification;
    return ChangeJournal(options_.folder).append(entry, std::time(nullptr), why);
}

std::string UnitChange::unit_state_text() const {
    if (untouched())
        return cp("Таблицы в системе не изменены.");
    if (state_ == State::sending)
        return partly_written_text();
    if (operation_ == TBVLink::kClear)
        return cp("Таблицы в системе удалены.");
    return state_ == State::checked ? std::string()
                                    : cp("Таблицы в системе записаны, но не проверены чтением.");
}

std::string cancelled_text() { return cp("Операция прервана пользователем."); }

std::string partly_written_text() {
    return cp("Таблицы в системе могли остаться записанными не полностью.");
}

} // namespace tgm
