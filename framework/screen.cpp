#include "framework/screen.h"

void TScreen::SetCursor(TCursor cursor)
{
    if (cursor == cursor_) return;
    cursor_ = cursor;
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
