#pragma once
// Small scanning helpers for text replies and colour tables.
#include <cstddef>
#include <cstdint>
#include <optional>

// The first character that is neither a blank nor a tab.
const char* SkipSpaces(const char* cursor);
// Blanks, an optional sign, blanks, decimal digits; the cursor ends after them.
int ParseInt(const char*& cursor);
// Position of the first element equal to value among the first count.
std::optional<std::size_t> ScanDWord(const std::uint32_t* values, std::uint32_t value, std::size_t count);
