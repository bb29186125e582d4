// String255 cut points and the number texts.
#include <gtest/gtest.h>

#include <string>

#include "common/number_text.h"
#include "common/string255.h"

namespace {

std::string Repeat(char c, size_t n) { return std::string(n, c); }

TEST(String255, AssignmentKeepsTheFirst255Characters) {
    for (size_t n : {254u, 255u, 256u, 1000u}) {
        String255 text = Repeat('a', n - 1) + "Z";
        size_t kept = n < 255 ? n : 255;
        EXPECT_EQ(text.length, kept) << n;
        EXPECT_EQ(text.view(), (Repeat('a', n - 1) + "Z").substr(0, kept)) << n;
        EXPECT_EQ(text.c_str()[kept], '\0');
    }
}

TEST(String255, ConcatenationKeepsTheFirst255Characters) {
    String255 text = Repeat('a', 250);
    text += "bcdef";  // exactly 255
    EXPECT_EQ(text.view(), Repeat('a', 250) + "bcdef");
    text += "g";      // one more is lost
    EXPECT_EQ(text.length, 255);
    EXPECT_EQ(text.view().back(), 'f');

    String255 left = Repeat('x', 200);
    String255 joined = left + String255(Repeat('y', 100));
    EXPECT_EQ(joined.view(), Repeat('x', 200) + Repeat('y', 55));
    EXPECT_EQ((String255(Repeat('x', 254)) + '\\').view(), Repeat('x', 254) + "\\");
    EXPECT_EQ((String255(Repeat('x', 255)) + '\\').view(), Repeat('x', 255));
}

TEST(String255, EqualityIsSameLengthAndSameBytes) {
    EXPECT_TRUE(String255("Recycled") == String255("Recycled"));
    EXPECT_FALSE(String255("Recycled") == String255("recycled"));
    EXPECT_FALSE(String255("Recycle") == String255("Recycled"));
    EXPECT_TRUE(String255("") == String255());
    String255 withZero(std::string_view("a\0b", 3));
    EXPECT_EQ(withZero.length, 3);
    EXPECT_FALSE(withZero == String255("a"));
}

TEST(String255, TruncateNeverGrows) {
    String255 text = "\\Songs\\Live\\";
    text.Truncate(7);
    EXPECT_EQ(text.view(), "\\Songs\\");
    text.Truncate(100);
    EXPECT_EQ(text.view(), "\\Songs\\");
}

TEST(NumberText, DecimalHasNoLeadingZerosAndAMinus) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(26), "26");
    EXPECT_EQ(DecimalText(-2097152), "-2097152");
    EXPECT_EQ(DecimalText(5242880), "5242880");
    EXPECT_EQ(DecimalText(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(DecimalText(INT64_MAX), "9223372036854775807");
}

TEST(NumberText, HexIsFixedWidthUpperCase) {
    EXPECT_EQ(HexText(0xABCD, 4), "ABCD");
    EXPECT_EQ(HexText(0xABCD, 8), "0000ABCD");
    EXPECT_EQ(HexText(0x00c0ffee, 8), "00C0FFEE");
    EXPECT_EQ(HexText(0x123456789, 8), "23456789");
    EXPECT_EQ(HexText(0, 8), "00000000");
}

} // namespace
