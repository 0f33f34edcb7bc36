// The plug-in set: its sorted list, switches, joined filters, the choice of
// plug-in, and what it finds at start-up.
#include <gtest/gtest.h>

#include <windows.h>

#include "external/kxv_susie.h"
#include "framework/bitmap.h"
#include "framework/win32/registry.h"
#include "framework/win32/wide.h"
#include "plugin_fixtures_win32.h"
#include "test_support.h"

namespace {

std::vector<std::string> Names(const kxvSusie& set)
{
    std::vector<std::string> names;
    for (int i = 0; set.GetSPI(i); ++i) names.push_back(set.GetSPI(i)->SpiName);
    return names;
}

TEST(KxvSusie, KeepsPluginsInByteOrderOfTheirNames)
{
    // File names differ only in case across folders: within one they are one name.
    const std::string dir = ScratchDir("susie_order");
    const std::string upper = ScratchDir("susie_order_upper");
    const std::string ext = PluginExtension();
    InstallPlugin(FixturePlugin("fixture_dib"), dir, "b");
    InstallPlugin(FixturePlugin("fixture_dib"), dir, "a");
    InstallPlugin(FixturePlugin("fixture_dib"), upper, "A");
    kxvSusie set{kxvSusie::NoScan{}};
    EXPECT_EQ(set.AddDirSPI(dir), 2);
    EXPECT_EQ(set.AddDirSPI(upper), 1);
    EXPECT_EQ(Names(set), (std::vector<std::string>{"A" + ext, "a" + ext, "b" + ext}));
    EXPECT_EQ(set.GetSPI("a" + ext), set.GetSPI(1));
    EXPECT_EQ(set.GetSPI(3), nullptr);

    const std::string other = ScratchDir("susie_order_other");
    EXPECT_TRUE(set.AddSPI(InstallPlugin(FixturePlugin("fixture_no_formats"), other, "a")));
    EXPECT_EQ(set.Count, 3);
    EXPECT_EQ(set.GetSPI("a" + ext)->Filter, "Test DIB|*.tvd");

    EXPECT_FALSE(set.DeleteSPI("c" + ext));
    EXPECT_TRUE(set.DeleteSPI("a" + ext));
    EXPECT_EQ(Names(set), (std::vector<std::string>{"A" + ext, "b" + ext}));
}

TEST(KxvSusie, SwitchesOnOnlyWithPlugins)
{
    kxvSusie set{kxvSusie::NoScan{}};
    set.SetEnable(true);
    EXPECT_FALSE(set.Enable());
    set.SetPath(ScratchDir("susie_empty"));
    EXPECT_FALSE(set.Enable());

    const std::string dir = ScratchDir("susie_switch");
    InstallPlugin(FixturePlugin("fixture_dib"), dir, "dib");
    set.SetEnable(false);
    set.SetPath(dir);
    EXPECT_TRUE(set.Enable());
    EXPECT_EQ(set.Path(), dir);
    set.SetEnable(false);
    TBitmap bitmap;
    EXPECT_FALSE(set.LoadFromFile(WriteDibRequest(dir, '2'), bitmap));
    set.SetEnable(true);
    EXPECT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '2'), bitmap));
    EXPECT_EQ(set.SourceColorDepth(), 24);
}

TEST(KxvSusie, JoinsFiltersInListOrderWithoutShiftingFieldsForEmptyOnes)
{
    kxvSusie set{kxvSusie::NoScan{}};
    EXPECT_EQ(set.GetFilter(), "");
    const std::string dir = ScratchDir("susie_filter");
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_dib"), dir, "a"));
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_no_formats"), dir, "b"));
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_description_only"), dir, "c"));
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_dib"), dir, "d"));
    EXPECT_EQ(set.GetFilter(), "Test DIB|*.tvd|Test DIB|*.tvd");
}

TEST(KxvSusie, TheFirstPluginThatAcceptsDecodesAndNeverRaises)
{
    const std::string dir = ScratchDir("susie_choice");
    kxvSusie set{kxvSusie::NoScan{}};
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_no_picture"), dir, "z"));
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_dib"), dir, "m"));
    set.AddSPI(InstallPlugin(FixturePlugin("fixture_no_picture"), dir, "n"));
    set.SetEnable(true);
    TBitmap bitmap;
    ASSERT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '8'), bitmap));
    EXPECT_EQ(set.Current->SpiName, "m" + PluginExtension());
    EXPECT_EQ(set.ColorDepth, 8);
    ASSERT_TRUE(set.SourcePalette());
    EXPECT_EQ(set.SourcePalette()->palNumEntries, 256);

    set.SetFileName(WriteDibRequest(dir, 'T'));
    EXPECT_EQ(set.Info, "comment from the plug-in");
    EXPECT_FALSE(set.LoadFromFile(WriteDibRequest(dir, 'S'), bitmap));
    EXPECT_FALSE(set.LoadFromFile(WriteDibRequest(dir, 'F'), bitmap));
    EXPECT_FALSE(set.LoadFromFile(dir + "\\missing.tvd", bitmap));
    EXPECT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '2'), bitmap));
}

class SystemDirValue {
public:
    SystemDirValue()
    {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (registry.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup"))
            saved_ = registry.ReadString("SysDir");
    }
    ~SystemDirValue()
    {
        if (saved_.empty())
            RegDeleteValueW(key_.get(), L"SysDir");
        else
            Set(saved_);
    }
    void Set(const std::string& dir)
    {
        const std::wstring value = Utf8ToWide(dir);
        RegSetValueExW(key_.get(), L"SysDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    void Remove() { RegDeleteValueW(key_.get(), L"SysDir"); }

private:
    static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
    UniqueKey key_;
    std::string saved_;
};

class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir)
    {
        GetCurrentDirectoryW(MAX_PATH, saved_);
        SetCurrentDirectoryW(Utf8ToWide(dir).c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(saved_); }

private:
    wchar_t saved_[MAX_PATH] = {};
};

TEST(KxvSusie, StartUpScansTheSystemDirectoryButNeverTheCurrentOne)
{
    const std::string system = ScratchDir("susie_sysdir");
    InstallPlugin(FixturePlugin("fixture_dib"), system, "sys");
    const std::string current = ScratchDir("susie_current");
    InstallPlugin(FixturePlugin("fixture_dib"), current, "cur");
    CreateDirectoryW(Utf8ToWide(current + "\\below").c_str(), nullptr);
    InstallPlugin(FixturePlugin("fixture_dib"), current + "\\below", "cur_below");
    const CurrentDirectory inCurrent(current);
    SystemDirValue value;

    value.Set(system);
    kxvSusie found;
    EXPECT_EQ(Names(found), std::vector<std::string>{"sys" + PluginExtension()});
    EXPECT_TRUE(found.Enable());
    EXPECT_EQ(found.Path(), system);

    value.Remove();
    kxvSusie missing;
    EXPECT_EQ(missing.Count, 0);
    EXPECT_FALSE(missing.Enable());

    value.Set("");
    kxvSusie empty;
    EXPECT_EQ(empty.Count, 0);
}

}  // namespace

namespace {

TEST(KxvSusie, APluginThatNeverReturnsIsEndedAtItsLimit)
{
    const std::string dir = ScratchDir("susie_hang");
    kxvSusie set{kxvSusie::NoScan{}};
    set.SetPictureLimit(2000);
    ASSERT_TRUE(set.AddSPI(InstallPlugin(FixturePlugin("fixture_dib"), dir, "dib")));
    set.SetEnable(true);
    TBitmap bitmap;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(set.LoadFromFile(WriteDibRequest(dir, 'W'), bitmap));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 2000u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(set.Refusal(), "dib" + PluginExtension() +
                                       ": the plug-in did not return from GetPicture within 2 s; its host was ended");
    // The plug-in stays in the set, in a fresh host.
    EXPECT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '2'), bitmap));
    EXPECT_EQ(set.Refusal(), "");
}

#ifdef _WIN64
// Whether the 32-bit host runs is found out by the set itself, by starting it.
TEST(KxvSusie, The64BitSetHoldsBothWidthsWhereThe32BitHostRuns)
{
    const std::string dir = ScratchDir("susie_widths");
    InstallPlugin(FixturePlugin32("fixture_dib"), dir, "a32");
    InstallPlugin(FixturePlugin("fixture_dib"), dir, "b64");
    kxvSusie set{kxvSusie::NoScan{}};
    set.SetPath(dir);
    const std::string remarks = set.Remarks();
    TBitmap bitmap;
    if (remarks.find("left out") != std::string::npos) {
        EXPECT_EQ(remarks.rfind("*.SPH only; *.SPI left out: talvern-spihost32.exe ", 0), 0u) << remarks;
        EXPECT_EQ(Names(set), std::vector<std::string>{"b64.sph"});
    } else {
        EXPECT_EQ(remarks, "*.SPH in the 64-bit host, *.SPI in the 32-bit host");
        ASSERT_EQ(Names(set), (std::vector<std::string>{"a32.spi", "b64.sph"}));
        EXPECT_EQ(set.GetFilter(), "Test DIB|*.tvd|Test DIB|*.tvd");
        ASSERT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '8'), bitmap));
        EXPECT_EQ(set.Current->SpiName, "a32.spi");
        EXPECT_EQ(bitmap.ScanLine(0)[1] & 0xFFFFFF, std::uint32_t(30 << 16 | 195 << 8 | 60));
        set.DeleteSPI("a32.spi");
    }
    ASSERT_TRUE(set.LoadFromFile(WriteDibRequest(dir, '8'), bitmap));
    EXPECT_EQ(set.Current->SpiName, "b64.sph");
    EXPECT_EQ(bitmap.ScanLine(0)[1] & 0xFFFFFF, std::uint32_t(30 << 16 | 195 << 8 | 60));
}
#endif

}  // namespace
