#pragma once
// Image files made with the Windows Imaging Component's encoders, for tests and
// benchmarks of readers that decode them (no image files are kept in the tree).
#include <cstdint>
#include <string>
#include <vector>

enum class TWicContainer { Png, Jpeg };

// `pixels`: width x height blue-green-red-alpha quadruples, top row first.
// With `alpha` false the file holds 24-bit colour. True when the file was written.
bool WriteWicImage(const std::string& path, TWicContainer container, int width, int height,
                   const std::vector<std::uint8_t>& pixels, bool alpha);

// An 8-bit palette PNG: `indices` width x height, top row first; `colors` are
// 0xAARRGGBB entries.
bool WriteWicIndexedPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
                        const std::vector<std::uint32_t>& colors);

// A picture with detail in every channel: gradients crossed with a checker.
std::vector<std::uint8_t> TestPattern(int width, int height);
