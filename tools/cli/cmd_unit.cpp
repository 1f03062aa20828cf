// tgm-cli read, write, clear and compare: the unit's tables through the link thread, as the
// main window's system commands handle them. Each prints first what the system status bar
// would show: version, result and longest response time, separated by TABs.
#include "change_options.h"
#include "cli_common.h"
#include "cli_platform.h"
#include "commands.h"
#include "link_options.h"
#include "protocol_pdf.h"

#include "changes/unit_change.h"
#include "forms/csv_reader.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "operations/activation_notice.h"
#include "operations/tbvlink.h"
#include "operations/unit_messages.h"
#include "ports/port_access.h"
#include "ports/port_names.h"
#include "project/channel_compare.h"
#include "project/eproject.h"
#include "support/atomic_file.h"
#include "support/cp1251.h"
#include "support/file_locations.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

namespace tgm::cli {
namespace {

const char kWriteUsage[] =
    "usage: tgm-cli [options] write IN [--backup PATH] [--verify] [--protocol OUT.pdf] "
    "[--no-journal]";

std::atomic<bool> interrupted{false};

// A failed operation's exit code: 130 after Ctrl+C.
int failed() { return interrupted.load() ? kInterrupted : kFailed; }

// Ctrl+C is the command's own from its start to its end: it cancels the operation running, so
// the unit is left through the protocol's own abort and the port is closed, and between two
// steps it keeps the next from starting. The default action would end the program between
// steps with nothing said and nothing recorded.
class InterruptGuard {
public:
    InterruptGuard() {
        interrupted.store(false);
        catch_interrupt(interrupted);
    }
    ~InterruptGuard() { release_interrupt(); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Runs one operation on the link thread and waits for it, a Ctrl+C cancelling it. A port that
// is not there gets its reason, as the port's access does in the link.
bool run_operation(TBVLink& link, int32_t operation) {
    link.operation.store(operation);
    link.resume();
    while (link.operation.load() != 0) {
        if (interrupted.load())
            link.cancel.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (link.port < 0 && link.port_note.empty())
        link.port_note = missing_device_note(link_options().port);
    return link.result;
}

// The status line, then on a failure the error on stderr; with --trace the event-log line.
void report(const TBVLink& link, const std::string& version) {
    print_line(version + '\t' + link.error_text + '\t' + text_of_integer(link.max_response.load()));
    if (!link.result)
        print_error(link.error_text);
    if (!link.result && interrupted.load())
        print_error(cancelled_text());
    if (!link.port_note.empty())
        print_error(link.port_note);
    if (link_options().trace && !(link.trace_text.empty() && link.error_text.empty())) {
        std::string line = link.trace_text;
        if (!link.result)
            line += ' ' + (link.cancel.load() ? std::string(" ubreak") : link.error_text);
        print_error(line);
    }
}

// The notice after a write or a clear, its CR and LF as line breaks.
void print_notice(int32_t version_code, const std::string& text) {
    std::string notice = activation_notice(version_code, text);
    if (notice.empty())
        return;
    for (char& c : notice)
        if (c == '\r')
            c = '\n';
    print_line(notice);
}

// The link on the port of the options; false after a usage error.
bool prepare(TBVLink& link) {
    int32_t port = 0;
    if (resolve_port(link_options(), port) != kOk)
        return false;
    link.port = port;
    link.log_traffic = link_options().traffic;
    link.allow_v = true;
    return true;
}

// Runs the operation on the port of the options, as the main window does, and prints the
// status line and any failure. The exit code to end with, or nothing after a success.
std::optional<int> operate(TBVLink& link, int32_t operation) {
    if (!prepare(link))
        return kUsage;
    const bool ok = run_operation(link, operation);
    report(link, status_version(link, operation));
    if (!ok)
        return failed();
    return std::nullopt;
}

// Opens IN as "Открыть" does. Refuses (false, the reason on stderr) a file that does not load
// or holds no table, and with `whole` one whose tables do not all convert.
bool open_project(const char* in, bool whole, EPROJECT& project, std::vector<bool>& unconverted) {
    EPROJECT imported;
    if (!load_for_import(in, imported))
        return false;
    bool any_table = false;
    for (int32_t k = 0; k < imported.count(); ++k)
        any_table = any_table || imported.tables().table(k).filled();
    if (!any_table) {
        print_error(cp("В файле нет таблиц"));
        return false;
    }
    // Taking the tables turns one that does not convert into a gap: note them first.
    imported.update_control();
    for (int32_t k = 0; k < imported.count(); ++k)
        unconverted.push_back(!imported.writable(k));
    // The refusal names each channel that does not convert, as convert's does.
    if (whole && !imported.check_conversion())
        return false;
    project.take_tables(imported);
    return true;
}

// Found before the line is opened, not after an operation of many seconds: false, with the
// reason on stderr, when `path` cannot be written.
bool writable_output(const std::string& path) {
    // Found before the line is opened, not after a read of many seconds.
    const std::string problem = replace_problem(path);
    if (problem.empty())
        return true;
    print_error(cp("Ошибка записи файла ") + utf8_to_cp1251(path));
    print_error(problem);
    return false;
}

// A write or a clear with the steps that make it safe: the journal, the copy with --backup,
// the read back with --verify; after a write that ran, its protocol with --protocol. The copy's
// and the check's reads print no status line. `program` is argv[0] for Qt.
int change(int32_t operation, const GROUPTAB& tables, const ChangeCommandOptions& command,
           char* program) {
    TBVLink link;
    if (!prepare(link))
        return kUsage;
    ChangeOptions options =
        change_options(operation, command.backup, command.verify,
                       link.port >= 0 ? port_device_path(link.port) : link_options().port,
                       command.arguments.empty() ? std::string() : command.arguments[0]);
    options.backup_path = command.backup_path;
    options.journal = command.journal;
    const auto run = [&](UnitChange::Step step, int32_t op) {
        const bool ok = run_operation(link, op);
        if (step == UnitChange::Step::change)
            report(link, status_version(link, op));
        return ok;
    };
    // Scripts are not asked: without its copy the unit is left as it is.
    UnitChange safe(
        link, options, run, [](const std::string&) { return false; },
        [] { return interrupted.load(); });
    if (!safe.perform(operation, tables)) {
        // Why, with the port's reason when the copy's read did not open it; then what the unit
        // holds: nothing was sent.
        if (!safe.why().empty())
            print_error(safe.why());
        if (!link.port_note.empty())
            print_error(link.port_note);
        if (safe.cancelled())
            print_error(cancelled_text());
        print_error(safe.unit_state_text());
        return safe.cancelled() ? kInterrupted : kFailed;
    }
    if (!safe.journal_error().empty())
        print_error(safe.journal_error());
    const std::string done = change_done_text(operation);
    // Last, the page, which says what happened, a failed write or check included; a page asked
    // for and not written fails the command.
    const auto protocol_written = [&] {
        return command.protocol.empty() ||
               write_protocol_pdf(program, safe.record(), command.protocol);
    };
    if (!safe.changed()) {
        // Tables that all went out are active as the notice says, whatever failed after them;
        // then what the unit may hold now, and the copy to write back.
        if (safe.notice_due())
            print_notice(safe.version_code(), done);
        print_error(safe.unit_state_text());
        if (!safe.untouched() && !safe.copy_file().empty())
            print_error(cp("Копия таблиц системы: ") + utf8_to_cp1251(safe.copy_file()));
        protocol_written();
        return failed();
    }
    // The change's own version: a check that did not read has none.
    print_notice(safe.version_code(), done);
    if (!safe.copy_file().empty())
        print_line(cp("Копия таблиц системы: ") + utf8_to_cp1251(safe.copy_file()));
    if (safe.verified()) {
        print_line(safe.verdict_sentence());
        for (const ChannelDifference& d : safe.differences())
            print_line(difference_line(d));
        if (!safe.power_cycle_note().empty())
            print_line(safe.power_cycle_note());
    }
    // A check cancelled, or stopped before it started.
    if (safe.cancelled())
        print_error(cancelled_text());
    if (!safe.succeeded() && !safe.unit_state_text().empty())
        print_error(safe.unit_state_text());
    const bool protocol = protocol_written();
    if (safe.cancelled())
        return kInterrupted;
    return safe.succeeded() && protocol ? kOk : kFailed;
}

} // namespace

bool takes_link_options(int (*run)(int, char**)) {
    return run == cmd_read || run == cmd_write || run == cmd_clear || run == cmd_compare ||
           run == cmd_console;
}

int cmd_read(int argc, char** argv) {
    const InterruptGuard interrupt;
    if (argc != 2)
        return usage_error("usage: tgm-cli [options] read OUT",
                           arguments_reason("OUT", argc, argv));
    const bool csv = is_csv_file_name(argv[1]);
    const int kind = form_type_of_file(argv[1]);
    if (!csv && (kind < kFormFs || kind > kFormFs32)) {
        print_error(cp("Неизвестная форма!"));
        print_error(utf8_to_cp1251(argv[1]) + ": " + cp(kWrittenKinds));
        return kUsage;
    }
    if (!writable_output(argv[1]))
        return kUsage;
    TBVLink link;
    if (const auto end = operate(link, TBVLink::kRead))
        return *end;
    if (link.group.count() == 0) {
        print_line(no_tables_text());
        return kOk;
    }
    EPROJECT project;
    project.take_group(link.group, cp("Система"));
    if (csv) {
        // As convert writes one.
        GROUPTAB group;
        project.build_group(group);
        return write_csv_file(argv[1], group) ? kOk : kFailed;
    }
    return project.export_form(argv[1], kind) ? kOk : kFailed;
}

int cmd_write(int argc, char** argv) {
    const InterruptGuard interrupt;
    ChangeCommandOptions options;
    if (!parse_change_options(argc, argv, true, options) || options.arguments.size() != 1)
        return usage_error(kWriteUsage, change_usage_reason(options, "IN"));
    if (const std::string replaced = input_replaced(options); !replaced.empty())
        return usage_error(kWriteUsage, replaced);
    if (!options.protocol.empty() && !protocol_available())
        return usage_error("tgm-cli write --protocol: this build has no Qt to draw with");
    EPROJECT project;
    std::vector<bool> unconverted;
    if (!open_project(options.arguments[0].c_str(), true, project, unconverted))
        return kUsage;
    if (!options.protocol.empty() && !writable_output(options.protocol))
        return kUsage;
    GROUPTAB tables;
    project.build_group(tables);
    return change(TBVLink::kWrite, tables, options, argv[0]);
}

int cmd_clear(int argc, char** argv) {
    const InterruptGuard interrupt;
    ChangeCommandOptions options;
    if (!parse_change_options(argc, argv, false, options) || !options.arguments.empty())
        return usage_error("usage: tgm-cli [options] clear [--backup PATH] [--no-journal]",
                           change_usage_reason(options, ""));
    return change(TBVLink::kClear, GROUPTAB(), options, argv[0]);
}

int cmd_compare(int argc, char** argv) {
    const InterruptGuard interrupt;
    if (argc != 2)
        return usage_error("usage: tgm-cli [options] compare IN",
                           arguments_reason("IN", argc, argv));
    EPROJECT project;
    std::vector<bool> unconverted;
    if (!open_project(argv[1], false, project, unconverted))
        return kUsage;
    TBVLink link;
    if (const auto end = operate(link, TBVLink::kRead))
        return *end;
    if (link.group.count() == 0) {
        print_line(no_tables_text()); // the project has tables, the unit none
        return kDiffers;
    }
    // A table that does not convert is not the unit's, whatever the unit holds in its place.
    GROUPTAB ours;
    project.build_group(ours);
    const std::vector<ChannelDifference> differences =
        compare_channels(link.group, ours, unconverted);
    print_line(comparison_sentence(differences.empty()));
    for (const ChannelDifference& d : differences)
        print_line(difference_line(d));
    return differences.empty() ? kOk : kDiffers;
}

} // namespace tgm::cli
