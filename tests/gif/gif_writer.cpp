#include "gif/gif_writer.h"

#include <algorithm>
#include <unordered_map>

CodeWriter& CodeWriter::Put(unsigned code, int width)
{
    accumulator_ |= std::uint32_t(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
        bytes_.push_back(std::uint8_t(accumulator_));
        accumulator_ >>= 8;
        bits_ -= 8;
    }
    return *this;
}

std::vector<std::uint8_t> CodeWriter::Bytes() const
{
    std::vector<std::uint8_t> out = bytes_;
    if (bits_ > 0) out.push_back(std::uint8_t(accumulator_));
    return out;
}

std::vector<std::uint8_t> LzwCompress(const std::vector<std::uint8_t>& indices, int minimumCodeSize,
                                      const LzwOptions& options)
{
    const int clear = 1 << minimumCodeSize;
    CodeWriter out;
    std::unordered_map<std::uint32_t, int> table;
    int size = 0;
    int next = 0;         // the encoder's next entry
    int decoderNext = 0;  // the decoder's, one code behind
    bool first = true;
    auto reset = [&] {
        table.clear();
        size = minimumCodeSize + 1;
        next = clear + 2;
        decoderNext = clear + 2;
        first = true;
    };
    auto emit = [&](int code) {
        out.Put(unsigned(code), size);
        if (code == clear) return;
        if (!first && decoderNext < 4096) {
            ++decoderNext;
            if (decoderNext >= (1 << size) && size < 12) ++size;
        }
        first = false;
    };
    reset();
    if (options.leadingClear) out.Put(unsigned(clear), size);
    if (!indices.empty()) {
        int prefix = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const std::uint32_t key = std::uint32_t(prefix) << 8 | indices[i];
            auto found = table.find(key);
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            emit(prefix);
            if (next < 4096) {
                table.emplace(key, next++);
            }
            if (next == 4096 && options.clearWhenFull) {
                out.Put(unsigned(clear), size);
                reset();
            }
            prefix = indices[i];
        }
        emit(prefix);
    }
    if (options.endCode) out.Put(unsigned(clear + 1), size);
    return out.Bytes();
}

std::vector<std::uint8_t> SubBlocks(const std::vector<std::uint8_t>& data, int blockSize)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < data.size(); i += std::size_t(blockSize)) {
        const std::size_t n = std::min(data.size() - i, std::size_t(blockSize));
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
    }
    out.push_back(0);
    return out;
}

namespace {

void U16(std::vector<std::uint8_t>& out, int v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

// Table size field and entry count for a table of rgb bytes.
int SizeField(std::size_t bytes)
{
    int field = 0;
    while ((2u << field) * 3 < bytes) ++field;
    return field;
}

}  // namespace

std::vector<int> InterlacedRowOrder(int height)
{
    std::vector<int> rows;
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
    return rows;
}

std::vector<std::uint8_t> Rgb(std::initializer_list<std::uint32_t> colors)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t c : colors) {
        out.push_back(std::uint8_t(c >> 16));
        out.push_back(std::uint8_t(c >> 8));
        out.push_back(std::uint8_t(c));
    }
    return out;
}

std::vector<std::uint8_t> GifHead(const GifImage& image)
{
    std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    U16(out, image.width);
    U16(out, image.height);
    const bool global = !image.globalRgb.empty();
    out.push_back(std::uint8_t(global ? 0x80 | 0x70 | SizeField(image.globalRgb.size()) : 0));
    out.push_back(std::uint8_t(image.background));
    out.push_back(0);
    if (global) {
        out.insert(out.end(), image.globalRgb.begin(), image.globalRgb.end());
        out.resize(out.size() + (2u << SizeField(image.globalRgb.size())) * 3 - image.globalRgb.size(), 0);
    }
    return out;
}

std::vector<std::uint8_t> GifFrameBytes(const GifFrame& frame, int globalEntries)
{
    std::vector<std::uint8_t> out;
    for (const GifExtension& extension : frame.extensions) {
        out.insert(out.end(), {0x21, extension.label});
        for (const std::vector<std::uint8_t>& block : extension.subBlocks) {
            out.push_back(std::uint8_t(block.size()));
            out.insert(out.end(), block.begin(), block.end());
        }
        out.push_back(0);
    }
    if (frame.control) {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(std::uint8_t((frame.disposal & 7) << 2 | (frame.userInput ? 2 : 0) | (frame.transparent ? 1 : 0)));
        U16(out, frame.delay);
        out.push_back(std::uint8_t(frame.transparentIndex));
        out.push_back(0);
    }
    out.push_back(0x2C);
    U16(out, frame.left);
    U16(out, frame.top);
    U16(out, frame.width);
    U16(out, frame.height);
    const bool local = !frame.localRgb.empty();
    const int field = local ? SizeField(frame.localRgb.size()) : 0;
    out.push_back(std::uint8_t((local ? 0x80 | field : 0) | (frame.interlace ? 0x40 : 0)));
    if (local) {
        out.insert(out.end(), frame.localRgb.begin(), frame.localRgb.end());
        out.resize(out.size() + (2u << field) * 3 - frame.localRgb.size(), 0);
    }
    int entries = local ? (2 << field) : globalEntries;
    int minimum = frame.minimumCodeSize;
    if (minimum == 0) {
        minimum = 2;
        while ((1 << minimum) < entries) ++minimum;
    }
    out.push_back(std::uint8_t(minimum));
    std::vector<std::uint8_t> pixels = frame.pixels;
    if (frame.interlace) {
        pixels.clear();
        for (int y : InterlacedRowOrder(frame.height))
            pixels.insert(pixels.end(), frame.pixels.begin() + std::ptrdiff_t(y) * frame.width,
                          frame.pixels.begin() + std::ptrdiff_t(y + 1) * frame.width);
    }
    const std::vector<std::uint8_t> blocks = SubBlocks(LzwCompress(pixels, minimum, frame.lzw));
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

std::vector<std::uint8_t> EncodeGif(const GifImage& image)
{
    std::vector<std::uint8_t> out = GifHead(image);
    const int globalEntries = image.globalRgb.empty() ? 0 : (2 << SizeField(image.globalRgb.size()));
    for (const GifFrame& frame : image.frames) {
        const std::vector<std::uint8_t> bytes = GifFrameBytes(frame, globalEntries);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    out.push_back(0x3B);
    return out;
}

GifImage DitheredPicture(int width, int height)
{
    GifImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < 256; ++i)
        image.globalRgb.insert(image.globalRgb.end(), {std::uint8_t(i), std::uint8_t(i * 7), std::uint8_t(255 - i)});
    GifFrame frame;
    frame.width = width;
    frame.height = height;
    std::uint32_t seed = 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int value = x * 160 / width + y * 96 / height + int(seed >> 29) - 4;
            frame.pixels.push_back(std::uint8_t(std::clamp(value, 0, 255)));
        }
    image.frames.push_back(std::move(frame));
    return image;
}
