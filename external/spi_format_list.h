#pragma once
// What a Susie plug-in says of itself through its info numbers: number 0 its
// API version and type ("00IN"), then for the n-th format (n from 1) number 2n
// its file patterns and 2n+1 its description. Filter text is the open dialog's:
// description, "|", patterns, further pairs joined by "|", so every format must
// give exactly two fields, or every later field would shift by one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace spi {

// A plug-in that keeps answering is not asked past this many formats.
constexpr int kMaxFormats = 256;

struct TVersionInfo {
    std::uint16_t pluginType = 0;  // characters 3 and 4, the first in the low byte
    std::uint16_t apiVersion = 0;  // characters 1 and 2 read as two digits
};
// Characters missing from a short text count as 0.
TVersionInfo ReadVersionInfo(std::string_view text);

// The text of an info number, or none when the plug-in has no such number.
using TInfoText = std::function<std::optional<std::string>(int number)>;

// The plug-in's formats as filter text, asked in order until a description is
// missing. A format without a pattern, or with a "|" in either field, is left
// out: the dialog could not use it, and it would break the pairs after it.
std::string FormatFilter(const TInfoText& info);

// Appends a filter to a joined one: an empty part adds nothing, not even its "|".
void AppendFilter(std::string& joined, std::string_view part);

}  // namespace spi
