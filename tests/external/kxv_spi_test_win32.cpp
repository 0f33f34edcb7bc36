// One plug-in bound and driven, against the test plug-ins of tests/fixtures.
#include <gtest/gtest.h>

#include "external/kxv_spi.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "plugin_fixtures_win32.h"
#include "test_support.h"

namespace {

std::uint32_t Pixel(const TBitmap& bitmap, int x, int y)
{
    return bitmap.ScanLine(y)[x] & 0xFFFFFF;
}

TEST(KxvSpi, BindsTheFormatListAndTheTypeFromInfoZero)
{
    kxvSPI dib(FixturePlugin("fixture_dib"));
    ASSERT_TRUE(dib.Loaded);
    EXPECT_EQ(dib.SpiName, "fixture_dib" + PluginExtension());
    EXPECT_EQ(dib.Filter, "Test DIB|*.tvd");
    EXPECT_EQ(dib.PluginType, 'I' | 'N' << 8);
    EXPECT_EQ(dib.ApiVersion, 0);

    kxvSPI none(FixturePlugin("fixture_no_formats"));
    EXPECT_TRUE(none.Loaded);
    EXPECT_EQ(none.Filter, "");
    kxvSPI described(FixturePlugin("fixture_description_only"));
    EXPECT_TRUE(described.Loaded);
    EXPECT_EQ(described.Filter, "");  // a format without a pattern is left out

    const std::string dir = ScratchDir("spi_bind");
    WriteAll(dir + "\\text.sph", Bytes().str("not a library").data);
    kxvSPI text(dir + "\\text.sph");
    EXPECT_FALSE(text.Loaded);
    EXPECT_EQ(text.FailureReason.rfind("the plug-in does not load (error ", 0), 0u);
}

TEST(KxvSpi, AnInfoTextCutInsideASurrogatePairLosesThatCharacterInsteadOfRaising)
{
    kxvSPI spi(FixturePlugin("fixture_wide"));
    ASSERT_TRUE(spi.Loaded);
    char text[spi::kInfoLength + 1] = {};
    EXPECT_NE(spi.GetPluginInfo(1, text, spi::kInfoLength), 0);
    EXPECT_EQ(std::string(text), std::string(spi::kInfoLength - 3, 'a'));
}

TEST(KxvSpi, MissingPictureExportsFailTheirOperationsOnly)
{
    const std::string dir = ScratchDir("spi_missing");
    kxvSPI spi(FixturePlugin("fixture_no_picture"));
    ASSERT_TRUE(spi.Loaded);
    spi.SetFileName(WriteDibRequest(dir, '2'));
    EXPECT_TRUE(spi.Support);
    EXPECT_FALSE(spi.GetPictureInfo());
    TBitmap bitmap;
    PaletteHandle palette;
    EXPECT_FALSE(spi.GetPicture(&bitmap, palette));
    EXPECT_FALSE(spi.GetPreview(&bitmap, palette));
}

TEST(KxvSpi, TestsFilesByTheirFirstBytes)
{
    const std::string dir = ScratchDir("spi_support");
    kxvSPI spi(FixturePlugin("fixture_dib"));
    EXPECT_FALSE(spi.IsSupport());  // no file name
    WriteAll(dir + "\\other.tvd", Bytes().str("TVDIX2").data);
    spi.SetFileName(dir + "\\other.tvd");
    EXPECT_FALSE(spi.Support);
    spi.SetFileName(WriteDibRequest(dir, '2'));
    EXPECT_TRUE(spi.Support);
    EXPECT_EQ(spi.Width, 2);
    EXPECT_EQ(spi.ColorDepth, 24);
    spi.FileName = dir + "\\missing.tvd";
    EXPECT_THROW(spi.IsSupport(), EFOpenError);
}

TEST(KxvSpi, DecodesEveryDibFormThePluginHandsOver)
{
    const std::string dir = ScratchDir("spi_decode");
    kxvSPI spi(FixturePlugin("fixture_dib"));
    TBitmap bitmap;
    PaletteHandle palette;

    spi.SetFileName(WriteDibRequest(dir, '8'));
    ASSERT_TRUE(spi.GetPicture(&bitmap, palette));
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->palNumEntries, 256);
    EXPECT_EQ(palette->palPalEntry[60].peGreen, 195);
    EXPECT_EQ(Pixel(bitmap, 1, 0), std::uint32_t(30 << 16 | 195 << 8 | 60));

    for (char kind : {'2', 'Z'}) {
        spi.SetFileName(WriteDibRequest(dir, kind));
        ASSERT_TRUE(spi.GetPicture(&bitmap, palette)) << kind;
        EXPECT_FALSE(palette);
        EXPECT_EQ(Pixel(bitmap, 0, 1), 0x0000FFu);  // bottom left blue
        EXPECT_EQ(Pixel(bitmap, 1, 1), 0xFF0000u);
        EXPECT_EQ(Pixel(bitmap, 0, 0), 0x00FF00u);
    }

    spi.SetFileName(WriteDibRequest(dir, 'B'));
    ASSERT_TRUE(spi.GetPicture(&bitmap, palette));
    EXPECT_EQ(Pixel(bitmap, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(bitmap, 1, 0), 0x0000FFu);

    spi.SetFileName(WriteDibRequest(dir, 'V'));
    ASSERT_TRUE(spi.GetPreview(&bitmap, palette));
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(Pixel(bitmap, 1, 0), 0xFF0000u);

    spi.SetFileName(WriteDibRequest(dir, 'C'));
    ASSERT_TRUE(spi.GetPicture(&bitmap, palette));
    EXPECT_EQ(Pixel(bitmap, 2, 0), 9u << 16);

    spi.SetFileName(WriteDibRequest(dir, 'S'));
    EXPECT_THROW(spi.GetPicture(&bitmap, palette), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 4);  // the previous picture stays
}

TEST(KxvSpi, KeepsErrorCodesAndTheInfoText)
{
    const std::string dir = ScratchDir("spi_errors");
    kxvSPI spi(FixturePlugin("fixture_dib"));
    TBitmap bitmap;
    PaletteHandle palette;
    spi.SetFileName(WriteDibRequest(dir, 'E'));
    EXPECT_FALSE(spi.GetPicture(&bitmap, palette));
    EXPECT_EQ(spi.LastError, 5);

    spi.SetFileName(WriteDibRequest(dir, '2'));
    EXPECT_EQ(spi.Info, "");
    spi.SetFileName(WriteDibRequest(dir, 'T'));
    EXPECT_EQ(spi.Info, "comment from the plug-in");
}

TEST(KxvSpi, APluginThatEndsItsHostFailsThatLoadOnly)
{
    const std::string dir = ScratchDir("spi_fault");
    kxvSPI spi(FixturePlugin("fixture_dib"));
    TBitmap bitmap;
    PaletteHandle palette;
    for (char kind : {'F', 'R', 'X', 'O', 'H', 'F'}) {
        spi.SetFileName(WriteDibRequest(dir, kind));
        EXPECT_FALSE(spi.GetPicture(&bitmap, palette)) << kind;
        EXPECT_EQ(spi.LastError, spi::kNotCalled);
        EXPECT_NE(spi.FailureReason, "") << kind;
        spi.SetFileName(WriteDibRequest(dir, '2'));
        EXPECT_TRUE(spi.GetPicture(&bitmap, palette)) << "after " << kind << ": " << spi.FailureReason;
        EXPECT_EQ(Pixel(bitmap, 1, 1), 0xFF0000u);
    }
}

TEST(KxvSpi, NamesOutsideTheAnsiCodePageReachNarrowAndUnicodePlugins)
{
    const std::string dir = ScratchDir("spi_names");
    const std::string picture = dir + "\\漢字Ω_2.tvd", text = dir + "\\漢字Ω_T.tvd";
    WriteAll(picture, Bytes().str("TVDIB2").fill(10).data);
    WriteAll(text, Bytes().str("TVDIBT").fill(10).data);
    TBitmap bitmap;
    PaletteHandle palette;
    for (const char* name : {"fixture_dib", "fixture_wide"}) {
        kxvSPI spi(FixturePlugin(name));
        ASSERT_TRUE(spi.Loaded) << name;
        EXPECT_EQ(spi.Filter, "Test DIB|*.tvd");
        spi.SetFileName(picture);
        ASSERT_TRUE(spi.Support) << name;
        EXPECT_EQ(spi.Width, 2) << name;
        EXPECT_TRUE(spi.GetPicture(&bitmap, palette)) << name << ": " << spi.FailureReason;
        EXPECT_EQ(Pixel(bitmap, 0, 0), 0x00FF00u);
        spi.SetFileName(text);
        EXPECT_EQ(spi.Info, std::string(name) == "fixture_wide" ? "comment from the Unicode export"
                                                                 : "comment from the plug-in");
    }
}

}  // namespace
