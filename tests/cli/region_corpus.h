#pragma once
// BMP and GIF files of every kind the readers take a region of, for the tests
// that crop them with and without a region and for the fuzz target's seeds:
// every BMP header form, depth, table length, bit-field layout and compression,
// bottom-up and top-down, and GIF frames plain, interlaced, transparent,
// disposed, off the screen, with text and with data that ends early.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/rect.h"

struct TRegionSample {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
    int Width = 0;  // the picture's size
    int Height = 0;
    unsigned Bits = 0;  // a BMP file's bits per pixel; 0 for a GIF file
};

std::vector<TRegionSample> RegionSamples();

// Rectangles inside a picture of this size, across each of its edges, around
// it, wholly outside it and empty.
std::vector<TRect> RegionRects(int width, int height);
