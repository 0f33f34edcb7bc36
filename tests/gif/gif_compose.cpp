#include "gif/gif_compose.h"

#include <algorithm>

std::vector<std::uint32_t> ComposeFrames(int width, int height, std::uint32_t background,
                                         const std::vector<ComposeFrame>& frames)
{
    std::vector<std::uint32_t> screen(std::size_t(width) * std::size_t(height), background);
    for (const ComposeFrame& f : frames) {
        const int x0 = std::max(f.left, 0), y0 = std::max(f.top, 0);
        const int x1 = std::min(f.left + f.width, width), y1 = std::min(f.top + f.height, height);
        std::vector<std::uint32_t> under;
        if (f.disposal == 3)
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) under.push_back(screen[std::size_t(y) * width + x]);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const int index = f.pixels[std::size_t(y - f.top) * f.width + (x - f.left)];
                if (f.transparent && index == f.transparentIndex) continue;
                std::uint32_t color = 0;
                if (std::size_t(index) * 3 + 2 < f.rgb.size()) {
                    const std::uint8_t* c = &f.rgb[std::size_t(index) * 3];
                    color = std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | c[2];
                }
                screen[std::size_t(y) * width + x] = color;
            }
        }
        if (f.disposal == 2) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) screen[std::size_t(y) * width + x] = background;
        } else if (f.disposal == 3) {
            std::size_t i = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) screen[std::size_t(y) * width + x] = under[i++];
        }
    }
    return screen;
}
