#pragma once
// A small GIF encoder for the tests, the conformance set and the benchmark: LZW
// compression, interlaced row order, colour tables, graphic control extensions.
#include <cstdint>
#include <vector>

struct LzwOptions {
    // When the table fills: a clear code (as most encoders do), or carry on with
    // 12-bit codes and no new entries.
    bool clearWhenFull = true;
    // Start the data with a clear code.
    bool leadingClear = true;
    // End the data with the end-of-information code.
    bool endCode = true;
};

// The LZW code stream of indices (no sub-block framing).
std::vector<std::uint8_t> LzwCompress(const std::vector<std::uint8_t>& indices, int minimumCodeSize,
                                      const LzwOptions& options = {});

// Packs bytes into data sub-blocks of at most blockSize bytes plus the terminator.
std::vector<std::uint8_t> SubBlocks(const std::vector<std::uint8_t>& data, int blockSize = 255);

// Codes written with explicit widths, least significant bit first: for streams
// that no encoder would make.
class CodeWriter {
public:
    CodeWriter& Put(unsigned code, int width);
    std::vector<std::uint8_t> Bytes() const;

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t accumulator_ = 0;
    int bits_ = 0;
};

// An extension block: its label and data sub-blocks (each up to 255 bytes).
struct GifExtension {
    std::uint8_t label = 0;
    std::vector<std::vector<std::uint8_t>> subBlocks;
};

struct GifFrame {
    // Extensions written before the frame's graphic control extension.
    std::vector<GifExtension> extensions;
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // width * height indices, rows top-down
    std::vector<std::uint8_t> localRgb;  // local colour table (power of two entries) or none
    bool interlace = false;
    int minimumCodeSize = 0;  // 0: from the colour table's size
    // Graphic control extension, written when control is set.
    bool control = false;
    int disposal = 0;
    int delay = 0;
    bool transparent = false;
    int transparentIndex = 0;
    bool userInput = false;
    LzwOptions lzw;
};

struct GifImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> globalRgb;  // power of two entries, or none
    int background = 0;
    std::vector<GifFrame> frames;
};

// Header, screen descriptor and global table (no trailer).
std::vector<std::uint8_t> GifHead(const GifImage& image);
// One frame: its graphic control extension and image.
std::vector<std::uint8_t> GifFrameBytes(const GifFrame& frame, int globalEntries);
std::vector<std::uint8_t> EncodeGif(const GifImage& image);

// A picture of 256 colours: gradients with dither noise, as photos reduced to a
// palette are (the benchmarks' picture).
GifImage DitheredPicture(int width, int height);

// Rows in the order an interlaced frame stores them.
std::vector<int> InterlacedRowOrder(int height);
// A colour table of n entries: entry i is (r, g, b) from the function.
std::vector<std::uint8_t> Rgb(std::initializer_list<std::uint32_t> colors);  // 0xRRGGBB each
