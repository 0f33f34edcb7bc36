#pragma once
// kxWaitCursor: the hourglass for as long as the object lives; the cursor from
// before comes back when it goes, however the scope is left. Instances nest.
#include "framework/screen.h"

class kxWaitCursor {
public:
    kxWaitCursor() : saved_(Screen().Cursor()) { Screen().SetCursor(crHourGlass); }
    ~kxWaitCursor() { Screen().SetCursor(saved_); }
    kxWaitCursor(const kxWaitCursor&) = delete;
    kxWaitCursor& operator=(const kxWaitCursor&) = delete;

private:
    TCursor saved_;
};
