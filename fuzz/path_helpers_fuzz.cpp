// The path helpers' separator rules on arbitrary bytes, under both platforms'
// rules (the first byte chooses; the rest is a path and, after its first zero
// byte, a component or extension). Each result is checked against what the
// helper promises, read off the path by walking its characters here:
// FileNamePart is the path's end after its last separator; FileExtPart its end
// after its last "."; FileChangeExt keeps the path up to the last name's "."
// and puts the extension behind it; FileAppendPath keeps the path, puts one
// separator where none ends it, and appends the component without its leading
// separators. A separator is a one-byte character; the walk steps over UTF-8
// characters (a malformed byte counts as one).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/utf8.h"
#include "image/path_rules.h"

namespace {

constexpr std::size_t None = std::string_view::npos;

struct TWalk {
    std::size_t LastSeparator = None;
    std::size_t LastDrive = None;
    std::size_t LastDot = None;
    std::size_t LastCharStart = None;
    bool DotInLastName = false;
};

bool In(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

TWalk Walk(std::string_view path, const TPathRules& rules)
{
    TWalk walk;
    std::size_t next = 0;
    for (std::size_t i = 0; i < path.size(); i = next) {
        next = Utf8Next(path, i);
        walk.LastCharStart = i;
        if (next != i + 1) continue;
        if (In(path[i], rules.Separators)) walk.LastSeparator = i;
        if (In(path[i], rules.DriveSeparators)) walk.LastDrive = i;
        if (path[i] == '.') walk.LastDot = i;
        if (In(path[i], rules.Separators) || In(path[i], rules.DriveSeparators)) walk.DotInLastName = false;
        if (path[i] == '.') walk.DotInLastName = true;
    }
    return walk;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

void Check(std::string_view path, std::string_view other, const TPathRules& rules)
{
    const TWalk walk = Walk(path, rules);
    const std::size_t cut = walk.LastSeparator != None ? walk.LastSeparator : walk.LastDrive;
    if (path_rules::FileNamePart(path, rules) != path.substr(cut == None ? 0 : cut + 1)) std::abort();
    if (path_rules::FileExtPart(path, rules) != (walk.LastDot == None ? "" : path.substr(walk.LastDot + 1)))
        std::abort();

    std::string changed(path);
    path_rules::FileChangeExt(changed, other, rules);
    const std::string_view extension = other.substr(!other.empty() && other.front() == '.' ? 1 : 0);
    const bool cutsExtension = walk.DotInLastName && walk.LastDot + 1 < path.size();
    const std::string_view kept = cutsExtension ? path.substr(0, walk.LastDot) : path;
    if (changed.size() != kept.size() + 1 + extension.size() || changed.compare(0, kept.size(), kept) != 0 ||
        changed[kept.size()] != '.' || !EndsWith(changed, extension))
        std::abort();

    std::string appended(path);
    path_rules::FileAppendPath(appended, other, rules);
    std::string_view component = other;
    while (!component.empty() && In(component.front(), rules.Separators)) component.remove_prefix(1);
    const bool endsInSeparator = walk.LastCharStart == path.size() - 1 &&
                                 (In(path.back(), rules.Separators) || In(path.back(), rules.DriveSeparators));
    const std::size_t between = !path.empty() && !endsInSeparator ? 1 : 0;
    if (appended.size() != path.size() + between + component.size() || appended.compare(0, path.size(), path) != 0 ||
        (between && appended[path.size()] != rules.Separators.front()) || !EndsWith(appended, component))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t zero = text.find('\0');
    const std::string_view path = text.substr(0, zero);
    const std::string_view other = zero == None ? std::string_view() : text.substr(zero + 1);
    Check(path, other, data[0] & 1 ? WindowsPathRules : PosixPathRules);
    return 0;
}
