#include "support/cp1251.h"

#include <gtest/gtest.h>

using namespace tgm;

TEST(Cp1251, RoundTripOfEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8_to_cp1251(cp1251_to_utf8(all)), all);
}

TEST(Cp1251, RussianTexts) {
    EXPECT_EQ(utf8_to_cp1251("Файл"), "\xD4\xE0\xE9\xEB");
    EXPECT_EQ(cp1251_to_utf8("\xA8\xB8\xB9"), "Ёё№");
    EXPECT_EQ(cp("Ошибка формы!"), "\xCE\xF8\xE8\xE1\xEA\xE0 \xF4\xEE\xF0\xEC\xFB!");
}

TEST(Cp1251, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(utf8_to_cp1251("a\xE4\xB8\xAD"
                             "b"),
              "a?b");                         // a CJK character
    EXPECT_EQ(utf8_to_cp1251("x\xD0"), "x?"); // cut sequence
    EXPECT_EQ(utf8_to_cp1251("\xFF\xFE"), "??");
    // Overlong forms and surrogates are no UTF-8 either: one "?" per byte.
    EXPECT_EQ(utf8_to_cp1251("\xC1\x81|\xE0\x80\x80|\xED\xA0\x80"), "??|???|???");
}
