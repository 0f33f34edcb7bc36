#pragma once
// A plug-in's info texts made from fuzz bytes, shared by the targets that read
// plug-in format lists: the texts for the info numbers 0, 1, 2, ... split at each
// line end, the text of the one byte 0x7F standing for "no such number". When
// `keepsAnswering` is set, every number past the texts answers with the last one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "external/spi_format_list.h"

inline std::vector<std::string> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

class TPluginInfoTexts {
public:
    TPluginInfoTexts(std::string_view bytes, bool keepsAnswering)
        : texts_(SplitAt(bytes, '\n')), keepsAnswering_(keepsAnswering)
    {
    }

    std::optional<std::string> operator()(int number) const
    {
        std::size_t at = std::size_t(number);
        if (at >= texts_.size()) {
            if (!keepsAnswering_) return std::nullopt;
            at = texts_.size() - 1;
        }
        if (texts_[at] == "\x7F") return std::nullopt;
        return texts_[at];
    }

    // The fields the plug-in's filter must hold: for each format up to the first
    // without a description, within the limit, its description and pattern when
    // the pattern is given and not empty and neither holds a "|".
    std::vector<std::string> UsableFields() const
    {
        std::vector<std::string> fields;
        for (int n = 1; n <= spi::kMaxFormats; ++n) {
            const std::optional<std::string> description = (*this)(2 * n + 1), pattern = (*this)(2 * n);
            if (!description) break;
            if (!pattern || pattern->empty() || (*description + *pattern).find('|') != std::string::npos) continue;
            fields.push_back(*description);
            fields.push_back(*pattern);
        }
        return fields;
    }

private:
    std::vector<std::string> texts_;
    bool keepsAnswering_;
};
