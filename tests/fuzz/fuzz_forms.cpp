// Load -> convert -> control -> save of one form kind (TGM_FUZZ_KIND, one target per kind);
// the input is the file. Exports into the other kinds are checked in memory, and the saved
// text must load back to the same tables.
#include "forms/convert.h"
#include "forms/fdata.h"
#include "forms/form_kind.h"
#include "forms/residual.h"
#include "support/message_sink.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class QuietSink : public tgm::MessageSink {
public:
    void show_message(const std::string&, tgm::MessageKind) override {}
};

std::string scratch_folder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/"; }

void write(const std::string& name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        __builtin_trap();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    static QuietSink sink;
    set_message_sink(&sink);
    const int kind = TGM_FUZZ_KIND;
    const std::string base = scratch_folder() + "tgm-fuzz-" + std::to_string(getpid());
    const std::string in = base + form_extension(kind);
    write(in, data, size);

    FDATA d;
    if (d.load_form_file(in)) {
        d.run_control();
        PARTAB t;
        for (uint32_t k = 0; k < d.count; ++k)
            convert_table(d.forms[k], t);
        // A header holding "/" can read back as a comment: the one thing the format cannot
        // carry. Every other file must load back to the same texts.
        bool plain_headers = true;
        for (uint32_t k = 0; k < d.count; ++k)
            plain_headers = plain_headers && d.forms[k].name.find('/') == std::string::npos;
        if (d.save_form_file(in) && plain_headers) {
            FDATA back;
            if (!back.load_form_file(in) || !back.equals(d))
                __builtin_trap();
        }
        GROUPTAB g;
        d.build_group(g);
        for (int target = kFormFs; target <= kFormFs32; ++target) {
            FDATA out;
            if (is_single_table_kind(target))
                out.fill_single_table(g, target, 0);
            else
                out.fill_from_group(g, target);
            (void)out.form_text();
            if (target == kFormFs) {
                // What the editor does to a project's tables.
                for (uint32_t k = 0; k < out.count; ++k)
                    correct_residual_area(out.forms[k]);
                out.run_control();
            }
        }
    }
    unlink(in.c_str());
    return 0;
}
