// A plug-in's info texts on arbitrary bytes: the first byte's low bit makes a
// plug-in that keeps answering every number past its texts, the rest are the
// texts (fuzz/plugin_info_texts.h). The version text, read from an allocation of
// exactly its size, must give the type's two characters and nothing from past
// its end. The format list must ask descriptions 3, 5, 7, ... in order and a
// pattern only after its description, never past the format limit, and stop at
// the first missing description; its fields must be the usable formats'
// descriptions and patterns, in pairs, nothing invented and nothing lost.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/plugin_info_texts.h"

namespace {

void CheckVersion(const std::string& text)
{
    const std::unique_ptr<char[]> exact(new char[text.size()]);
    std::memcpy(exact.get(), text.data(), text.size());
    const spi::TVersionInfo version = spi::ReadVersionInfo({exact.get(), text.size()});
    const auto at = [&text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    if ((version.pluginType & 0xFF) != at(2) || version.pluginType >> 8 != at(3) || version.apiVersion > 0xFF)
        std::abort();
    if (text.size() >= 2 && text[0] >= '0' && text[0] <= '9' && text[1] >= '0' && text[1] <= '9' &&
        version.apiVersion != (text[0] - '0') * 16 + (text[1] - '0'))
        std::abort();
}

void CheckAsks(const std::vector<int>& asked, const TPluginInfoTexts& texts)
{
    int formats = 0;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const int number = asked[i];
        const bool description = number % 2 == 1;
        if (description ? number != 2 * ++formats + 1 : i == 0 || asked[i - 1] != number + 1) std::abort();
        if (description && !texts(number) && i + 1 != asked.size()) std::abort();
    }
    if (formats == 0 || formats > spi::kMaxFormats) std::abort();
    // It ends at a missing description, or at the limit.
    const int last = asked.back();
    if (last % 2 == 1 ? texts(last).has_value() : formats != spi::kMaxFormats) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const TPluginInfoTexts texts(rest, data[0] & 1);
    if (const std::optional<std::string> version = texts(0)) CheckVersion(*version);

    std::vector<int> asked;
    const std::string filter = spi::FormatFilter([&](int number) {
        asked.push_back(number);
        return texts(number);
    });
    CheckAsks(asked, texts);
    const std::vector<std::string> fields = SplitAt(filter, '|');
    if (filter.empty() ? !texts.UsableFields().empty() : fields != texts.UsableFields()) std::abort();
    return 0;
}
