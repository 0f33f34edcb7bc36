// talvern-clip with Susie plug-ins that misbehave, each in a batch with good
// files before and after it: only its own file fails, with a reason, and the
// program ends normally. The batches run two files at once, each worker with
// hosts of its own.
#include <gtest/gtest.h>

#include "clip_runner.h"
#include "framework/bitmap.h"
#include "plugin_fixtures_win32.h"
#include "test_support.h"

namespace {

std::uint32_t Pixel(const std::string& path, int x, int y)
{
    TBitmap bitmap;
    bitmap.LoadFromFile(path);
    return bitmap.ScanLine(y)[x] & 0xFFFFFF;
}

// The good files' crops, to the pixel: the 24-bit request's top row (green,
// white) and the 8-bit one's first two palette entries.
void ExpectGoodCrops(const std::string& out)
{
    EXPECT_EQ(Pixel(Join(out, "request_2.bmp"), 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(Join(out, "request_2.bmp"), 1, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(Join(out, "request_8.bmp"), 0, 0), std::uint32_t(0 << 16 | 255 << 8 | 0));
    EXPECT_EQ(Pixel(Join(out, "request_8.bmp"), 1, 0), std::uint32_t(30 << 16 | 195 << 8 | 60));
}

TEST(TalvernClipPlugins, AMisbehavingPluginFailsItsOwnFileOnly)
{
    // A plug-in that overruns its heap block is caught after its call when
    // the heap survives it, or ends its host once the heap's next use faults;
    // which of the two depends on the heap's state, so either is its reason.
    const struct {
        char kind;
        const char* reason;
        const char* otherReason = nullptr;
    } cases[] = {
        {'H', "corrupted the memory of its host", "ended its host during GetPicture (exit code 0x"},
        {'W', "did not return from GetPicture within 2 s"},
        {'X', "ended its host during GetPicture (exit code 0x00000007)"},
        {'O', "ended its host during GetPicture (exit code 0xC00000FD)"},
        {'F', "ended its host during GetPicture (exit code 0xC0000005)"},
        {'R', "ended its host during GetPicture (exit code 0xE0001234)"},
        {'S', "does not fit its blocks"},
        {'I', "does not fit its blocks"},
    };
    for (const auto& c : cases) {
        const std::string dir = ScratchDir(std::string("cli_plugin_") + c.kind);
        const std::string out = Join(dir, "out");
        InstallPlugin(FixturePlugin("fixture_dib"), dir, "dib");
        const std::string before = WriteDibRequest(dir, '2'), bad = WriteDibRequest(dir, c.kind),
                          after = WriteDibRequest(dir, '8');
        const Outcome r = Clip(dir, "--no-gv --susie-dir " + dir + " --susie-timeout 2 --jobs 2 --crop 2x1+0+0 --out " +
                                        out + " " + before + " " + bad + " " + after);
        EXPECT_EQ(r.status, 1) << c.kind << r.errors;
        ASSERT_EQ(r.lines.size(), 3u) << c.kind << r.errors;
        EXPECT_EQ(r.lines[0], "OK " + before + " -> " + Join(out, "request_2.bmp"));
        EXPECT_EQ(r.lines[1].rfind("NG " + bad + ": dib" + PluginExtension() + ": ", 0), 0u) << r.lines[1];
        EXPECT_TRUE(r.lines[1].find(c.reason) != std::string::npos ||
                    (c.otherReason && r.lines[1].find(c.otherReason) != std::string::npos))
            << r.lines[1];
        EXPECT_EQ(r.lines[2], "OK " + after + " -> " + Join(out, "request_8.bmp"));
        ExpectGoodCrops(out);
    }
}

TEST(TalvernClipPlugins, APluginThatFaultsWhileLoadingIsLeftOut)
{
    const std::string dir = ScratchDir("cli_plugin_dllmain");
    const std::string out = Join(dir, "out");
    InstallPlugin(FixturePlugin("fixture_dllmain_fault"), dir, "a_fault");
    InstallPlugin(FixturePlugin("fixture_dib"), dir, "dib");
    const std::string before = WriteDibRequest(dir, '2'), after = WriteDibRequest(dir, '8');
    const Outcome r = Clip(dir, "--no-gv --susie-dir " + dir + " --crop 2x1+0+0 --out " + out + " " + before + " " + after);
    EXPECT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.lines.size(), 2u) << r.errors;
    ExpectGoodCrops(out);
}

TEST(TalvernClipPlugins, HelpSaysWhatThePluginSetLoads)
{
    const std::string dir = ScratchDir("cli_plugin_help");
    const Outcome r = Clip(dir, "--help");
    EXPECT_EQ(r.status, 0);
    std::string all;
    for (const std::string& line : r.lines) all += line + "\n";
    if (sizeof(void*) == 8) {
        EXPECT_TRUE(all.find("*.SPH in the 64-bit host, *.SPI in the 32-bit host") != std::string::npos ||
                    all.find("*.SPH only; *.SPI left out: talvern-spihost32.exe") != std::string::npos)
            << all;
    }
    EXPECT_NE(all.find("--susie-timeout"), std::string::npos);
}

}  // namespace
