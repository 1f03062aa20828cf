#include "forms/residual.h"

#include "forms/form_kind.h"

#include <gtest/gtest.h>

using namespace tgm;

namespace {

FORMA fs_table(std::initializer_list<const char*> volumes, int kind = kFormFs) {
    FORMA f;
    f.make_empty(kind);
    for (const char* v : volumes)
        f.add_point("", v);
    return f;
}

using Texts = std::vector<std::string>;

Texts volumes(const FORMA& f) {
    Texts out;
    for (int32_t i = 0; i < f.point_count(); ++i)
        out.emplace_back(f.volume_text(i));
    return out;
}

} // namespace

TEST(Residual, FillReachesTheBottom) {
    FORMA f = fs_table({"0", "0", "300", "320", "330"});
    ASSERT_TRUE(correct_residual_area(f));
    EXPECT_EQ(volumes(f), (Texts{"230", "270", "300", "320", "330"}));
}

TEST(Residual, FillStopsWithSmallSteps) {
    FORMA f = fs_table({"0", "0", "0", "100", "150", "190"});
    ASSERT_TRUE(correct_residual_area(f));
    EXPECT_EQ(volumes(f), (Texts{"0", "0", "40", "100", "150", "190"}));
}

TEST(Residual, ShrinkingStepsRefillZeros) {
    FORMA f = fs_table({"0", "0", "0", "10", "30", "60"});
    ASSERT_TRUE(correct_residual_area(f));
    EXPECT_EQ(volumes(f), (Texts{"0", "0", "0", "10", "30", "60"}));
}

TEST(Residual, NothingToCorrectStillRewritesTexts) {
    FORMA f = fs_table({"007", "10", "20"});
    ASSERT_TRUE(correct_residual_area(f));
    EXPECT_EQ(volumes(f), (Texts{"7", "10", "20"}));
    FORMA g = fs_table({"0", "0", "-0", "5"}); // no positive value among the first n-2
    ASSERT_TRUE(correct_residual_area(g));
    EXPECT_EQ(volumes(g), (Texts{"0", "0", "0", "5"}));
}

TEST(Residual, RefusesOtherKindsAndBadNumbers) {
    FORMA cubic = fs_table({"0", "0", "0.3", "0.32", "0.33"}, kFormFs1);
    EXPECT_FALSE(correct_residual_area(cubic));
    EXPECT_EQ(cubic.volume_text(2), "0.3");
    FORMA bad = fs_table({"0", "x", "300", "320", "330"});
    EXPECT_FALSE(correct_residual_area(bad));
    EXPECT_EQ(volumes(bad), (Texts{"0", "x", "300", "320", "330"}));
}

TEST(Residual, SearchBoundLeavesTheTableAsItWas) {
    // D = 20000, S = 5: the bottom stays above 32767 for thousands of attempts.
    FORMA f = fs_table({"0", "0", "100000", "120000", "139995"});
    const Texts before = volumes(f);
    EXPECT_FALSE(correct_residual_area(f, 100));
    EXPECT_EQ(volumes(f), before);
    ASSERT_TRUE(correct_residual_area(f)); // the default bound lets it finish
    EXPECT_NE(volumes(f), before);
    EXPECT_EQ(f.volume_text(2), "100000");
}

TEST(Residual, LongResidualRunsEndQuickly) {
    FORMA g;
    g.make_empty(kFormFs);
    for (int i = 0; i < 5000; ++i)
        g.add_point("", "0");
    for (const char* v : {"1", "2147483647", "-2147483648", "5"})
        g.add_point("", v);
    const Texts before = volumes(g);
    if (!correct_residual_area(g)) {
        EXPECT_EQ(volumes(g), before);
    }
}
