// Packing and unpacking a full group: 16 channels, 16 distinct tables of 4000 points that fit
// every layout, so each type does its whole work.
#include "encoding/arj_tab.h"
#include "encoding/wtrp_tab.h"

#include <benchmark/benchmark.h>

using namespace tgm;

namespace {

GROUPTAB full_group() {
    GROUPTAB g;
    for (int32_t k = 0; k < 16; ++k) {
        PARTAB t(4000);
        // A rising tank table: a slowly growing step, different for every channel.
        for (int32_t i = 0; i < 4000; ++i)
            t.point(i) = k + i * (5 + k) + i * i / (200 + 10 * k);
        g.add_copy(t);
    }
    return g;
}

const GROUPTAB& group() {
    static const GROUPTAB g = full_group();
    return g;
}

template <class Image>
void pack_loop(benchmark::State& state, Image& image) {
    for (auto _ : state) {
        image.pack(group());
        benchmark::DoNotOptimize(image.image());
    }
    if (image.failures() != 0)
        state.SkipWithError("tables did not fit");
    state.counters["image_bytes"] = image.image_size();
}

template <class Image>
void unpack_loop(benchmark::State& state, Image& image) {
    image.pack(group());
    GROUPTAB out;
    for (auto _ : state) {
        if (image.unpack(out) != 0)
            state.SkipWithError("did not decode");
        benchmark::DoNotOptimize(out.item(15).points());
    }
}

// Trp by mode: 0 and 1 give types 0 and 1; 2 and 3 give type 3 with methods chosen per table.
TWTrpTab trp_of_mode(const benchmark::State& state) {
    TWTrpTab image;
    image.set_mode(static_cast<uint8_t>(state.range(0)));
    return image;
}

void BM_PackArj(benchmark::State& state) {
    TArjTab image(static_cast<uint8_t>(state.range(0)));
    pack_loop(state, image);
}
BENCHMARK(BM_PackArj)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PackTrp(benchmark::State& state) {
    TWTrpTab image = trp_of_mode(state);
    pack_loop(state, image);
}
BENCHMARK(BM_PackTrp)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_UnpackArj(benchmark::State& state) {
    TArjTab image(static_cast<uint8_t>(state.range(0)));
    unpack_loop(state, image);
}
BENCHMARK(BM_UnpackArj)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_UnpackTrp(benchmark::State& state) {
    TWTrpTab image = trp_of_mode(state);
    unpack_loop(state, image);
}
BENCHMARK(BM_UnpackTrp)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace
