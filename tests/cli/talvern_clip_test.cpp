// talvern-clip end to end: the program run as a user runs it, its lines, exit
// status and output files.
#include <gtest/gtest.h>

#include <algorithm>

#include "clip_runner.h"
#include "framework/bitmap.h"
#include "framework/file_system.h"
#include "image/bmp_file.h"
#include "test_support.h"

namespace {

// A 24-bit picture whose pixel (x, y) has red x, green y and the given blue.
void WritePicture(const std::string& path, int width, int height, int blue = 7)
{
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.ScanLine(y)[x] = std::uint32_t(x << 16 | y << 8 | blue);
    ASSERT_TRUE(SaveBitmapFile(path, bitmap, 24, nullptr));
}

}  // namespace

TEST(TalvernClip, OneLinePerFileAndStatusOneWhenAnyFails)
{
    const std::string dir = ScratchDir("cli_mixed");
    const std::string a = Join(dir, "a.bmp"), b = Join(dir, "b.dib"), bad = Join(dir, "bad.bmp"),
                      missing = Join(dir, "missing.bmp"), out = Join(dir, "out");
    WritePicture(a, 20, 10);
    WritePicture(b, 5, 5);
    WriteAll(bad, {'B', 'M', 1, 2, 3});
    const Outcome r = Clip(dir, "--crop 4x3+2+1 --out " + out + " " + a + " " + bad + " " + missing + " " + b);
    EXPECT_EQ(r.status, 1) << r.errors;
    ASSERT_EQ(r.lines.size(), 4u) << r.errors;
    EXPECT_EQ(r.lines[0], "OK " + a + " -> " + Join(out, "a.bmp"));
    EXPECT_EQ(r.lines[1].rfind("NG " + bad + ": ", 0), 0u) << r.lines[1];
    EXPECT_EQ(r.lines[2], "NG " + missing + ": not found");
    EXPECT_EQ(r.lines[3], "OK " + b + " -> " + Join(out, "b.bmp"));

    // The missing output directory was made, and holds the crops.
    TBitmap crop;
    crop.LoadFromFile(Join(out, "a.bmp"));
    ASSERT_EQ(crop.Width(), 4);
    ASSERT_EQ(crop.Height(), 3);
    EXPECT_EQ(crop.ScanLine(0)[0] & 0xFFFFFF, std::uint32_t(2 << 16 | 1 << 8 | 7));
    EXPECT_EQ(crop.ScanLine(2)[3] & 0xFFFFFF, std::uint32_t(5 << 16 | 3 << 8 | 7));
    // b is 5x5: its crop keeps the rectangle's size, black beyond the picture.
    crop.LoadFromFile(Join(out, "b.bmp"));
    ASSERT_EQ(crop.Width(), 4);
    EXPECT_EQ(crop.ScanLine(0)[3] & 0xFFFFFF, 0u);
    EXPECT_FALSE(FileExists(Join(out, "bad.bmp")));
}

TEST(TalvernClip, DefaultsCropTheStartRectangleBesideTheSource)
{
    const std::string dir = ScratchDir("cli_defaults");
    const std::string source = Join(dir, "photo.dib");
    WritePicture(source, 800, 600);
    const Outcome r = Clip(dir, source);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.lines, std::vector<std::string>{"OK " + source + " -> " + Join(dir, "photo.bmp")});
    TBitmap crop;
    crop.LoadFromFile(Join(dir, "photo.bmp"));
    EXPECT_EQ(crop.Width(), 640);
    EXPECT_EQ(crop.Height(), 480);
}

// Paths of the form /dir/file are files, never options, on every platform (on
// Windows they name the current drive's root).
TEST(TalvernClip, AbsoluteSlashPathsAreFiles)
{
    std::string dir = ScratchDir("cli_slash");
    if (dir.size() > 1 && dir[1] == ':') dir.erase(0, 2);
    std::replace(dir.begin(), dir.end(), '\\', '/');
    ASSERT_EQ(dir.front(), '/');
    const std::string source = dir + "/pic.dib", out = dir + "/out";
    WritePicture(source, 8, 8);
    const Outcome r = Clip(dir, "--out " + out + " " + source);
    EXPECT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.lines.size(), 1u) << r.errors;
    EXPECT_EQ(r.lines[0].rfind("OK " + source + " -> ", 0), 0u) << r.lines[0];
    EXPECT_TRUE(FileExists(Join(out, "pic.bmp")));
}

TEST(TalvernClip, BadUsageIsStatusTwoAndTouchesNothing)
{
    const std::string dir = ScratchDir("cli_usage");
    const std::string source = Join(dir, "a.bmp");
    WritePicture(source, 8, 8);
    for (const std::string& arguments : {std::string(""), "--crop 10x10 " + source, std::string("--crop 10x10+0+0"),
                                         "--frobnicate " + source, "--crop -4x4+0+0 " + source}) {
        const Outcome r = Clip(dir, arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_TRUE(r.lines.empty()) << arguments;
        EXPECT_FALSE(r.errors.empty()) << arguments;
    }
    EXPECT_FALSE(FileExists(Join(dir, "a.bmp.bmp")));

    // An output path that names a file: the window's message, as UTF-8 in a file.
    const std::string blocker = Join(dir, "out");
    WriteAll(blocker, {1});
    const Outcome r = Clip(dir, "--out " + blocker + " " + source);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.lines.empty());
    EXPECT_NE(r.errors.find("出力先と同じ名前のファイルがあります"), std::string::npos) << r.errors;
}

TEST(TalvernClip, HelpAndVersion)
{
    const std::string dir = ScratchDir("cli_help");
    Outcome r = Clip(dir, "--help");
    EXPECT_EQ(r.status, 0);
    std::string all;
    for (const std::string& line : r.lines) all += line + "\n";
    EXPECT_NE(all.find("--crop"), std::string::npos) << all;
    EXPECT_NE(all.find("--out"), std::string::npos);
    EXPECT_NE(all.find("--susie-dir"), std::string::npos);
    EXPECT_NE(all.find("GIF: *.GIF"), std::string::npos);
    r = Clip(dir, "--no-susie --no-gv --help");
    all.clear();
    for (const std::string& line : r.lines) all += line + "\n";
    EXPECT_NE(all.find("(no Susie plug-ins or GV)"), std::string::npos) << all;
    r = Clip(dir, "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines, std::vector<std::string>{"talvern-clip 1.10"});
}

TEST(TalvernClip, ParallelJobsKeepTheOrderOfTheInput)
{
    const std::string dir = ScratchDir("cli_jobs");
    const std::string out = Join(dir, "out");
    // Larger pictures first, so that later files tend to finish earlier.
    std::string arguments = "--crop 3x2+1+1 --out " + out;
    std::vector<std::string> expected;
    for (int i = 0; i < 16; ++i) {
        const std::string name = "f" + std::to_string(i);
        const std::string path = Join(dir, name + ".bmp");
        if (i == 9) {
            expected.push_back("NG " + path + ": not found");
        } else {
            WritePicture(path, 400 - 20 * i, 100);
            expected.push_back("OK " + path + " -> " + Join(out, name + ".bmp"));
        }
        arguments += " " + path;
    }
    for (const char* jobs : {"--jobs 4 ", "--jobs 1 "}) {  // one job runs on the calling thread
        SCOPED_TRACE(jobs);
        const Outcome r = Clip(dir, jobs + arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.lines, expected);
        // Not a terminal: no progress line, however long the batch.
        EXPECT_EQ(r.errors, "");
        TBitmap crop;
        crop.LoadFromFile(Join(out, "f15.bmp"));
        EXPECT_EQ(crop.ScanLine(1)[2] & 0xFFFFFF, std::uint32_t(3 << 16 | 2 << 8 | 7));
    }
}

TEST(TalvernClip, FilesFromAListSkippingBlankLines)
{
    const std::string dir = ScratchDir("cli_files_from");
    const std::string a = Join(dir, "a.bmp"), b = Join(dir, "b.bmp"), c = Join(dir, "c.bmp"),
                      missing = Join(dir, "missing.bmp"), list = Join(dir, "list.txt"), out = Join(dir, "out");
    WritePicture(a, 6, 6);
    WritePicture(b, 6, 6);
    WritePicture(c, 6, 6);
    // Windows line ends, blank lines among them, no line end after the last.
    const std::string text = a + "\r\n\r\n" + missing + "\n\n" + b;
    WriteAll(list, std::vector<std::uint8_t>(text.begin(), text.end()));
    const std::vector<std::string> expected{"OK " + a + " -> " + Join(out, "a.bmp"), "NG " + missing + ": not found",
                                            "OK " + b + " -> " + Join(out, "b.bmp")};

    Outcome r = Clip(dir, "--crop 2x2+0+0 --out " + out + " --files-from " + list);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_EQ(r.lines, expected);

    // From standard input, after the files of the command line.
    r = Clip(dir, "--crop 2x2+0+0 --out " + out + " --files-from - " + c + " <" + list);
    EXPECT_EQ(r.status, 1) << r.errors;
    std::vector<std::string> withC{"OK " + c + " -> " + Join(out, "c.bmp")};
    withC.insert(withC.end(), expected.begin(), expected.end());
    EXPECT_EQ(r.lines, withC);

    // A list that cannot be read, or one that names nothing, is bad usage.
    WriteAll(Join(dir, "blank.txt"), {'\n', '\r', '\n'});
    for (const std::string& name : {std::string("nolist.txt"), std::string("blank.txt")}) {
        r = Clip(dir, "--out " + out + " --files-from " + Join(dir, name));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.lines.empty()) << name;
        EXPECT_FALSE(r.errors.empty()) << name;
    }
}

// Every name reaches the program, and its output, exactly: from the command line
// and from a UTF-8 list that starts with a byte-order mark. Each source has its
// own blue, so a crop of another file shows; "x\\y.bmp" is such another file.
TEST(TalvernClip, NamesOutsideCodePagesAreCroppedAndNamedExactly)
{
    const std::string dir = ScratchDir("cli_unicode");
    const std::string out = Join(dir, "out"), list = Join(dir, "list.txt");
    MakeDir(Join(dir, "x"));
    WritePicture(Join(Join(dir, "x"), "y.bmp"), 8, 8, 200);
    std::string arguments = "--crop 3x2+1+1 --out " + out;
    std::string listText = "\xEF\xBB\xBF";
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kUnicodeNames.size(); ++i) {
        const std::string& name = kUnicodeNames[i];
        const std::string path = Join(dir, name);
        WritePicture(path, 8, 8, int(10 + i));
        arguments += " " + path;
        listText += path + "\r\n";
        const std::string stem = name.ends_with(".bmp") ? name.substr(0, name.size() - 4) : name;
        expected.push_back("OK " + path + " -> " + Join(out, stem + ".bmp"));
    }
    WriteAll(list, std::vector<std::uint8_t>(listText.begin(), listText.end()));
    for (const std::string& given : {arguments, "--crop 3x2+1+1 --out " + out + " --files-from " + list}) {
        const Outcome r = Clip(dir, given);
        EXPECT_EQ(r.status, 0) << r.errors;
        EXPECT_EQ(r.lines, expected) << r.errors;
        for (std::size_t i = 0; i < kUnicodeNames.size(); ++i) {
            SCOPED_TRACE(kUnicodeNames[i]);
            const std::string written = expected[i].substr(expected[i].rfind(" -> ") + 4);
            ASSERT_TRUE(FileExists(written));
            TBitmap crop;
            crop.LoadFromFile(written);
            EXPECT_EQ(crop.ScanLine(0)[0] & 0xFFFFFF, std::uint32_t(1 << 16 | 1 << 8 | (10 + i)));
        }
    }
    EXPECT_FALSE(FileExists(Join(out, "y.bmp")));
}
