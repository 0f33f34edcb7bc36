// kxvGIF::LoadFromStream on arbitrary bytes, without waiting out delays. The
// bytes are decoded twice, once straight from memory and once through a stream
// that hands out a few bytes per read: both must fail alike or give the same
// picture, which always has the screen's size. The last byte's two low bits
// choose the settings.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/pixel_buffer.h"
#include "framework/streams.h"
#include "fuzz/trickle_stream.h"
#include "gif/kxv_gif.h"

namespace {

// 0: decoded, 1: invalid graphic, 2: out of resources.
int Decode(TStream& stream, int settings, TBitmap& bitmap)
{
    const bool variant = settings & 1;
    kxvGIF gif;
    // A still picture ends at its first frame, and its delay at once.
    gif.Animate = !(settings & 2);
    gif.UseDelay = !gif.Animate;
    if (variant) {
        gif.TransparentColor = 0x000000;
        gif.OffsetX = 3;
        gif.OffsetY = -2;
        gif.CopyMode = 0x00990066;  // not XOR source: the general raster path
        gif.PlainText = false;
        gif.OnUserInput = [](kxvGIF&) { return true; };
    } else {
        gif.OnComment = [](kxvGIF&, const char* text) {
            volatile std::size_t length = std::strlen(text);  // the terminator must be there
            (void)length;
        };
    }
    gif.OnApplication = [&](kxvGIF&, const std::uint8_t* block, int length) {
        volatile std::uint8_t last = block[3 + block[2] + length];
        (void)last;
    };
    int error = 0;
    try {
        gif.LoadFromStream(stream, bitmap);
    } catch (const EInvalidGraphic&) {
        error = 1;
    } catch (const EOutOfResources&) {
        error = 2;
    }
    if (error == 0 && (bitmap.Width() != std::max(gif.ScreenWidth + (variant ? 3 : 0), 0) ||
                       bitmap.Height() != std::max(gif.ScreenHeight + (variant ? -2 : 0), 0)))
        std::abort();
    return error;
}

// Compared in place: copying every row out would cost more than the decoding.
bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; !a.Empty() && y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width()) * 4) != 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Screens of up to a quarter of a gigapixel are valid and decode, slowly: keep
    // the fuzzer to sizes that let it try many inputs. Within the build's bitmap
    // limit, screens larger than 256 x 256 take the paths of smaller ones at many
    // times their cost; past it, the bitmap is refused before anything is drawn.
    const std::int64_t screen = size >= 10 ? std::int64_t(data[6] | data[7] << 8) * (data[8] | data[9] << 8) : 0;
    if ((screen > (1 << 16) && screen <= MaxBitmapPixels) || screen > (1 << 22)) return 0;
    const int settings = size > 0 ? data[size - 1] & 3 : 0;
    TCustomMemoryStream memory(data, std::int64_t(size));
    TrickleStream trickle(data, std::int64_t(size), 5);
    TBitmap a, b;
    if (Decode(memory, settings, a) != Decode(trickle, settings, b) || !SamePixels(a, b)) std::abort();
    return 0;
}
