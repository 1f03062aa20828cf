#include "cli_common.h"
#include "commands.h"
#include "offscreen_painting.h"

#include "forms/number_text.h"
#include "project/eproject.h"
#include "render/vgraf.h"
#include "support/cp1251.h"

#include <QImage>
#include <cstdio>
#include <cstring>
#include <string>

namespace tgm::cli {
namespace {

const char kUsageText[] =
    "usage: tgm-cli graph FILE OUT.png [--channel N] [--size WxH] [--mode ddV|dV] "
    "[--center L --width W] [--against FILE]";

struct GraphOptions {
    std::string file;
    std::string out;
    int32_t channel = 1;
    int32_t width = 600;
    int32_t height = 450;
    int32_t mode = VGRAF::kSecondDiff;
    bool centred = false;
    int32_t centre = 0;
    int32_t range_width = 0;
    bool width_given = false;
    std::string against; // the file whose table of the channel is drawn over FILE's
};

bool number_in(const char* text, int32_t low, int32_t high, int32_t& value) {
    return integer_of_text(text, value) && value >= low && value <= high;
}

// What each option takes, for the line under a refusal.
std::string option_reason(const std::string& name, const char* value) {
    const char* accepted = name == "--channel" ? "канал от 1 до 16"
                           : name == "--size" ? "ШxВ, ширина и высота от 100 до 10000 (600x450)"
                           : name == "--mode"   ? "ddV или dV"
                           : name == "--center" ? "уровень в см, от 0"
                           : name == "--width"  ? "ширина показа в см, от 1"
                                                : nullptr;
    if (!accepted)
        return name + ": неизвестный параметр; допустимы --channel, --size, --mode, --center, "
                      "--width";
    return value_reason(name.c_str(), accepted, value);
}

bool size_of(const char* text, int32_t& width, int32_t& height) {
    const char* x = std::strchr(text, 'x');
    return x && number_in(std::string(text, x).c_str(), 100, 10000, width) &&
           number_in(x + 1, 100, 10000, height);
}

// False on a bad option, with its reason on stderr.
bool parse(int argc, char** argv, GraphOptions& o) {
    if (argc < 3) {
        usage_error(kUsageText, arguments_reason("FILE OUT.png", argc, argv));
        return false;
    }
    o.file = argv[1];
    o.out = argv[2];
    for (int i = 3; i < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = false;
        if (!value) {
            ok = false;
        } else if (name == "--channel") {
            ok = number_in(value, 1, 16, o.channel);
        } else if (name == "--size") {
            ok = size_of(value, o.width, o.height);
        } else if (name == "--mode") {
            ok = std::strcmp(value, "ddV") == 0 || std::strcmp(value, "dV") == 0;
            o.mode = std::strcmp(value, "dV") == 0 ? VGRAF::kFirstDiff : VGRAF::kSecondDiff;
        } else if (name == "--center") {
            ok = o.centred = number_in(value, 0, INT32_MAX, o.centre);
        } else if (name == "--width") {
            ok = o.width_given = number_in(value, 1, INT32_MAX, o.range_width);
        } else if (name == "--against") {
            o.against = value;
            ok = !o.against.empty();
        }
        if (!ok) {
            std::fprintf(stderr, "tgm-cli graph: bad option %s %s\n%s\n%s\n", name.c_str(),
                         value ? value : "", option_reason(name, value).c_str(), kUsageText);
            return false;
        }
    }
    if (o.centred != o.width_given) {
        std::fprintf(stderr, "tgm-cli graph: --center and --width go together\n%s\n%s\n",
                     o.centred ? "задано только --center" : "задано только --width", kUsageText);
        return false;
    }
    return true;
}

// What is wrong with the second file's table, followed by the file's name.
void print_against_error(const std::string& text, const std::string& file) {
    print_error(text + cp(" — ") + utf8_to_cp1251(file));
}

} // namespace

// The table of one channel drawn as the editor draws it with the control display on, into a
// PNG; prints CONTROL, FIRST_LEVEL and LAST_LEVEL of the shown range. With --against, the
// other file's table of the channel is drawn over it as the editor draws the unit's.
int cmd_graph(int argc, char** argv) {
    GraphOptions o;
    if (!parse(argc, argv, o))
        return kUsage;
    EPROJECT project;
    if (!load_for_import(o.file, project))
        return kUsage;
    const std::string channel = cp("Канал ") + text_of_integer(o.channel) + ": ";
    if (o.channel > project.count()) {
        print_error(channel + cp("нет в файле"));
        return kUsage;
    }
    const FORMA& table = project.tables().table(o.channel - 1);
    if (!table.filled()) {
        print_error(channel + cp("пропуск"));
        return kFailed;
    }
    EPROJECT other;
    const FORMA* against = nullptr;
    if (!o.against.empty()) {
        if (!load_for_import(o.against, other))
            return kUsage;
        if (o.channel > other.count()) {
            print_against_error(channel + cp("нет в файле"), o.against);
            return kUsage;
        }
        against = &other.tables().table(o.channel - 1);
        if (!against->filled()) {
            print_against_error(channel + cp("пропуск"), o.against);
            return kFailed;
        }
    }

    OffscreenPainting qt(argv[0]);
    QImage image(o.width, o.height, QImage::Format_RGB32);
    VGRAF graph(&image);
    graph.reset_view(true);
    graph.prepare_graph(table, o.mode);
    if (!graph.valid()) {
        print_unconverted(o.channel - 1);
        return kFailed;
    }
    const std::string::size_type slash = o.against.rfind('/');
    if (against && !graph.set_overlay(against, QString::fromStdString(o.against.substr(
                                                   slash == std::string::npos ? 0 : slash + 1)))) {
        print_against_error(FDATA::unconverted_line(o.channel - 1), o.against);
        return kFailed;
    }
    graph.redraw_view();
    bool shown = graph.range().shown();
    if (shown && o.centred) {
        graph.scroll_to(o.centre);
        shown = graph.set_view(o.centre, o.range_width);
    }
    if (!shown) {
        print_error(channel + cp("диапазон не показан: в нём нет разницы уровней или объёмов"));
        return kFailed;
    }
    if (!image.save(QString::fromStdString(o.out), "PNG")) {
        print_error(cp("Ошибка записи файла ") + o.out);
        return kFailed;
    }
    print_line(graph.control_text() + '\t' + text_of_integer(graph.range().first_level) + '\t' +
               text_of_integer(graph.range().last_level));
    return kOk;
}

} // namespace tgm::cli
