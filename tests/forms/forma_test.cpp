#include "forms/forma.h"

#include "forms/form_kind.h"
#include "support/cp1251.h"

#include <gtest/gtest.h>

using namespace tgm;

namespace {

std::vector<std::string> volumes(const FORMA& f) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < f.point_count(); ++i)
        out.emplace_back(f.volume_text(i));
    return out;
}

std::vector<std::string> levels(const FORMA& f) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < f.point_count(); ++i)
        out.emplace_back(f.level_text(i));
    return out;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(Forma, KindsAndCaptions) {
    FORMA f;
    f.make_new(kFormFs1);
    EXPECT_EQ(f.level_caption, cp("L <см>"));
    EXPECT_EQ(f.volume_caption, cp("V <м.куб>"));
    EXPECT_TRUE(f.has(kLevelIsIndex));
    EXPECT_TRUE(f.filled());
    EXPECT_EQ(levels(f), (Texts{"0", "1"}));
    EXPECT_EQ(volumes(f), (Texts{"0", "1"}));
    f.make_empty(kFormF1);
    EXPECT_EQ(f.level_caption, cp("L <мм*10>"));
    EXPECT_EQ(f.volume_caption, cp("V <литр>"));
    EXPECT_FALSE(f.has(kLevelIsIndex));
    EXPECT_EQ(f.point_count(), 0);
    EXPECT_EQ(f.flags, 0u);
}

TEST(Forma, IndexLevelsFollowInsertAndDelete) {
    FORMA f;
    f.make_new(kFormFs);
    f.add_point("ignored", "5");
    EXPECT_EQ(levels(f), (Texts{"0", "1", "2"}));
    ASSERT_TRUE(f.insert_point(0, "", "9"));
    EXPECT_EQ(levels(f), (Texts{"0", "1", "2", "3"}));
    EXPECT_EQ(volumes(f), (Texts{"9", "0", "1", "5"}));
    EXPECT_FALSE(f.insert_point(5, "", "1"));
    ASSERT_TRUE(f.delete_point(1));
    ASSERT_TRUE(f.delete_point(0));
    EXPECT_EQ(levels(f), (Texts{"0", "1"}));
    EXPECT_FALSE(f.delete_point(0)); // never below two points
    EXPECT_EQ(volumes(f), (Texts{"1", "5"}));
}

TEST(Forma, EqualsIgnoresFlags) {
    FORMA a, b;
    a.make_new(kFormFs);
    b.assign(a);
    b.flags |= kConverts;
    EXPECT_TRUE(a.equals(b));
    b.name = "x";
    EXPECT_FALSE(a.equals(b));
    b.assign(a);
    b.set_volume_text(1, "2");
    EXPECT_FALSE(a.equals(b));
}

TEST(Forma, CountLines) {
    FORMA f;
    f.make_empty(kFormFs1);
    f.parse_line("|3");
    f.parse_line("0.5");
    f.parse_line("0,75");
    EXPECT_EQ(volumes(f), (Texts{"0", "0", "0", "0.5", "0.75"}));
    f.parse_line("| 2 ignored 7");
    EXPECT_EQ(volumes(f), (Texts{"0", "0"}));
    f.parse_line("| none");
    EXPECT_EQ(f.point_count(), 2);
    f.parse_line("|-4");
    EXPECT_EQ(f.point_count(), 0);
    // A count no unit table could hold is refused and changes nothing.
    f.parse_line("0.1");
    f.parse_line("| 2000000000");
    EXPECT_EQ(volumes(f), Texts{"0.1"});
    EXPECT_TRUE(f.set_zero_points("65535"));
    EXPECT_EQ(f.point_count(), 65535);
    EXPECT_EQ(f.level_text(65534), "65534");
}

TEST(Forma, ParseLineByKind) {
    FORMA fs;
    fs.make_empty(kFormFs);
    fs.parse_line("12 13");        // not a bar line: ignored
    fs.parse_line("| 12 13 * 14"); // nothing after "*" is read
    fs.parse_line("|1.5");         // an integer line: two numbers
    EXPECT_EQ(volumes(fs), (Texts{"12", "13", "1", "5"}));

    FORMA fs2;
    fs2.make_empty(kFormFs32);
    fs2.parse_line("100 -3 x 7");
    fs2.parse_line("-");
    EXPECT_EQ(volumes(fs2), (Texts{"100", "-3", "7", "-"}));

    FORMA f1;
    f1.make_empty(kFormF1);
    f1.parse_line("| 300 150 99");
    f1.parse_line("| 100");
    f1.parse_line("|");
    f1.parse_line("200 20"); // not a bar line
    EXPECT_EQ(levels(f1), (Texts{"300", "100"}));
    EXPECT_EQ(volumes(f1), (Texts{"150", ""}));
}
