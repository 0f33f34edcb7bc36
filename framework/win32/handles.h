#pragma once
// Owners of Win32 handles, one line per handle type, and scoped pairs for every
// acquire/release call the program makes. Nothing here is copyable.
#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include "framework/unique_any.h"

inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

using UniqueHandle = UniqueAny<HANDLE, &CloseHandle>;  // processes, threads, events
using UniqueFile = UniqueAny<HANDLE, &CloseHandle, &InvalidHandleValue>;
using UniqueFindHandle = UniqueAny<HANDLE, &FindClose, &InvalidHandleValue>;
using UniqueModule = UniqueAny<HMODULE, &FreeLibrary>;
using UniqueLocal = UniqueAny<HLOCAL, &LocalFree>;
using UniqueGlobal = UniqueAny<HGLOBAL, &GlobalFree>;
using UniqueKey = UniqueAny<HKEY, &RegCloseKey>;
using UniqueWindow = UniqueAny<HWND, &DestroyWindow>;
using UniqueMenu = UniqueAny<HMENU, &DestroyMenu>;
using UniqueDrop = UniqueAny<HDROP, &DragFinish>;
using UniqueDC = UniqueAny<HDC, &DeleteDC>;
using UniqueGdiObject = UniqueAny<HGDIOBJ, &DeleteObject>;
using UniqueBitmap = UniqueAny<HBITMAP, &DeleteObject>;
using UniqueCursor = UniqueAny<HCURSOR, &DestroyCursor>;
using UniqueView = UniqueAny<void*, &UnmapViewOfFile>;  // views of file mappings
using UniqueDdeInstance = UniqueAny<DWORD, &DdeUninitialize, 0>;
using UniqueDdeConversation = UniqueAny<HCONV, &DdeDisconnect>;
using UniqueDdeData = UniqueAny<HDDEDATA, &DdeFreeDataHandle>;
using UniqueDdeString = UniqueAnyWith<DWORD, HSZ, &DdeFreeStringHandle>;  // freed through its instance

// LocalLock/LocalUnlock (and the same for global memory), with the block's size.
template <typename Memory, auto Lock, auto Unlock, auto SizeOf>
class ScopedMemoryLock {
public:
    explicit ScopedMemoryLock(Memory memory)
        : memory_(memory), data_(memory ? Lock(memory) : nullptr), size_(data_ ? SizeOf(memory) : 0)
    {
    }
    ~ScopedMemoryLock()
    {
        if (data_) Unlock(memory_);
    }
    ScopedMemoryLock(const ScopedMemoryLock&) = delete;
    ScopedMemoryLock& operator=(const ScopedMemoryLock&) = delete;

    void* data() const { return data_; }
    SIZE_T size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    Memory memory_;
    void* data_;
    SIZE_T size_;
};
using ScopedLocalLock = ScopedMemoryLock<HLOCAL, &LocalLock, &LocalUnlock, &LocalSize>;
using ScopedGlobalLock = ScopedMemoryLock<HGLOBAL, &GlobalLock, &GlobalUnlock, &GlobalSize>;

// DdeAccessData/DdeUnaccessData: the data of a DDE data handle, with its length.
class ScopedDdeAccess {
public:
    explicit ScopedDdeAccess(HDDEDATA data) : data_(data), bytes_(data ? DdeAccessData(data, &size_) : nullptr) {}
    ~ScopedDdeAccess()
    {
        if (bytes_) DdeUnaccessData(data_);
    }
    ScopedDdeAccess(const ScopedDdeAccess&) = delete;
    ScopedDdeAccess& operator=(const ScopedDdeAccess&) = delete;

    const BYTE* data() const { return bytes_; }
    DWORD size() const { return bytes_ ? size_ : 0; }
    explicit operator bool() const { return bytes_ != nullptr; }

private:
    HDDEDATA data_;
    DWORD size_ = 0;
    BYTE* bytes_;
};

// BeginPaint/EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC dc() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// OpenClipboard/CloseClipboard; test `opened()` before using the clipboard.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) : opened_(OpenClipboard(owner) != FALSE) {}
    ~ScopedClipboard()
    {
        if (opened_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;

    bool opened() const { return opened_; }

private:
    bool opened_;
};

// SelectObject, undone when the scope ends.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect()
    {
        if (old_) SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
