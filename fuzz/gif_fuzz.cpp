// kxvGIF::LoadFromStream on arbitrary bytes, without waiting out delays. The
// bytes are decoded twice, once straight from memory and once through a stream
// that hands out a few bytes per read: both must fail alike or give the same
// picture, which always has the screen's size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "fuzz/trickle_stream.h"
#include "gif/kxv_gif.h"

namespace {

struct Outcome {
    int error = 0;  // 0 none, 1 invalid graphic, 2 out of resources
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
};

Outcome Decode(TStream& stream, bool variant)
{
    Outcome outcome;
    kxvGIF gif;
    gif.UseDelay = false;
    if (variant) {
        gif.TransparentColor = 0x000000;
        gif.OffsetX = 3;
        gif.OffsetY = -2;
        gif.CopyMode = 0x00990066;  // not XOR source: the general raster path
    }
    int comments = 0;
    gif.OnComment = [&](kxvGIF&, const char* text) { comments += int(std::strlen(text) > 0); };
    gif.OnApplication = [&](kxvGIF&, const std::uint8_t* block, int length) {
        volatile std::uint8_t last = block[3 + block[2] + length];
        (void)last;
    };
    TBitmap bitmap;
    try {
        gif.LoadFromStream(stream, bitmap);
    } catch (const EInvalidGraphic&) {
        outcome.error = 1;
    } catch (const EOutOfResources&) {
        outcome.error = 2;
    }
    outcome.width = bitmap.Width();
    outcome.height = bitmap.Height();
    if (outcome.error == 0 && (bitmap.Width() != std::max(gif.ScreenWidth + (variant ? 3 : 0), 0) ||
                               bitmap.Height() != std::max(gif.ScreenHeight + (variant ? -2 : 0), 0)))
        std::abort();
    for (int y = 0; !bitmap.Empty() && y < bitmap.Height(); ++y)
        outcome.pixels.insert(outcome.pixels.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Screens of up to a quarter of a gigapixel are valid and decode, slowly: keep
    // the fuzzer to sizes that let it try many inputs.
    if (size >= 10 && std::uint32_t(data[6] | data[7] << 8) * std::uint32_t(data[8] | data[9] << 8) > (1u << 22))
        return 0;
    const bool variant = size > 0 && (data[size - 1] & 1);
    TCustomMemoryStream memory(data, std::int64_t(size));
    TrickleStream trickle(data, std::int64_t(size), 5);
    const Outcome a = Decode(memory, variant);
    const Outcome b = Decode(trickle, variant);
    if (a.error != b.error || a.width != b.width || a.height != b.height || a.pixels != b.pixels) std::abort();
    return 0;
}
