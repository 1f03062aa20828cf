// tgm.cfg as any bytes, as a save cut off anywhere can leave it: reading never fails hard, the
// keypad type is one of the three, and what was read is what a save then writes and a second
// start reads back.
#include "support/message_sink.h"
#include "support/syscfg.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class Quiet : public tgm::MessageSink {
public:
    void show_message(const std::string&, tgm::MessageKind) override {}
};

// A folder of its own for one input, gone when the input is done.
class Folder {
public:
    Folder() {
        char name[] = "/tmp/fuzz_config.XXXXXX";
        if (::mkdtemp(name) == nullptr)
            std::abort();
        path = std::string(name) + "/";
    }
    ~Folder() {
        std::remove((path + "tgm.cfg").c_str());
        ::rmdir(path.c_str());
    }
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Quiet quiet;
    tgm::set_message_sink(&quiet);
    const Folder folder;
    const std::string file = folder.path + "tgm.cfg";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0)
        std::abort();

    tgm::SYSCFG first;
    first.start_config({}, folder.path, "/forms/");
    const int32_t keypad = first.syspar().console_keyboard;
    if (keypad < 0 || keypad > 2)
        __builtin_trap();
    if (!first.save_config())
        __builtin_trap();
    tgm::SYSCFG second;
    second.start_config({}, folder.path, "/elsewhere/");
    const tgm::CHANPAR& a = first.chanpar();
    const tgm::CHANPAR& b = second.chanpar();
    if (a.port != b.port || a.reserved_1 != b.reserved_1 || a.reserved_2 != b.reserved_2 ||
        a.reserved_3 != b.reserved_3 ||
        first.syspar().forms_folder() != second.syspar().forms_folder() ||
        keypad != second.syspar().console_keyboard)
        __builtin_trap();
    return 0;
}
