// The open dialog's filter on arbitrary reader lists. The first byte chooses the
// reader (even: GV, whose list is the rest, taken whole; odd: the plug-in set).
// For the plug-in set the rest is its plug-ins, split at each zero byte, each
// plug-in its info texts (fuzz/plugin_info_texts.h); their lists are made and
// joined as the set makes them, and follow the bitmap entry.
// The joined filter must be its all-images entry, then "all files", then the
// list; the all-images entry must keep every pattern of the list, in order; and
// behind the bitmap entry the list's fields must pair up as the plug-ins' usable
// formats (a description and a pattern, neither with a "|"), nothing shifted.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/plugin_info_texts.h"
#include "image/kxv_super_image.h"

namespace {

class FixedReader final : public TExternalReader {
public:
    bool On = false;
    std::string Filter;

    bool Enable() const override { return On; }
    void SetEnable(bool value) override { On = value; }
    std::string Path() const override { return {}; }
    void SetPath(const std::string&) override {}
    std::string GetFilter() override { return Filter; }
    bool LoadFromFile(const std::string&, TBitmap&) override { return false; }
    int SourceColorDepth() const override { return 0; }
    const TLogPalette* SourcePalette() const override { return nullptr; }
    void SetPalette(PaletteHandle) override {}
};

// The patterns are every second field; a last description without patterns
// counts as one. No byte of a multi-byte UTF-8 character is a "|": every one
// separates.
std::string Patterns(const std::string& list)
{
    const std::vector<std::string> fields = SplitAt(list, '|');
    std::string patterns;
    for (std::size_t i = 1; i < fields.size(); i += 2) patterns += (i > 1 ? ";" : "") + fields[i];
    if (fields.size() % 2 == 1) patterns += (fields.size() > 1 ? ";" : "") + fields.back();
    return patterns;
}

struct TPlugins {
    std::string filter;               // as the set joins it
    std::vector<std::string> fields;  // what it must hold: the usable formats' pairs
};

TPlugins Plugins(std::string_view bytes)
{
    TPlugins plugins;
    for (const std::string& plugin : SplitAt(bytes, '\0')) {
        const TPluginInfoTexts texts(plugin, false);
        spi::AppendFilter(plugins.filter, spi::FormatFilter(texts));
        const std::vector<std::string> fields = texts.UsableFields();
        plugins.fields.insert(plugins.fields.end(), fields.begin(), fields.end());
    }
    return plugins;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool fromPlugins = data[0] & 1;
    auto susie = std::make_unique<FixedReader>();
    auto gv = std::make_unique<FixedReader>();
    TPlugins plugins;
    if (fromPlugins) {
        plugins = Plugins(rest);
        susie->Filter = plugins.filter;
        susie->On = true;
    } else {
        gv->Filter = rest;
        gv->On = true;
    }
    kxvSuperImage image(std::move(susie), std::move(gv));
    const std::string filter = image.GetFilter();

    const std::string bitmapEntry = "ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB";
    const std::string list =
        fromPlugins ? bitmapEntry + (plugins.filter.empty() ? "" : "|" + plugins.filter) : std::string(rest);
    if (filter != "画像ﾌｧｲﾙ|" + Patterns(list) + "|すべてのﾌｧｲﾙ|*.*|" + list) std::abort();
    if (fromPlugins) {
        std::vector<std::string> expected = SplitAt(bitmapEntry, '|');
        expected.insert(expected.end(), plugins.fields.begin(), plugins.fields.end());
        if (SplitAt(list, '|') != expected) std::abort();
    }
    return 0;
}
