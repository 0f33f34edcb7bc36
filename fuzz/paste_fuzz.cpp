// Pasted clipboard text on arbitrary bytes, as the clip list takes it: cut to
// the paste limit, split into lines, each name case-folded for the uniqueness
// check. The cut must be the longest prefix within the limit that ends on a
// character's end; the lines must rejoin to the cut text (each line followed by
// the end it had, CR LF, CR or LF, the last one perhaps by none); folding must
// keep the length, touch only ASCII capitals and be idempotent.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/clip_list.h"
#include "framework/utf8.h"

namespace {

void CheckCut(std::string_view text, const std::string& cut, std::size_t limit)
{
    // The limit counts each character by its width in code page 932.
    if (text.compare(0, cut.size(), cut) != 0) std::abort();
    std::size_t end = 0, width = 0;
    while (end < cut.size()) {
        width += std::size_t(Cp932Width(Utf8CodeAt(text, end)));
        end = Utf8Next(text, end);
    }
    if (end != cut.size() || width > limit) std::abort();
    if (end < text.size() && width + std::size_t(Cp932Width(Utf8CodeAt(text, end))) <= limit) std::abort();
}

void CheckLines(const std::string& text, const std::vector<std::string>& lines)
{
    std::size_t at = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.find_first_of("\r\n") != std::string::npos || text.compare(at, line.size(), line) != 0) std::abort();
        at += line.size();
        const std::size_t lineEnd = at;
        if (at < text.size() && text[at] == '\r') ++at;  // CR, or the CR of CR LF
        if (at < text.size() && text[at] == '\n') ++at;
        const bool ended = at > lineEnd;
        // Only the last line may lack an end, and then it is not empty.
        if (!ended && (n + 1 < lines.size() || line.empty())) std::abort();
    }
    if (at != text.size()) std::abort();
}

void CheckFold(const std::string& name)
{
    const std::string folded = TClipList::FoldCase(name);
    if (folded.size() != name.size() || TClipList::FoldCase(folded) != folded) std::abort();
    for (std::size_t i = 0; i < name.size(); ++i)
        if (folded[i] != name[i] && !(name[i] >= 'A' && name[i] <= 'Z' && folded[i] == name[i] - 'A' + 'a'))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string cut = TClipList::CutText(text, TClipList::kPasteLimit);
    CheckCut(text, cut, TClipList::kPasteLimit);
    const std::vector<std::string> lines = TClipList::SplitLines(cut);
    CheckLines(cut, lines);
    for (const std::string& line : lines) CheckFold(line);
    return 0;
}
