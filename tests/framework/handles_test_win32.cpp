#include <gtest/gtest.h>

#include "framework/win32/handles.h"
#include "framework/win32/registry.h"
#include "framework/win32/wide.h"
#include "test_support.h"

TEST(Win32Handles, KernelObjectsAreClosedByTheirOwners)
{
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = event.get();
    DWORD flags = 0;
    ASSERT_TRUE(GetHandleInformation(raw, &flags));
    event.reset();
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    const std::wstring name = Utf8ToWide(ScratchDir("handles") + "\\locked.bin");
    const auto openExclusive = [&] {
        return UniqueFile(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    };
    UniqueFile file = openExclusive();
    ASSERT_TRUE(file);
    EXPECT_FALSE(openExclusive());  // still held
    file.reset();
    EXPECT_TRUE(openExclusive());
}

TEST(Win32Handles, WindowMenuGdiAndKeyOwnersReleaseTheirObjects)
{
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    const HWND rawWindow = window.get();
    UniqueMenu menu(CreatePopupMenu());
    const HMENU rawMenu = menu.get();
    UniqueBitmap bitmap(CreateBitmap(1, 1, 1, 1, nullptr));
    const HBITMAP rawBitmap = bitmap.get();
    UniqueDC dc(CreateCompatibleDC(nullptr));
    const HDC rawDC = dc.get();
    ASSERT_TRUE(IsWindow(rawWindow) && IsMenu(rawMenu) && GetObjectType(rawBitmap) && GetObjectType(rawDC));
    window.reset();
    menu.reset();
    bitmap.reset();
    dc.reset();
    EXPECT_FALSE(IsWindow(rawWindow));
    EXPECT_FALSE(IsMenu(rawMenu));
    EXPECT_EQ(GetObjectType(rawBitmap), 0u);
    EXPECT_EQ(GetObjectType(rawDC), 0u);

    UniqueKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    const HKEY rawKey = key.get();
    key.reset();
    EXPECT_EQ(RegQueryInfoKeyW(rawKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

TEST(Win32Handles, LocalAndGlobalLocksAreUndoneAtTheEndOfTheirScope)
{
    UniqueLocal local(LocalAlloc(LMEM_MOVEABLE, 100));
    {
        const ScopedLocalLock lock(local.get());
        ASSERT_TRUE(lock);
        EXPECT_GE(lock.size(), 100u);
        EXPECT_EQ(LocalFlags(local.get()) & LMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(LocalFlags(local.get()) & LMEM_LOCKCOUNT, 0u);

    UniqueGlobal global(GlobalAlloc(GMEM_MOVEABLE, 10));
    {
        const ScopedGlobalLock lock(global.get());
        EXPECT_EQ(GlobalFlags(global.get()) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFlags(global.get()) & GMEM_LOCKCOUNT, 0u);
    EXPECT_FALSE(ScopedLocalLock(nullptr));
}

TEST(Win32Handles, TheClipboardIsClosedAtTheEndOfItsScope)
{
    {
        const ScopedClipboard clipboard(nullptr);
        ASSERT_TRUE(clipboard.opened());
    }
    const ScopedClipboard again(nullptr);
    EXPECT_TRUE(again.opened());
}

namespace {
HDDEDATA CALLBACK NoDdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }
}  // namespace

TEST(Win32Handles, DdeStringsAndDataAreFreedThroughTheirInstance)
{
    DWORD id = 0;
    ASSERT_EQ(DdeInitializeW(&id, &NoDdeCallback, APPCMD_CLIENTONLY, 0), unsigned(DMLERR_NO_ERROR));
    UniqueDdeInstance instance(id);
    {
        UniqueDdeString text(id, DdeCreateStringHandleW(id, L"System", CP_WINUNICODE));
        ASSERT_TRUE(text);
        EXPECT_EQ(text.context(), id);
        wchar_t back[16] = {};
        EXPECT_EQ(DdeQueryStringW(id, text.get(), back, 16, CP_WINUNICODE), 6u);

        const BYTE bytes[5] = {1, 2, 3, 4, 5};
        UniqueDdeData data(DdeCreateDataHandle(id, const_cast<BYTE*>(bytes), 5, 0, nullptr, CF_TEXT, 0));
        const ScopedDdeAccess access(data.get());
        ASSERT_TRUE(access);
        EXPECT_EQ(access.size(), 5u);
        EXPECT_EQ(access.data()[4], 5);
    }
    instance.reset();
    EXPECT_EQ(DdeCreateStringHandleW(id, L"x", CP_WINUNICODE), nullptr);
}

TEST(Registry, ReadsStringValuesOfKeysThatExistAndNothingElse)
{
    const wchar_t* path = L"Software\\TalvernTests\\Registry";
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    UniqueKey created(raw);
    const std::wstring text = Utf8ToWide("C:\\ﾂｰﾙ\\gv.exe");
    RegSetValueExW(raw, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    const DWORD number = 5;
    RegSetValueExW(raw, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));

    TRegistry registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\TalvernTests\\Missing"));
    EXPECT_EQ(registry.ReadString(""), "");
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\TalvernTests\\Registry"));
    EXPECT_EQ(registry.ReadString(""), "C:\\ﾂｰﾙ\\gv.exe");
    EXPECT_EQ(registry.ReadString("Number"), "");
    EXPECT_EQ(registry.ReadString("Absent"), "");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TalvernTests");
}

TEST(Win32Handles, ModuleFindCursorAndDropOwnersReleaseTheirObjects)
{
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    UniqueModule module(LoadLibraryW(L"msimg32.dll"));
    ASSERT_TRUE(module);
    module.reset();
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);

    const std::wstring pattern = Utf8ToWide(ScratchDir("handles_find") + "\\*");
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    ASSERT_TRUE(search);
    const HANDLE rawSearch = search.get();
    search.reset();
    EXPECT_FALSE(FindNextFileW(rawSearch, &found));

    const BYTE andMask[4 * 32] = {}, xorMask[4 * 32] = {};
    UniqueCursor cursor(CreateCursor(nullptr, 0, 0, 32, 32, andMask, xorMask));
    const HCURSOR rawCursor = cursor.get();
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(rawCursor, &info));
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    cursor.reset();
    EXPECT_FALSE(GetIconInfo(rawCursor, &info));

    // A dropped-file list is global memory that DragFinish gives back.
    UniqueDrop drop(static_cast<HDROP>(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64)));
    const HGLOBAL rawDrop = drop.get();
    ASSERT_NE(GlobalSize(rawDrop), 0u);
    drop.reset();
    EXPECT_EQ(GlobalSize(rawDrop), 0u);
}
