#include "framework/win32/clipboard.h"

#include <cstring>

#include "framework/win32/handles.h"
#include "framework/win32/wide.h"

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT); }

std::optional<std::string> ClipboardText()
{
    const ScopedClipboard clipboard(nullptr);
    if (!clipboard.opened()) return std::nullopt;
    const ScopedGlobalLock lock(GetClipboardData(CF_UNICODETEXT));
    if (!lock) return std::nullopt;
    // The block need not hold its terminating zero: read no further than it.
    std::wstring_view text(static_cast<const wchar_t*>(lock.data()), lock.size() / sizeof(wchar_t));
    return WideToUtf8(text.substr(0, text.find(L'\0')));
}

bool SetClipboardText(HWND owner, const std::string& text)
{
    const std::wstring wide = Utf8ToWide(text);
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    {
        const ScopedGlobalLock lock(memory.get());
        if (!lock) return false;
        std::memcpy(lock.data(), wide.c_str(), bytes);
    }
    const ScopedClipboard clipboard(owner);
    if (!clipboard.opened() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard owns it now
    return true;
}
