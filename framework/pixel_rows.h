#pragma once
// Conversions of whole rows between 24-bit blue-green-red triples, as BMP files
// store them, and the bitmap's 32-bit pixels (the fourth byte 0). They run over
// every pixel of every picture loaded or saved, so they take the processor's
// byte shuffles where it has them.
#include <cstddef>
#include <cstdint>

// `width` triples from `source` to `width` pixels at `destination`.
void ExpandTriples(const std::uint8_t* source, std::uint32_t* destination, std::size_t width);

// `width` pixels from `source` to `width` triples at `destination`.
void PackTriples(const std::uint32_t* source, std::uint8_t* destination, std::size_t width);
