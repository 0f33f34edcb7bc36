#pragma once
// The screen: its current cursor and the table of cursors by number. The Win32
// layer installs the hooks that make a cursor number visible.
#include <atomic>
#include <functional>
#include <map>

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crSizeAll = -22;

class TScreen {
public:
    TCursor Cursor() const { return cursor_.load(std::memory_order_relaxed); }
    void SetCursor(TCursor cursor);

    // Called with the new cursor number whenever it changes (the platform shows it).
    std::function<void(TCursor)> OnCursorChange;

    // Registered cursors: an opaque platform handle per number.
    void SetCursorHandle(TCursor number, void* handle) { cursors_[number] = handle; }
    void* CursorHandle(TCursor number) const;

private:
    // Atomic: the command-line clipper's workers hold wait cursors on threads of
    // their own (with no window, nothing shows them).
    std::atomic<TCursor> cursor_ = crDefault;
    std::map<TCursor, void*> cursors_;
};

TScreen& Screen();
