#include "forms/number_text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tgm;

namespace {

std::vector<std::string> scan_all(std::string_view line, bool decimal) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    std::string_view t;
    while (decimal ? scan_decimal(line, pos, t) : scan_integer(line, pos, t))
        out.push_back(decimal ? decimal_text(t) : std::string(t));
    return out;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(NumberText, Scanners) {
    EXPECT_EQ(scan_all("| 12 13 * 14", false), (Texts{"12", "13"}));
    EXPECT_EQ(scan_all("12.5", false), (Texts{"12", "5"}));
    EXPECT_EQ(scan_all("a-b--3", false), (Texts{"-", "-", "-3"}));
    EXPECT_EQ(scan_all("1,5 1.5 1.2.3", true), (Texts{"1.5", "1.5", "1.2", "3"}));
    EXPECT_EQ(scan_all("-,5 x 7.", true), (Texts{"-.5", "7."}));
    EXPECT_EQ(scan_all("*12", true), Texts{});
}

TEST(NumberText, IntegerTexts) {
    int32_t v = 0;
    EXPECT_TRUE(integer_of_text("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(integer_of_text("007", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", "-", "2147483648", "+5", " 5", "5 ", "1.0", "12a"})
        EXPECT_FALSE(integer_of_text(bad, v)) << bad;
}

TEST(NumberText, CubicMetresToLitres) {
    int32_t v = 0;
    ASSERT_TRUE(litres_of_cubic_text("1.234", v));
    EXPECT_EQ(v, 1234);
    ASSERT_TRUE(litres_of_cubic_text("2,5", v));
    EXPECT_EQ(v, 2500);
    ASSERT_TRUE(litres_of_cubic_text("0.0005", v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(litres_of_cubic_text("-1.5", v));
    EXPECT_EQ(v, -1500);
    ASSERT_TRUE(litres_of_cubic_text("7.", v));
    EXPECT_EQ(v, 7000);
    // 0.3 * 1000 in double is 300.00000000000006 and 4.35 * 1000 is 4349.999...; the float
    // step gives the whole litres an engineer expects.
    ASSERT_TRUE(litres_of_cubic_text("4.35", v));
    EXPECT_EQ(v, 4350);
    for (const char* bad : {"", "-", ".", "1e3", "abc", "3000000", "1.5.2"})
        EXPECT_FALSE(litres_of_cubic_text(bad, v)) << bad;
}

TEST(NumberText, CubicTextOfLitres) {
    EXPECT_EQ(cubic_text_of_litres(1000), "1");
    EXPECT_EQ(cubic_text_of_litres(1250), "1.25");
    EXPECT_EQ(cubic_text_of_litres(1234), "1.234");
    EXPECT_EQ(cubic_text_of_litres(0), "0");
    EXPECT_EQ(cubic_text_of_litres(5), "0.005");
    EXPECT_EQ(cubic_text_of_litres(-2500), "-2.5");
    EXPECT_EQ(cubic_text_of_litres(102863299), "102863.297"); // single precision shows here
}

// A spreadsheet's binary noise is rounded away before the cut to tenths or litres; a real
// digit above the ninth place is not.
TEST(NumberText, SpreadsheetNumbersRoundToNineDecimals) {
    struct Case {
        const char* text;
        int digits;
        int32_t value;
        bool exact;
    };
    for (const Case& c :
         {Case{"2,30999999999999", 4, 23100, true}, Case{"18,9429999999999", 3, 18943, true},
          Case{"-0.9999999999", 1, -10, true}, Case{"9.99999999996", 0, 10, true},
          Case{".9999999999", 2, 100, true}, Case{"1.0000000004", 4, 10000, true},
          Case{"2.3099999", 4, 23099, false}, Case{"7,5", 1, 75, true},
          Case{"12", 2, 1200, true}}) {
        int32_t v = 0;
        bool exact = false;
        ASSERT_TRUE(rounded_scaled_decimal(c.text, c.digits, v, exact)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(exact, c.exact) << c.text;
    }
    int32_t v = 0;
    bool exact = false;
    for (const char* bad : {"", "1.23456789012x", "1.2.3", "abc", "99999999999.99999999999"})
        EXPECT_FALSE(rounded_scaled_decimal(bad, 2, v, exact)) << bad;
}
