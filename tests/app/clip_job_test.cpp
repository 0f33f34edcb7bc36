// The run checks, the output name, the preview captions, cancel, and what one
// file's crop holds.
#include <gtest/gtest.h>

#include "app/clip_job.h"
#include "fake_clip_host.h"
#include "framework/bitmap.h"
#include "framework/file_system.h"
#include "test_support.h"

namespace {

const std::string kBadRect = "クリップ範囲の指定が正しくありません";
const std::string kNoFiles = "ファイルが指定されていません";
const std::string kCreateQuestion = "出力先のディレクトリを作成していいですか？";
const std::string kCreateFailed = "出力先ディレクトリが作成できません";
const std::string kFileInTheWay = "出力先と同じ名前のファイルがあります";

std::string Join(const std::string& dir, const std::string& name)
{
    return dir + PathSep() + name;
}

struct Job {
    FakeClipHost host;
    FakeImage image;
    TClipJob job{host, image};
    Job() { host.Job = &job; }
    bool Ran() const { return host.Status == "ファイルをドラッグ＆ドロップして下さい"; }
};

}  // namespace

TEST(RunChecks, RectangleFirstThenListThenDirectory)
{
    Job j;
    j.host.Directory = Join(ScratchDir("checks_order"), "missing");
    j.job.ClipRect = kxRect(10, 0, 9, 480);  // "Right" edit two below "Left": width -1
    j.job.ButtonRunClick();
    EXPECT_EQ(j.host.Errors, std::vector<std::string>{kBadRect});

    j.job.ClipRect = kxRect(0, 10, 640, 9);
    j.job.ButtonRunClick();
    EXPECT_EQ(j.host.Errors.back(), kBadRect);

    j.job.ClipRect = kxRect(0, 0, 640, 480);
    j.job.ButtonRunClick();
    EXPECT_EQ(j.host.Errors.back(), kNoFiles);
    EXPECT_TRUE(j.host.Questions.empty());
    EXPECT_FALSE(j.Ran());
    EXPECT_EQ(PathKind(j.host.Directory), TPathKind::NotFound);
}

TEST(RunChecks, ZeroWidthPassesAndRuns)
{
    Job j;
    j.host.Directory = ScratchDir("checks_zero");
    j.host.AddEntries({"a.gif"});
    j.image.Add("a.gif", {80, 60, 24});
    j.job.ClipRect = kxRect(10, 0, 10, 480);
    j.job.ButtonRunClick();
    ASSERT_TRUE(j.Ran());
    // Nothing to write: the writer refuses an empty bitmap.
    EXPECT_EQ(j.host.Results(), std::vector<std::string>{"NG"});
    EXPECT_EQ(j.host.Errors, std::vector<std::string>{"Save Error!"});
}

TEST(RunChecks, MissingDirectoryIsCreatedOnlyOnYes)
{
    const std::string root = ScratchDir("checks_missing");
    for (TConfirmAnswer answer : {TConfirmAnswer::No, TConfirmAnswer::Cancel}) {
        Job j;
        j.host.AddEntries({"a.gif"});
        j.host.Directory = Join(root, "out");
        j.host.Answer = answer;
        j.job.ButtonRunClick();
        EXPECT_EQ(j.host.Questions, std::vector<std::string>{kCreateQuestion});
        EXPECT_TRUE(j.host.Errors.empty());
        EXPECT_FALSE(j.Ran());
        EXPECT_EQ(PathKind(j.host.Directory), TPathKind::NotFound);
    }
    Job j;
    j.host.AddEntries({"a.gif"});
    j.image.Add("a.gif", {8, 8, 24});
    j.host.Directory = Join(root, "out");
    j.job.ButtonRunClick();
    EXPECT_EQ(PathKind(j.host.Directory), TPathKind::Directory);
    EXPECT_TRUE(j.Ran());
    EXPECT_TRUE(FileExists(Join(j.host.Directory, "a.bmp")));
}

TEST(RunChecks, DirectoryIsCreatedOneLevelOnly)
{
    Job j;
    j.host.AddEntries({"a.gif"});
    j.host.Directory = Join(Join(ScratchDir("checks_deep"), "parent"), "out");
    j.job.ButtonRunClick();
    EXPECT_EQ(j.host.Errors, std::vector<std::string>{kCreateFailed});
    EXPECT_FALSE(j.Ran());
}

TEST(RunChecks, FileInPlaceOfTheDirectoryIsRefused)
{
    Job j;
    j.host.AddEntries({"a.gif"});
    j.host.Directory = Join(ScratchDir("checks_file"), "out");
    WriteAll(j.host.Directory, {1, 2, 3});
    j.job.ButtonRunClick();
    EXPECT_EQ(j.host.Errors, std::vector<std::string>{kFileInTheWay});
    EXPECT_TRUE(j.host.Questions.empty());
    EXPECT_FALSE(j.Ran());
}

TEST(RunChecks, EmptyDirectoryWritesBesideTheSource)
{
    const std::string dir = ScratchDir("checks_beside");
    Job j;
    const std::string source = Join(dir, "photo.gif");
    j.host.AddEntries({source});
    j.image.Add(source, {16, 16, 24});
    j.job.ButtonRunClick();
    EXPECT_TRUE(j.host.Questions.empty());
    EXPECT_EQ(j.host.Results(), std::vector<std::string>{"OK"});
    EXPECT_TRUE(FileExists(Join(dir, "photo.bmp")));
}

TEST(OutputName, WindowsRules)
{
    const auto name = [](const std::string& source, const std::string& directory) {
        return TClipJob::OutputName(source, directory, WindowsPathRules);
    };
    EXPECT_EQ(name("C:\\in\\photo.gif", "D:\\out"), "D:\\out\\photo.bmp");
    EXPECT_EQ(name("C:\\in\\photo.gif", ""), "C:\\in\\photo.bmp");
    EXPECT_EQ(name("C:\\in\\README", "D:\\out"), "D:\\out\\README.bmp");
    EXPECT_EQ(name("README", ""), "README.bmp");
    // The directory is used as typed: a trailing separator doubles.
    EXPECT_EQ(name("C:\\in\\a.b.gif", "D:\\out\\"), "D:\\out\\\\a.b.bmp");
    // A dot in a directory is no extension; neither is one before a drive.
    EXPECT_EQ(name("C:\\in.d\\README", ""), "C:\\in.d\\README.bmp");
    EXPECT_EQ(name("x.y:README", ""), "x.y:README.bmp");
    EXPECT_EQ(name("C:photo.gif", "D:\\out"), "D:\\out\\photo.bmp");
    EXPECT_EQ(name("C:/in/photo.gif", "D:/out"), "D:/out\\photo.bmp");
    // The second byte of 表 is "\": it separates nothing.
    EXPECT_EQ(name("C:\\in\\表.gif", "D:\\out"), "D:\\out\\表.bmp");
    EXPECT_EQ(name("C:\\in\\表", ""), "C:\\in\\表.bmp");
}

TEST(OutputName, PosixRules)
{
    const auto name = [](const std::string& source, const std::string& directory) {
        return TClipJob::OutputName(source, directory, PosixPathRules);
    };
    EXPECT_EQ(name("/in/photo.gif", "/out"), "/out/photo.bmp");
    EXPECT_EQ(name("/in/photo.gif", ""), "/in/photo.bmp");
    EXPECT_EQ(name("/in/README", "/out"), "/out/README.bmp");
    EXPECT_EQ(name("/in/a.b.gif", "/out/"), "/out//a.b.bmp");
    EXPECT_EQ(name("/in.d/README", ""), "/in.d/README.bmp");
    // Backslashes and colons are ordinary characters of these file names.
    EXPECT_EQ(name("/in/C:\\x.gif", "/out"), "/out/C:\\x.bmp");
    EXPECT_EQ(name(".hidden", ""), ".bmp");
}

TEST(OutputName, PlatformRulesByDefault)
{
    EXPECT_EQ(TClipJob::OutputName("a" + PathSep() + "b.gif", "out"), "out" + PathSep() + "b.bmp");
}

TEST(LoadPreview, CaptionsShowThePathThenSizeAndDepthOrInvalid)
{
    Job j;
    j.image.Add("p.gif", {800, 600, 8});
    EXPECT_TRUE(j.job.LoadPreview("p.gif"));
    EXPECT_EQ(j.host.InfoPath, "p.gif");
    EXPECT_EQ(j.host.InfoText, "800x600x8");

    EXPECT_FALSE(j.job.LoadPreview("nothing.gif"));
    EXPECT_EQ(j.host.InfoPath, "nothing.gif");
    EXPECT_EQ(j.host.InfoText, "Invalid");
}

TEST(Cancel, ClosesTheWindowOnlyWhenIdle)
{
    Job j;
    j.job.FormKeyPress('a');
    EXPECT_FALSE(j.host.Closed);
    EXPECT_FALSE(j.job.CancelRequested());
    j.job.FormKeyPress(27);
    EXPECT_TRUE(j.host.Closed);

    Job running;
    running.host.AddEntries({"a.gif", "b.gif"});
    running.host.OnPump = [&](int pump) {
        if (pump == 1) running.job.FormKeyPress(27);
    };
    running.job.RunClip();
    EXPECT_FALSE(running.host.Closed);
    EXPECT_FALSE(running.job.Running());
}

namespace {

// Crops `clip` out of a registered picture into a scratch directory and reads
// the written file back.
struct CropResult {
    bool ok = false;
    TBitmap written;
};

void Crop(const std::string& name, FakeImage::Source source, kxRect clip, CropResult& result)
{
    Job j;
    j.host.Directory = ScratchDir(name);
    j.image.Add("pic.gif", source);
    j.job.ClipRect = clip;
    result.ok = j.job.ClipFile("pic.gif");
    if (result.ok) result.written.LoadFromFile(Join(j.host.Directory, "pic.bmp"));
}

// Counts the pixels that differ from what the crop of (left, top) should hold:
// the picture where it lies inside, black elsewhere.
int WrongPixels(const TBitmap& crop, int left, int top, int pictureWidth, int pictureHeight)
{
    int wrong = 0;
    for (int y = 0; y < crop.Height(); ++y) {
        const std::uint32_t* row = crop.ScanLine(y);
        for (int x = 0; x < crop.Width(); ++x) {
            const int px = left + x, py = top + y;
            const bool inside = px >= 0 && py >= 0 && px < pictureWidth && py < pictureHeight;
            const std::uint32_t expected = inside ? FakeImage::PixelAt(px, py) : 0;
            if ((row[x] & 0xFFFFFF) != expected) ++wrong;
        }
    }
    return wrong;
}

}  // namespace

TEST(ClipFile, StartRectangleTakesTheTopLeftOfALargerPicture)
{
    CropResult r;
    Crop("crop_start", {800, 600, 24}, kxRect(0, 0, 640, 480), r);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.written.Width(), 640);
    ASSERT_EQ(r.written.Height(), 480);
    EXPECT_EQ(WrongPixels(r.written, 0, 0, 800, 600), 0);
}

TEST(ClipFile, RectangleBeyondThePictureKeepsItsSizeAndIsBlackOutside)
{
    for (const kxRect& clip : {kxRect(700, 500, 900, 650), kxRect(-30, -20, 50, 40)}) {
        CropResult r;
        Crop("crop_beyond", {800, 600, 24}, clip, r);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.written.Width(), clip.Width());
        ASSERT_EQ(r.written.Height(), clip.Height());
        EXPECT_EQ(WrongPixels(r.written, clip.Left, clip.Top, 800, 600), 0) << clip.Left;
    }
}

TEST(ClipFile, WritesAtTheSourceDepthAndPalette)
{
    Job j;
    j.host.Directory = ScratchDir("crop_depth");
    j.image.Add("pic.gif", {40, 30, 8});
    PaletteHandle palette = NewPalette(2);
    palette->palPalEntry[1] = TPaletteEntry{0x12, 0x34, 0x56, 0};
    j.image.SetPalette(std::move(palette));
    ASSERT_TRUE(j.job.ClipFile("pic.gif"));
    const std::vector<std::uint8_t> file = ReadAll(Join(j.host.Directory, "pic.bmp"));
    ASSERT_GT(file.size(), 54u + 8u);
    EXPECT_EQ(file[28], 8);  // bits per pixel
    // The second colour table entry is blue, green, red, 0.
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 58, file.begin() + 62),
              (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0}));
}

TEST(ClipFile, SixteenBitCropsKeepTheSourcesPacking)
{
    for (const auto& [format, compression] : {std::pair{pf16bit, 3}, std::pair{pf15bit, 0}}) {
        Job j;
        j.host.Directory = ScratchDir("crop_sixteen");
        j.image.Add("pic.gif", {8, 4, 16, format});
        j.job.ClipRect = kxRect(0, 0, 8, 4);
        ASSERT_TRUE(j.job.ClipFile("pic.gif"));
        const std::vector<std::uint8_t> file = ReadAll(Join(j.host.Directory, "pic.bmp"));
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[28], 16) << format;
        EXPECT_EQ(file[30], compression) << format;  // 3: bit fields
    }
}

TEST(ClipFile, CancelBeforeTheWriteWritesNothing)
{
    Job j;
    j.host.Directory = ScratchDir("crop_cancel");
    j.image.Add("pic.gif", {40, 30, 24});
    j.host.AddEntries({"pic.gif"});
    j.host.OnPump = [&](int pump) {
        if (pump == 3) j.job.ButtonCancelClick();  // after the output name is built
    };
    j.job.RunClip();
    EXPECT_EQ(j.host.Results(), std::vector<std::string>{"NG"});
    EXPECT_FALSE(FileExists(Join(j.host.Directory, "pic.bmp")));
    EXPECT_TRUE(j.host.Errors.empty());
}

TEST(ClipFile, TooLargeARectangleFailsWithoutAMessage)
{
    Job j;
    j.host.Directory = ScratchDir("crop_huge");
    j.image.Add("pic.gif", {40, 30, 24});
    j.job.ClipRect = kxRect(0, 0, 100000, 100000);
    EXPECT_FALSE(j.job.ClipFile("pic.gif"));
    EXPECT_TRUE(j.host.Errors.empty());
    EXPECT_EQ(j.host.Failures.size(), 1u);
    EXPECT_FALSE(FileExists(Join(j.host.Directory, "pic.bmp")));
}
