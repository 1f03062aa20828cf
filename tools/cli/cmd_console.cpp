// tgm-cli console: the unit's display as the remote console shows it, after the keys given.
// Prints the console's status bar (display kind, OK or ERROR), then the display, a line per row.
#include "cli_common.h"
#include "commands.h"
#include "link_options.h"

#include "console/cons_clnt.h"
#include "console/mchan.h"
#include "ports/port_access.h"
#include "support/cp1251.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace tgm::cli {
namespace {

const char kUsageText[] =
    "usage: tgm-cli [--port P] console [--key C]...  (each --key is one character)";

void print_status(const char* kind_name, bool ok) {
    std::printf("%s\t%s\n", kind_name, ok ? "OK" : "ERROR");
}

} // namespace

int cmd_console(int argc, char** argv) {
    if (link_options().traffic || link_options().trace)
        return usage_error("tgm-cli: console takes --port only",
                           link_options().traffic ? "задано --traffic" : "задано --trace");
    std::string keys;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--key") != 0)
            return usage_error(kUsageText, std::string(argv[i]) +
                                               ": неизвестный параметр; допустим только --key C");
        if (i + 1 >= argc || std::strlen(argv[i + 1]) != 1)
            return usage_error(kUsageText, value_reason("--key", "ровно один символ клавиши",
                                                        i + 1 < argc ? argv[i + 1] : nullptr));
        keys += argv[++i][0];
    }
    int32_t port = 0;
    if (resolve_port(link_options(), port) != kOk)
        return kUsage;

    MCHAN chan;
    chan.port = port;
    if (!chan.open(0)) {
        print_error(cp("Порт занят"));
        const std::string note =
            port < 0 ? missing_device_note(link_options().port) : port_access_note(port);
        if (!note.empty())
            print_error(note);
        return kFailed;
    }
    int32_t kind = 2;
    if (!chan.connect(kind)) {
        print_status("?", false);
        return kFailed;
    }
    // Every key is checked against the display found before any is sent, so a typing mistake
    // never reaches the unit halfway through a sequence.
    CONS_CLNT client;
    client.configure(kind);
    std::vector<int32_t> codes;
    std::string bad;
    for (const char key : keys) {
        int32_t code = 0;
        if (client.accept_key(key) && client.take_key_code(code))
            codes.push_back(code);
        else
            bad += key;
    }
    if (!bad.empty()) {
        std::fprintf(stderr, "tgm-cli: not keys of the display \"%s\": %s\n",
                     CONS_CLNT::kind_name(kind), bad.c_str());
        return kUsage;
    }
    bool ok = true;
    if (codes.empty())
        ok = chan.read_display(client.answer_length);
    for (std::size_t i = 0; i < codes.size() && ok; ++i)
        ok = chan.send_key(client.answer_length, codes[i]);
    print_status(CONS_CLNT::kind_name(kind), ok);
    if (!ok)
        return kFailed;
    client.decode(chan.answer_bytes());
    const std::string shown = client.shown_text();
    for (std::size_t from = 0; from <= shown.size();) {
        const std::size_t cr = shown.find('\r', from);
        print_line(shown.substr(from, cr == std::string::npos ? std::string::npos : cr - from));
        if (cr == std::string::npos)
            break;
        from = cr + 1;
    }
    return kOk;
}

} // namespace tgm::cli
