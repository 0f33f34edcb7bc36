#pragma once
// The crop rectangle as users write it on command lines: WIDTHxHEIGHT+X+Y.
#include <optional>
#include <string_view>

#include "image/kx_rect.h"

// WIDTHxHEIGHT followed by two signed offsets, each "+N" or "-N" (a negative
// offset lies left of or above the picture, which then crops to black there).
// None when the text has another form or an edge would not fit in 32 bits.
std::optional<kxRect> ParseCropGeometry(std::string_view text);
