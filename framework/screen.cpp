#include "framework/screen.h"

void TScreen::SetCursor(TCursor cursor)
{
    if (cursor_.exchange(cursor, std::memory_order_relaxed) == cursor) return;
    if (OnCursorChange) OnCursorChange(cursor);
}

void* TScreen::CursorHandle(TCursor number) const
{
    const auto it = cursors_.find(number);
    return it == cursors_.end() ? nullptr : it->second;
}

TScreen& Screen()
{
    static TScreen screen;
    return screen;
}
