#pragma once
// The composition rule an animated GIF's frames follow, written plainly: the
// reference the decoder's output is compared against (for our own encoder's
// frames and for another decoder's).
#include <cstdint>
#include <vector>

struct ComposeFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // rows top-down, in display order
    std::vector<std::uint8_t> rgb;     // the frame's colour table (local or global)
    bool transparent = false;
    int transparentIndex = 0;
    int disposal = 0;
};

// Pixels 0x00RRGGBB, rows top-down: the screen filled with the background, then
// each frame drawn (indices past the table black, the transparent index left
// out) and disposed of (2: background, 3: what lay under it).
std::vector<std::uint32_t> ComposeFrames(int width, int height, std::uint32_t background,
                                         const std::vector<ComposeFrame>& frames);
