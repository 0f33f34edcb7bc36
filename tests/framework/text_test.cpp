#include <gtest/gtest.h>

#include "framework/cp932.h"
#include "framework/exceptions.h"
#include "framework/sysutils.h"

TEST(Cp932, LeadBytesAreTheCodePagesOwn)
{
    EXPECT_FALSE(IsCp932LeadByte(0x5C));
    EXPECT_TRUE(IsCp932LeadByte(0x81));
    EXPECT_TRUE(IsCp932LeadByte(0x9F));
    EXPECT_FALSE(IsCp932LeadByte(0xA0));  // half-width katakana are single bytes
    EXPECT_FALSE(IsCp932LeadByte(0xDF));
    EXPECT_TRUE(IsCp932LeadByte(0xE0));
    EXPECT_TRUE(IsCp932LeadByte(0xFC));
    EXPECT_FALSE(IsCp932LeadByte(0xFD));
    const std::string so = "ソ";  // 0x83 0x5C: a trailing byte equal to a backslash
    ASSERT_EQ(so.size(), 2u);
    EXPECT_EQ(Cp932Next(so, 0), 2u);
}

TEST(Cp932, RoundTripsThroughUtf8)
{
    const std::string text = "出力先ディレクトリ";
    const std::string utf8 = Cp932ToUtf8(text);
    EXPECT_EQ(utf8, std::string("\xE5\x87\xBA\xE5\x8A\x9B\xE5\x85\x88\xE3\x83\x87\xE3\x82\xA3\xE3\x83\xAC\xE3\x82\xAF\xE3\x83\x88\xE3\x83\xAA"));
    EXPECT_EQ(Utf8ToCp932(utf8), text);
}

TEST(StrToInt, AcceptsSignedDecimalAndRejectsTheRest)
{
    EXPECT_EQ(StrToInt("639"), 639);
    EXPECT_EQ(StrToInt(" -12 "), -12);
    EXPECT_EQ(StrToInt("+7"), 7);
    try {
        StrToInt("x");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'x' は数値ではありません");
    }
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}
