// (a) load + convert + control of a 16-table .fs of 4000 points per table;
// (b) converting one .f1 table of 20000 points given out of order.
#include "forms/convert.h"
#include "forms/fdata.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using namespace tgm;

std::string make_farm_file() {
    GROUPTAB g;
    for (int k = 0; k < 16; ++k) {
        PARTAB t(4000);
        for (int i = 0; i < 4000; ++i)
            t.point(i) = static_cast<int32_t>((20 + k) * i + (i * i) / 900);
        g.add_copy(t);
    }
    FDATA d;
    d.fill_from_group(g, kFormFs);
    char name[] = "/tmp/tgm-bench-XXXXXX";
    const int fd = ::mkstemp(name);
    ::close(fd);
    ::unlink(name);
    const std::string file = std::string(name) + ".fs";
    if (!d.save_form_file(file))
        std::abort();
    return file;
}

void BM_LoadConvertControlFs(benchmark::State& state) {
    static const std::string file = make_farm_file();
    for (auto _ : state) {
        FDATA d;
        if (!d.load_form_file(file))
            state.SkipWithError("load failed");
        d.run_control();
        benchmark::DoNotOptimize(d.forms[15].flags);
    }
}
BENCHMARK(BM_LoadConvertControlFs)->Unit(benchmark::kMillisecond);

void BM_ConvertF1(benchmark::State& state) {
    std::mt19937 rng(7);
    FORMA f;
    f.make_empty(kFormF1);
    // 20000 survey points over 6 m, shuffled.
    std::vector<int> levels(20000);
    for (int i = 0; i < 20000; ++i)
        levels[i] = i * 3;
    std::shuffle(levels.begin(), levels.end(), rng);
    for (int l : levels)
        f.add_point(text_of_integer(l), text_of_integer(l * 2 + l / 7));
    PARTAB out;
    for (auto _ : state) {
        if (!convert_table(f, out))
            state.SkipWithError("convert failed");
        benchmark::DoNotOptimize(out.points());
    }
}
BENCHMARK(BM_ConvertF1)->Unit(benchmark::kMillisecond);

} // namespace
