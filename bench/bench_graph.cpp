// The table graph of the editor on an 800 x 600 image with the control display on:
// (a) prepare_graph + redraw_view of a 4000-point table;
// (b) a cursor move (scroll_to) that moves a zoomed view of 500 levels;
// (c) a cursor move inside the whole-table view, which redraws only the cursor line.
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "render/vgraf.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace tgm;

constexpr int kPoints = 4000;

// Text drawing needs the application's fonts.
void start_qt() {
    static int argc = 1;
    static char name[] = "bench_graph";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// A tank of 4000 cm: the volume grows faster towards the top, in second differences that fit.
FORMA big_table() {
    FORMA t;
    t.make_empty(kFormFs);
    for (int i = 0; i < kPoints; ++i)
        t.add_point("", text_of_integer(20 * i + i * i / 90));
    t.set_flag(kFilled, true);
    return t;
}

struct Fixture {
    Fixture() : image(800, 600, QImage::Format_RGB32), graph(&image) {
        start_qt();
        graph.reset_view(true);
        graph.prepare_graph(table, VGRAF::kSecondDiff);
        graph.redraw_view();
    }
    FORMA table = big_table();
    QImage image;
    VGRAF graph;
};

void BM_PrepareAndRedraw(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.graph.prepare_graph(f.table, VGRAF::kSecondDiff);
        f.graph.redraw_view();
        benchmark::DoNotOptimize(f.image.constBits());
    }
    if (f.graph.control_text() != "OK ")
        state.SkipWithError("the table does not pass");
}
BENCHMARK(BM_PrepareAndRedraw)->Unit(benchmark::kMillisecond);

void BM_ScrollZoomed(benchmark::State& state) {
    Fixture f;
    f.graph.scroll_to(2000);
    for (int i = 0; i < 3; ++i) // 3999 -> 1999 -> 999 -> 499 levels
        f.graph.narrow_range();
    int32_t level = 250;
    for (auto _ : state) {
        f.graph.scroll_to(level);
        level = level >= kPoints - 250 ? 250 : level + 7;
        benchmark::DoNotOptimize(f.image.constBits());
    }
    if (!f.graph.zoomed())
        state.SkipWithError("not zoomed");
}
BENCHMARK(BM_ScrollZoomed)->Unit(benchmark::kMicrosecond);

void BM_ScrollWhole(benchmark::State& state) {
    Fixture f;
    int32_t level = 0;
    for (auto _ : state) {
        f.graph.scroll_to(level);
        level = (level + 7) % kPoints;
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(BM_ScrollWhole)->Unit(benchmark::kMicrosecond);

} // namespace
