#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "framework/bitmap.h"
#include "gif/gif_writer.h"
#include "image/kxv_super_image.h"
#include "test_support.h"

namespace {

// An outside reader that takes the files whose names it was given, drawing a
// 3 x 2 picture with a 2-entry palette, and records what it was asked.
class FakeReader : public TExternalReader {
public:
    bool on = false;
    bool refusesToStart = false;
    std::string path;
    std::string filter;
    std::vector<std::string> reads;   // names it decodes
    std::vector<std::string> asked;   // every LoadFromFile
    std::string refusal;              // what it says of the files it does not decode
    PaletteHandle held;

    bool Enable() const override { return on; }
    void SetEnable(bool value) override { on = value && !refusesToStart; }
    std::string Path() const override { return path; }
    void SetPath(const std::string& value) override { path = value; on = !refusesToStart; }
    std::string GetFilter() override { return filter; }
    bool LoadFromFile(const std::string& name, TBitmap& bitmap) override
    {
        asked.push_back(name);
        if (!on || std::find(reads.begin(), reads.end(), name) == reads.end()) return false;
        bitmap.SetSize(3, 2);
        held = NewPalette(2);
        held->palPalEntry[1].peGreen = 200;
        return true;
    }
    std::string Refusal() const override { return refusal; }
    int SourceColorDepth() const override { return 1; }
    const TLogPalette* SourcePalette() const override { return held.get(); }
    void SetPalette(PaletteHandle palette) override { held = std::move(palette); }
};

struct Loader {
    FakeReader* susie;
    FakeReader* gv;
    std::unique_ptr<kxvSuperImage> image;
    Loader()
    {
        auto s = std::make_unique<FakeReader>();
        auto g = std::make_unique<FakeReader>();
        susie = s.get();
        gv = g.get();
        image = std::make_unique<kxvSuperImage>(std::move(s), std::move(g));
    }
};

// 4 x 3, red, green, blue and white in its table; each frame fills the screen
// with one index.
std::vector<std::uint8_t> SmallGif(std::initializer_list<std::uint8_t> frameIndices = {2})
{
    GifImage gif;
    gif.width = 4;
    gif.height = 3;
    gif.globalRgb = Rgb({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    for (const std::uint8_t index : frameIndices) {
        GifFrame frame;
        frame.width = 4;
        frame.height = 3;
        frame.pixels.assign(12, index);
        gif.frames.push_back(frame);
    }
    return EncodeGif(gif);
}

}  // namespace

TEST(KxvSuperImage, ContentChoosesTheReaderNotTheName)
{
    const std::string dir = ScratchDir("super_content");
    Loader loader;
    loader.image->GIF.UseDelay = false;
    WriteAll(dir + PathSep() + "gif.bmp", SmallGif());
    loader.image->ColorDepth = 24;
    ASSERT_TRUE(loader.image->LoadFromFile(dir + PathSep() + "gif.bmp"));
    EXPECT_EQ(loader.image->Picture().Width(), 4);
    EXPECT_EQ(loader.image->Picture().Bitmap().ScanLine(0)[0] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(loader.image->ColorDepth, 4);  // the depth of its 4-entry global table
    ASSERT_NE(loader.image->Palette(), nullptr);
    EXPECT_EQ(loader.image->Palette()->palNumEntries, 4);
    EXPECT_EQ(loader.image->GIF.Palette(), nullptr);

    // A bitmap under a foreign name is read as a bitmap.
    TBitmap bitmap;
    bitmap.PixelFormat = pf8bit;
    bitmap.SetSize(5, 6);
    bitmap.SaveToFile(dir + PathSep() + "bitmap.gif");
    ASSERT_TRUE(loader.image->LoadFromFile(dir + PathSep() + "bitmap.gif"));
    EXPECT_EQ(loader.image->Picture().Width(), 5);
    EXPECT_EQ(loader.image->ColorDepth, 8);
    EXPECT_TRUE(kxvSuperImage::IsBitmap(dir + PathSep() + "bitmap.gif"));
    EXPECT_FALSE(kxvSuperImage::IsBitmap(dir + PathSep() + "gif.bmp"));
    // Neither went to the outside readers.
    EXPECT_TRUE(loader.susie->asked.empty());
    EXPECT_TRUE(loader.gv->asked.empty());
}

// A load started while another one is drawing (a GIF's frame handler runs
// messages) must not take the bytes the first one is still reading.
TEST(KxvSuperImage, ALoadInsideALoadLeavesTheOuterFilesBytesAlone)
{
    const std::string dir = ScratchDir("super_nested");
    Loader loader;
    loader.image->GIF.UseDelay = false;
    WriteAll(dir + PathSep() + "two.gif", SmallGif({0, 1}));
    TBitmap larger;  // its file is larger than the GIF's
    larger.SetSize(40, 30);
    larger.SaveToFile(dir + PathSep() + "larger.bmp");

    bool nestedLoaded = false;
    loader.image->GIF.OnPaint = [&](kxvGIF&, kxRect*) {
        if (!nestedLoaded) nestedLoaded = loader.image->LoadFromFile(dir + PathSep() + "larger.bmp");
    };
    ASSERT_TRUE(loader.image->LoadFromFile(dir + PathSep() + "two.gif"));
    EXPECT_TRUE(nestedLoaded);
    EXPECT_EQ(loader.image->Picture().Bitmap().ScanLine(2)[3] & 0xFFFFFF, 0x00FF00u);  // the second frame
}

TEST(KxvSuperImage, OutsideReadersInOrderAndWhatEachFailureLearned)
{
    const std::string dir = ScratchDir("super_order");
    Loader loader;
    const std::string empty = dir + PathSep() + "empty.bmp";
    const std::string gvOnly = dir + PathSep() + "picture.xyz";
    WriteAll(empty, {});
    WriteAll(gvOnly, {'x', 'y', 'z'});
    loader.image->ColorDepth = 24;
    loader.image->Picture().Bitmap().SetSize(7, 7);

    // Both outside readers off: an empty file is no picture.
    EXPECT_FALSE(loader.image->LoadFromFile(empty));
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::Unrecognised);

    // The empty name and a missing file touch nothing.
    EXPECT_FALSE(loader.image->LoadFromFile(""));
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::NotFound);
    EXPECT_FALSE(loader.image->LoadFromFile(dir + PathSep() + "missing.gif"));
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::NotFound);
    EXPECT_EQ(loader.image->Picture().Width(), 7);
    EXPECT_EQ(loader.image->ColorDepth, 24);
    EXPECT_EQ(loader.image->Palette(), nullptr);

    // Susie on and asked first; it refuses, GV decodes.
    loader.image->SetSusieEnable(true);
    loader.image->SetGVEnable(true);
    loader.gv->reads = {gvOnly};
    loader.susie->asked.clear();
    loader.gv->asked.clear();
    ASSERT_TRUE(loader.image->LoadFromFile(gvOnly));
    EXPECT_EQ(loader.susie->asked, std::vector<std::string>{gvOnly});
    EXPECT_EQ(loader.gv->asked, std::vector<std::string>{gvOnly});
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::None);
    EXPECT_EQ(loader.image->Picture().Width(), 3);
    EXPECT_EQ(loader.image->ColorDepth, 1);
    ASSERT_NE(loader.image->Palette(), nullptr);
    EXPECT_EQ(loader.image->Palette()->palPalEntry[1].peGreen, 200);
    EXPECT_EQ(loader.gv->held, nullptr);  // handed over

    // When Susie takes the file, GV is not asked.
    loader.susie->reads = {gvOnly};
    loader.gv->asked.clear();
    ASSERT_TRUE(loader.image->LoadFromFile(gvOnly));
    EXPECT_TRUE(loader.gv->asked.empty());
    EXPECT_EQ(loader.susie->held, nullptr);
}

// What an outside reader says of a file it took and failed on is the load's
// message, the plug-ins' first; once one decodes, none is.
TEST(KxvSuperImage, AnOutsideReadersRefusalIsTheFailuresMessage)
{
    const std::string dir = ScratchDir("super_refusal");
    Loader loader;
    const std::string file = dir + PathSep() + "picture.xyz";
    WriteAll(file, {'x', 'y', 'z'});
    loader.image->SetSusieEnable(true);
    loader.image->SetGVEnable(true);
    loader.gv->refusal = "GV: no request";
    EXPECT_FALSE(loader.image->LoadFromFile(file));
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::Unrecognised);
    EXPECT_EQ(loader.image->LastFailureMessage(), "GV: no request");
    loader.susie->refusal = "dib.spi: the plug-in reported error 5";
    EXPECT_FALSE(loader.image->LoadFromFile(file));
    EXPECT_EQ(loader.image->LastFailureMessage(), "dib.spi: the plug-in reported error 5");
    loader.gv->reads = {file};
    EXPECT_TRUE(loader.image->LoadFromFile(file));
    EXPECT_EQ(loader.image->LastFailureMessage(), "");
}

TEST(KxvSuperImage, BrokenGifIsMalformedWithTheDecodersMessage)
{
    const std::string dir = ScratchDir("super_broken");
    Loader loader;
    std::vector<std::uint8_t> gif = SmallGif();
    gif.resize(gif.size() - 6);
    WriteAll(dir + PathSep() + "cut.gif", gif);
    EXPECT_FALSE(loader.image->LoadFromFile(dir + PathSep() + "cut.gif"));
    EXPECT_EQ(loader.image->LastFailure(), TLoadFailure::Malformed);
    EXPECT_EQ(loader.image->LastFailureMessage(), "GIFイメージが不正です");
}

TEST(KxvSuperImage, SwitchesAndLocationsAreTheReadersOwn)
{
    Loader loader;
    loader.gv->refusesToStart = true;
    loader.image->SetGVEnable(true);
    EXPECT_FALSE(loader.image->GVEnable);
    loader.image->SetGVPath("C:\\gv\\gv.exe");
    EXPECT_FALSE(loader.image->GVEnable);
    EXPECT_EQ(loader.image->GetGVPath(), "C:\\gv\\gv.exe");
    loader.image->SetSusiePath("C:\\plugins");
    EXPECT_TRUE(loader.image->SusieEnable);
    EXPECT_EQ(loader.image->GetSusiePath(), "C:\\plugins");
    loader.image->SetSusieEnable(false);
    EXPECT_FALSE(loader.image->SusieEnable);
}

TEST(KxvSuperImage, FilterForEveryCombinationOfReaders)
{
    Loader loader;
    loader.susie->filter = "JPEG|*.JPG;*.JPEG|PNG|*.PNG";
    loader.gv->filter = "ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP|ポスター|*.PST";  // the second byte of "ポ" is "|"
    EXPECT_EQ(loader.image->GetFilter(),
              "画像ﾌｧｲﾙ|*.BMP;*.RLE;*.RGB;*.DIB;*.GIF|すべてのﾌｧｲﾙ|*.*|ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB|GIF|*.GIF");
    loader.susie->on = true;
    EXPECT_EQ(loader.image->GetFilter(),
              "画像ﾌｧｲﾙ|*.BMP;*.RLE;*.RGB;*.DIB;*.JPG;*.JPEG;*.PNG|すべてのﾌｧｲﾙ|*.*|"
              "ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB|JPEG|*.JPG;*.JPEG|PNG|*.PNG");
    loader.susie->filter.clear();
    EXPECT_EQ(loader.image->GetFilter(),
              "画像ﾌｧｲﾙ|*.BMP;*.RLE;*.RGB;*.DIB|すべてのﾌｧｲﾙ|*.*|ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB");
    const std::string gvOnly = "画像ﾌｧｲﾙ|*.BMP;*.PST|すべてのﾌｧｲﾙ|*.*|ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP|ポスター|*.PST";
    loader.gv->on = true;
    EXPECT_EQ(loader.image->GetFilter(), gvOnly);
    loader.susie->on = false;
    EXPECT_EQ(loader.image->GetFilter(), gvOnly);
}
