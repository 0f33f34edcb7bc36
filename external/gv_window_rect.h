#pragma once
// GV's "WindowRect" reply: five decimal integers (left, top, width, height and a
// fifth value), each followed by exactly one separator character, whatever it is.
#include "framework/rect.h"

// `text` is zero-terminated and nothing past the terminator is read; missing
// numbers read as 0. False, with rect and value untouched, when the right or the
// bottom edge lies outside the range of a coordinate.
bool ParseWindowRect(const char* text, TRect& rect, int& value);
