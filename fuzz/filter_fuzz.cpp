// The open dialog's filter on arbitrary reader filters. The first byte chooses
// the reader that hands the rest over (even: GV, whose list is taken whole; odd:
// the plug-in set, whose list follows the bitmap entry). The joined filter must
// be its all-images entry, then "all files", then the list as it came: and the
// all-images entry must keep every pattern of the list, in order. (Checked on
// GV's list only: behind the bitmap entry the patterns depend on the entry's
// own bytes, which in this build are UTF-8, not the program's code page 932.) The list is
// split here by its own reading (fields between the "|" that are not the
// second byte of a double-byte character; the patterns are every second field,
// and a last description without patterns counts as one).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/utf8.h"
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

std::string Patterns(const std::string& list)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < list.size();) {
        const std::size_t next = Utf8Next(list, i);
        if (next == i + 1 && list[i] == '|')
            fields.emplace_back();
        else
            fields.back().append(list, i, next - i);
        i = next;
    }
    std::string patterns;
    for (std::size_t i = 1; i < fields.size(); i += 2) patterns += (i > 1 ? ";" : "") + fields[i];
    if (fields.size() % 2 == 1) patterns += (fields.size() > 1 ? ";" : "") + fields.back();
    return patterns;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    auto susie = std::make_unique<FixedReader>();
    auto gv = std::make_unique<FixedReader>();
    FixedReader& reader = data[0] & 1 ? *susie : *gv;
    reader.On = true;
    reader.Filter.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string list = reader.Filter;
    kxvSuperImage image(std::move(susie), std::move(gv));
    const std::string filter = image.GetFilter();

    const std::string allImages = "画像ﾌｧｲﾙ|";
    const std::string allFiles = "|すべてのﾌｧｲﾙ|*.*|";
    if (filter.compare(0, allImages.size(), allImages) != 0) std::abort();
    if (data[0] & 1) {
        if (!list.empty() && !EndsWith(filter, "|" + list)) std::abort();
    } else if (filter != allImages + Patterns(list) + allFiles + list) {
        std::abort();
    }
    return 0;
}
