#include "framework/pixel_rows.h"

#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define TALVERN_ROW_SHUFFLES 1
#include <immintrin.h>
#endif

namespace {

std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);  // the byte order of the files and of x86 alike
    return v;
}

// Whole words rather than bytes: four pixels from three words, three words from four pixels.
void ExpandByWords(const std::uint8_t* source, std::uint32_t* destination, std::size_t width, std::size_t x)
{
    for (; x + 4 <= width; x += 4) {
        const std::uint8_t* s = source + 3 * x;
        const std::uint32_t w0 = Load32(s), w1 = Load32(s + 4), w2 = Load32(s + 8);
        destination[x] = w0 & 0xFFFFFF;
        destination[x + 1] = w0 >> 24 | (w1 & 0xFFFF) << 8;
        destination[x + 2] = w1 >> 16 | (w2 & 0xFF) << 16;
        destination[x + 3] = w2 >> 8;
    }
    for (; x < width; ++x) {
        const std::uint8_t* s = source + 3 * x;
        destination[x] = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]) << 16;
    }
}

void PackByWords(const std::uint32_t* source, std::uint8_t* destination, std::size_t width, std::size_t x)
{
    for (; x + 4 <= width; x += 4) {
        const std::uint32_t p0 = source[x] & 0xFFFFFF, p1 = source[x + 1] & 0xFFFFFF;
        const std::uint32_t p2 = source[x + 2] & 0xFFFFFF, p3 = source[x + 3] & 0xFFFFFF;
        // Three separate stores: one 12-byte copy from a local array goes
        // through the stack and stalls on store forwarding.
        const std::uint32_t w0 = p0 | p1 << 24, w1 = p1 >> 8 | p2 << 16, w2 = p2 >> 16 | p3 << 8;
        std::uint8_t* d = destination + 3 * x;
        std::memcpy(d, &w0, 4);
        std::memcpy(d + 4, &w1, 4);
        std::memcpy(d + 8, &w2, 4);
    }
    for (; x < width; ++x) {
        const std::uint32_t p = source[x];
        std::uint8_t* d = destination + 3 * x;
        d[0] = std::uint8_t(p);
        d[1] = std::uint8_t(p >> 8);
        d[2] = std::uint8_t(p >> 16);
    }
}

#ifdef TALVERN_ROW_SHUFFLES

bool HasShuffles()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Sixteen pixels a step, reading exactly their 48 bytes; returns where it stopped.
__attribute__((target("ssse3"))) std::size_t ExpandByShuffles(const std::uint8_t* source, std::uint32_t* destination,
                                                               std::size_t width)
{
    const __m128i low = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i high = _mm_setr_epi8(4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
    std::size_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const std::uint8_t* s = source + 3 * x;
        __m128i* d = reinterpret_cast<__m128i*>(destination + x);
        _mm_storeu_si128(d, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), low));
        _mm_storeu_si128(d + 1, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 12)), low));
        _mm_storeu_si128(d + 2, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 24)), low));
        _mm_storeu_si128(d + 3, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32)), high));
    }
    return x;
}

// Sixteen pixels a step into 48 bytes: each group of four packed to twelve bytes,
// the four groups then laid end to end across three registers.
__attribute__((target("ssse3"))) std::size_t PackByShuffles(const std::uint32_t* source, std::uint8_t* destination,
                                                             std::size_t width)
{
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i* s = reinterpret_cast<const __m128i*>(source + x);
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(s), pack);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(s + 1), pack);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(s + 2), pack);
        const __m128i e = _mm_shuffle_epi8(_mm_loadu_si128(s + 3), pack);
        __m128i* d = reinterpret_cast<__m128i*>(destination + 3 * x);
        _mm_storeu_si128(d, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(d + 1, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(d + 2, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(e, 4)));
    }
    return x;
}

#endif

}  // namespace

void ExpandTriples(const std::uint8_t* source, std::uint32_t* destination, std::size_t width)
{
    std::size_t x = 0;
#ifdef TALVERN_ROW_SHUFFLES
    if (HasShuffles()) x = ExpandByShuffles(source, destination, width);
#endif
    ExpandByWords(source, destination, width, x);
}

void PackTriples(const std::uint32_t* source, std::uint8_t* destination, std::size_t width)
{
    std::size_t x = 0;
#ifdef TALVERN_ROW_SHUFFLES
    if (HasShuffles()) x = PackByShuffles(source, destination, width);
#endif
    PackByWords(source, destination, width, x);
}
