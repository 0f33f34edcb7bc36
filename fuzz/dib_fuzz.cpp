// The DIB blocks that outside decoders hand over, on arbitrary bytes: MeasureDib
// on the block, the DIB file stream over the block cut into its info part and
// its pixel bits, and the packed-DIB stream over the whole block. Each block is
// a heap allocation of exactly its size, so that a read past it is an
// AddressSanitizer report. Checked beyond that: the measured parts never claim
// more than the block; a stream opens exactly when the block holds what its
// header claims, and then hands out the bytes of the block behind a file header
// of its own, and nothing past its size; the bitmap loads from either stream or
// raises one of the graphic errors.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "external/dib_file_stream.h"
#include "external/kxv_gv_stream.h"
#include "framework/bitmap.h"
#include "framework/dib_layout.h"
#include "framework/exceptions.h"

namespace {

constexpr std::int64_t kFileHeaderSize = 14;

// A copy of the bytes in an allocation of exactly their size (never null).
std::unique_ptr<std::uint8_t[]> Block(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size]);
    if (size) std::memcpy(block.get(), data, size);
    return block;
}

void CheckLayout(const TDibLayout& dib, std::size_t blockSize)
{
    const bool knownHeader = dib.HeaderSize == 12 || dib.HeaderSize == 40 || dib.HeaderSize == 52 ||
                             dib.HeaderSize == 56 || dib.HeaderSize == 64 || dib.HeaderSize == 108 ||
                             dib.HeaderSize == 124;
    if (!knownHeader || dib.InfoSize() > blockSize || dib.InfoSize() < dib.HeaderSize) std::abort();
    if (dib.MaskSize != 0 && (dib.MaskSize != 12 || dib.HeaderSize != 40 || dib.Compression != 3)) std::abort();
    if (dib.TableSize % (dib.HeaderSize == 12 ? 3 : 4) != 0 || dib.Width <= 0 || dib.Height == 0) std::abort();
    if (dib.Compression == 0 || dib.Compression == 3) {
        const std::uint64_t rows = dib.Height < 0 ? -std::int64_t(dib.Height) : dib.Height;
        const std::uint64_t stride = (std::uint64_t(dib.Width) * dib.BitCount + 31) / 32 * 4;
        if (dib.ImageSize < stride * rows) std::abort();
    }
}

// Reads the whole stream in pieces of varying length, then pieces from
// positions across it and past its end. Every byte from `from` on must equal
// `expected` (`expectedSize` bytes); those before it, the stream's own header,
// begin with "BM".
void CheckReads(TStream& stream, std::int64_t from, const std::uint8_t* expected, std::int64_t expectedSize)
{
    const std::int64_t size = stream.Size();
    if (size != from + expectedSize) std::abort();
    std::uint8_t chunk[80];
    std::int64_t position = 0;
    const auto check = [&](std::int64_t n, std::int64_t asked) {
        if (n < 0 || n > asked || n != std::min(asked, std::max<std::int64_t>(size - position, 0))) std::abort();
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t at = position + i;
            if (at >= from ? chunk[i] != expected[at - from] : at < 2 && chunk[i] != "BM"[at]) std::abort();
        }
        return n;
    };
    for (std::int64_t step = 1; position < size; step = step % 67 + 13) position += check(stream.Read(chunk, step), step);
    for (std::int64_t k = 0; k <= 8; ++k) {
        position = size * k / 7;  // the last two at and past the end
        if (stream.Seek(position, soBeginning) != position) std::abort();
        check(stream.Read(chunk, sizeof chunk), sizeof chunk);
    }
    if (stream.Write(chunk, 1) != 0) std::abort();  // the blocks are read-only
    stream.SetPosition(0);
}

void Load(TStream& stream)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfResources&) {
    }
}

void FuzzFileStream(const std::uint8_t* data, std::size_t size, std::size_t infoSize, const TDibLayout* dib)
{
    const auto info = Block(data, infoSize);
    const auto bits = Block(data + infoSize, size - infoSize);
    TDibFileStream stream;
    const bool opened = stream.Open(info.get(), infoSize, bits.get(), size - infoSize);
    if (opened != (dib && dib->InfoSize() <= infoSize && dib->ImageSize <= size - infoSize)) std::abort();
    if (!opened) return;
    if (stream.BitsSize() != dib->ImageSize || stream.HeaderSize() < kFileHeaderSize + dib->HeaderSize) std::abort();
    // The header part is the stream's own copy (with repairs); the pixel bits
    // are the block's, in place.
    CheckReads(stream, stream.HeaderSize(), bits.get(), dib->ImageSize);
    if (const PaletteHandle palette = stream.MakePalette())
        if (palette->palVersion != 0x300 || palette->palNumEntries > TLogPalette::MaxEntries) std::abort();
    Load(stream);
}

void FuzzPackedStream(const std::uint8_t* block, std::size_t size, const TDibLayout* dib)
{
    const bool fits = dib && std::uint64_t(dib->InfoSize()) + dib->ImageSize <= size;
    try {
        kxvGVStream stream(block, size);
        if (!fits || stream.HeaderLength != kFileHeaderSize + dib->InfoSize()) std::abort();
        CheckReads(stream, kFileHeaderSize, block, std::int64_t(dib->InfoSize()) + dib->ImageSize);
        Load(stream);
    } catch (const EReadError&) {
        if (fits) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto block = Block(data, size);
    const std::optional<TDibLayout> measured = MeasureDib(block.get(), size);
    const TDibLayout* dib = measured ? &*measured : nullptr;
    if (dib) CheckLayout(*dib, size);
    FuzzPackedStream(block.get(), size, dib);
    // The info part as the header measures it, and one byte short of it.
    const std::size_t infoSize = dib ? dib->InfoSize() : std::min<std::size_t>(size, 40);
    FuzzFileStream(data, size, infoSize, dib);
    if (infoSize > 0) FuzzFileStream(data, size, infoSize - 1, dib);
    return 0;
}
