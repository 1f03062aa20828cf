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

TEST(GraphCommand, AgainstAnotherFileDrawsItsTableOverInTheSecondColour) {
    TempDir dir;
    const std::string ours = dir.file("ours.fs");
    const std::string theirs = dir.file("theirs.fs");
    write_file(ours, "# a\r\n| 0 10 20 30 40 50\r\n# b\r\n| 0 5 10\r\n# c\r\n| 0 5 10\r\n"
                     "# d\r\n| 0 5 10\r\n");
    write_file(theirs, "# a\r\n| 0 10 26 30 40\r\n# gap\r\n# c\r\n| 0 - 20\r\n");
    const std::string plain = dir.file("plain.png");
    const std::string over = dir.file("over.png");
    auto r = run_program("tgm-cli", {"graph", ours, plain, "--mode", "dV"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    r = run_program("tgm-cli", {"graph", ours, over, "--mode", "dV", "--against", theirs});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "OK \t0\t5\n"); // the range and the control text stay the first table's

    const QImage without =
        QImage(QString::fromStdString(plain)).convertToFormat(QImage::Format_RGB32);
    const QImage with = QImage(QString::fromStdString(over)).convertToFormat(QImage::Format_RGB32);
    auto second_colour = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == VGRAF::kOverlayColour;
        return n;
    };
    EXPECT_EQ(second_colour(without), 0);
    EXPECT_GT(second_colour(with), 0);
    EPROJECT a;
    EPROJECT b;
    ASSERT_TRUE(a.open_form(ours));
    ASSERT_TRUE(b.open_form(theirs));
    QImage expected(600, 450, QImage::Format_RGB32);
    VGRAF graph(&expected);
    graph.reset_view(true);
    graph.prepare_graph(a.tables().table(0), VGRAF::kFirstDiff);
    ASSERT_TRUE(graph.set_overlay(&b.tables().table(0), QStringLiteral("theirs.fs")));
    graph.redraw_view();
    EXPECT_EQ(with, expected);

    // The second file's errors end the command as the first file's do, naming the file.
    r = run_program("tgm-cli", {"graph", ours, over, "--channel", "2", "--against", theirs});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Канал 2: пропуск — " + theirs + "\n");
    r = run_program("tgm-cli", {"graph", ours, over, "--channel", "3", "--against", theirs});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Канал 3: таблица не преобразуется (Контроль \"-\") — " + theirs + "\n");
    r = run_program("tgm-cli", {"graph", ours, over, "--channel", "4", "--against", theirs});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Канал 4: нет в файле — " + theirs + "\n");
    EXPECT_EQ(
        run_program("tgm-cli", {"graph", ours, over, "--against", dir.file("none.fs")}).exit_code,
        2);
    EXPECT_EQ(run_program("tgm-cli", {"graph", ours, over, "--against"}).exit_code, 2);
}
