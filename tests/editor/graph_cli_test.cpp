// tgm-cli graph: the editor's drawing of one channel as a PNG.
#include "render/vgraf.h"

#include "project/eproject.h"
#include "testing/files.h"
#include "testing/run_program.h"
#include "testing/temp_dir.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

namespace {

std::string example(const char* name) { return examples_dir() + "/" + name; }

} // namespace

TEST(GraphCommand, DrawsTheChannelAsTheEditorDoes) {
    TempDir dir;
    const std::string png = dir.file("tank10.png");
    auto r = run_program("tgm-cli", {"graph", example("tank_farm.fs"), png, "--channel", "10"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "OK*\t0\t1190\n");
    EXPECT_EQ(r.err, "");

    EPROJECT farm;
    ASSERT_TRUE(farm.open_form(example("tank_farm.fs")));
    QImage expected(600, 450, QImage::Format_RGB32);
    VGRAF graph(&expected);
    graph.reset_view(true);
    graph.prepare_graph(farm.tables().table(9), VGRAF::kSecondDiff);
    graph.redraw_view();
    EXPECT_EQ(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32), expected);

    r = run_program("tgm-cli", {"graph", example("tank_farm.fs"), png, "--channel", "15", "--size",
                                "800x600", "--mode", "dV", "--center", "900", "--width", "200"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "OK**\t800\t1000\n");
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(800, 600));
}

TEST(GraphCommand, GapsTablesThatDoNotConvertAndBadOptions) {
    TempDir dir;
    const std::string fs = dir.file("odd.fs");
    write_file(fs, "# a\r\n| 0 10 20\r\n# gap\r\n# b\r\n| 0 - 20\r\n# flat\r\n| 0 0 0\r\n");
    const std::string png = dir.file("g.png");
    const struct {
        const char* channel;
        const char* reason;
    } failures[] = {
        {"2", "Канал 2: пропуск\n"},
        {"3", "Канал 3: таблица не преобразуется (Контроль \"-\")\n"},
        {"4", "Канал 4: диапазон не показан: в нём нет разницы уровней или объёмов\n"},
    };
    for (const auto& f : failures) {
        const auto r = run_program("tgm-cli", {"graph", fs, png, "--channel", f.channel});
        EXPECT_EQ(r.exit_code, 1) << f.channel;
        EXPECT_EQ(r.err, f.reason);
        EXPECT_EQ(r.out, "");
    }
    auto r = run_program("tgm-cli", {"graph", fs, dir.path()});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Ошибка записи файла " + dir.path() + "\n");

    const std::vector<std::vector<std::string>> bad = {
        {"graph", fs},
        {"graph", fs, png, "--channel", "5"},
        {"graph", fs, png, "--channel", "0"},
        {"graph", fs, png, "--size", "99x300"},
        {"graph", fs, png, "--size", "600"},
        {"graph", fs, png, "--mode", "V"},
        {"graph", fs, png, "--center", "5"},
        {"graph", fs, png, "--width", "5"},
        {"graph", fs, png, "--center", "5", "--width", "0"},
        {"graph", fs, png, "--colour", "red"},
        {"graph", fs, png, "--channel"},
        {"graph", dir.file("missing.fs"), png},
    };
    for (const auto& args : bad)
        EXPECT_EQ(run_program("tgm-cli", args).exit_code, 2) << args.back();
}
