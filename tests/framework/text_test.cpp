#include <gtest/gtest.h>

#include "framework/utf8.h"
#include "framework/exceptions.h"
#include "framework/sysutils.h"

TEST(Utf8, StepsOverWholeCharactersAndOneByteOfMalformedOnes)
{
    const std::string text = "a¥ソ😀";  // 1, 2, 3 and 4 bytes
    EXPECT_EQ(Utf8Next(text, 0), 1u);
    EXPECT_EQ(Utf8Next(text, 1), 3u);
    EXPECT_EQ(Utf8Next(text, 3), 6u);
    EXPECT_EQ(Utf8Next(text, 6), 10u);
    EXPECT_EQ(Utf8CodeAt(text, 6), U'\U0001F600');
    // Truncated, overlong, surrogate, beyond U+10FFFF, stray continuation.
    for (const std::string bad : {"\xE3\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
        EXPECT_EQ(Utf8Next(bad, 0), 1u) << bad.size();
        EXPECT_EQ(Utf8CodeAt(bad, 0), U'\uFFFD');
        EXPECT_FALSE(IsValidUtf8(bad));
        EXPECT_FALSE(IsValidUtf8("ok" + bad + "ok"));
    }
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_TRUE(IsValidUtf8(""));
}

TEST(Utf8, Cp932WidthIsTheCodePagesByteCount)
{
    EXPECT_EQ(Cp932Width(U'A'), 1);
    EXPECT_EQ(Cp932Width(U'\\'), 1);
    EXPECT_EQ(Cp932Width(U'ｿ'), 1);  // half-width katakana: 0xA1-0xDF
    EXPECT_EQ(Cp932Width(U'ﾟ'), 1);
    EXPECT_EQ(Cp932Width(U'ソ'), 2);
    EXPECT_EQ(Cp932Width(U'＼'), 2);
    // Characters the code page cannot hold count as double-byte ones.
    EXPECT_EQ(Cp932Width(U'한'), 2);
    EXPECT_EQ(Cp932Width(U'\U0001F600'), 2);
    EXPECT_EQ(Cp932Width(U'Ü'), 2);
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
