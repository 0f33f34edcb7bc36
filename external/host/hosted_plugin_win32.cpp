#include "external/host/hosted_plugin_win32.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

using spihost::TCall;
using spihost::TReply;
using spihost::TRequest;
using spihost::TStatus;

namespace {

// The picture-info record as published: packed, text handle at offset 22. The
// plug-in gets a zeroed buffer of this size, which also holds the naturally
// aligned variant.
constexpr std::size_t kPictureInfoBuffer = 40;
constexpr std::size_t kInfoTextHandleOffset = 22;
// What IsSupported may look at.
constexpr std::size_t kHeadSize = 2048;
constexpr int kMaxInfoLength = 4096;
// A file read for a plug-in in memory mode.
constexpr std::uint64_t kMaxMemoryFile = std::uint64_t{512} << 20;

std::wstring Wide(const std::u16string& text)
{
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

std::u16string Units(const wchar_t* text, std::size_t count)
{
    return {reinterpret_cast<const char16_t*>(text), count};
}

std::u16string FromAnsi(const char* text, std::size_t count)
{
    if (count == 0) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text, int(count), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, int(count), wide.data(), n);
    return Units(wide.data(), wide.size());
}

void Fail(TReply& reply, const char* reason)
{
    reply.status = TStatus::Failed;
    reply.reason.assign(reason, reason + std::strlen(reason));
}

// The text in the ANSI code page when it converts there and back unchanged: no
// best fit, no default character.
std::optional<std::string> LosslessAnsi(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const bool utf8 = GetACP() == CP_UTF8;  // takes neither flag nor default
    BOOL usedDefault = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), int(text.size()), nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string narrow(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), int(text.size()), narrow.data(), n, nullptr, used);
    if (usedDefault) return std::nullopt;
    const std::u16string back = FromAnsi(narrow.data(), narrow.size());
    if (Wide(back) != text) return std::nullopt;
    return narrow;
}

std::optional<std::string> NarrowName(const std::wstring& path)
{
    if (auto name = LosslessAnsi(path)) return name;
    const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return std::nullopt;
    std::wstring shortPath(n, L'\0');
    shortPath.resize(GetShortPathNameW(path.c_str(), shortPath.data(), n));
    if (shortPath.empty()) return std::nullopt;
    return LosslessAnsi(shortPath);
}

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes)
{
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || std::uint64_t(size.QuadPart) > kMaxMemoryFile) return false;
    bytes.resize(std::size_t(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) && read == bytes.size());
}

constexpr const char* kNoName = "the file's name cannot be passed to the plug-in and the file cannot be read";

// In memory mode the image, which a plug-in may read up to its 2 KB head.
std::vector<std::uint8_t> PaddedImage(std::vector<std::uint8_t> bytes)
{
    bytes.resize(std::max(bytes.size(), kHeadSize), 0);
    return bytes;
}

// The first argument of a picture call and what goes with it.
struct TWideInput {
    explicit TWideInput(const TRequest& request)
        : name(Wide(request.file)), bytes(request.memory ? PaddedImage(request.bytes) : std::vector<std::uint8_t>()),
          memory(request.memory), offset(std::intptr_t(request.offset))
    {
    }
    const wchar_t* Argument() const { return memory ? reinterpret_cast<const wchar_t*>(bytes.data()) : name.c_str(); }
    unsigned Flag() const { return memory ? 1 : 0; }

    std::wstring name;
    std::vector<std::uint8_t> bytes;
    bool memory;
    std::intptr_t offset;
};

struct TNarrowInput {
    const char* Argument() const { return memory ? reinterpret_cast<const char*>(bytes.data()) : name.c_str(); }
    unsigned Flag() const { return memory ? 1 : 0; }

    std::string name;
    std::vector<std::uint8_t> bytes;
    bool memory = false;
    std::intptr_t offset = 0;
};

std::optional<TNarrowInput> NarrowInput(const TRequest& request)
{
    TNarrowInput input;
    input.offset = std::intptr_t(request.offset);
    if (request.memory) {
        input.memory = true;
        input.bytes = PaddedImage(request.bytes);
    } else if (auto name = NarrowName(Wide(request.file))) {
        input.name = std::move(*name);
    } else {
        // No narrow name stands for this file: the plug-in reads its bytes.
        if (!ReadWholeFile(Wide(request.file), input.bytes)) return std::nullopt;
        input.memory = true;
        input.offset = std::intptr_t(input.bytes.size());
        input.bytes = PaddedImage(std::move(input.bytes));
    }
    return input;
}

bool IsLocalBlock(HLOCAL handle)
{
    return handle && LocalFlags(handle) != LMEM_INVALID_HANDLE && LocalSize(handle) != 0;
}

template <typename T>
T Field(const std::uint8_t* record, std::size_t offset)
{
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// The info text's block, freed here: bounded by the block, cut at its terminator.
std::u16string TakeInfoText(const std::uint8_t* record, bool wide)
{
    const auto handle = reinterpret_cast<HLOCAL>(Field<std::uintptr_t>(record, kInfoTextHandleOffset));
    // A handle read from where a plug-in laid out the record otherwise is no
    // block to lock or free: such a plug-in gives no text.
    if (!IsLocalBlock(handle)) return {};
    UniqueLocal block(handle);
    const ScopedLocalLock text(block.get());
    if (!text) return {};
    std::u16string units;
    if (wide) {
        const auto* chars = static_cast<const wchar_t*>(text.data());
        units = Units(chars, wcsnlen(chars, text.size() / sizeof(wchar_t)));
    } else {
        const auto* chars = static_cast<const char*>(text.data());
        units = FromAnsi(chars, strnlen(chars, text.size()));
    }
    if (units.size() > spihost::kMaxInfoText) units.resize(spihost::kMaxInfoText);
    return units;
}

// Copies both blocks into one new mapping, whose handle the program takes over.
bool ShareDib(UniqueLocal info, UniqueLocal bits, TReply& reply)
{
    const ScopedLocalLock header(info.get());
    const ScopedLocalLock pixels(bits.get());
    if (!header || !pixels) return false;
    const std::uint64_t total = std::uint64_t(header.size()) + pixels.size();
    const HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, DWORD(total >> 32),
                                              DWORD(total), nullptr);
    if (!section) return false;
    void* view = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
    if (!view) {
        CloseHandle(section);
        return false;
    }
    std::memcpy(view, header.data(), header.size());
    std::memcpy(static_cast<std::uint8_t*>(view) + header.size(), pixels.data(), pixels.size());
    UnmapViewOfFile(view);
    reply.section = reinterpret_cast<std::uintptr_t>(section);
    reply.infoBytes = header.size();
    reply.bitsBytes = pixels.size();
    return true;
}

}  // namespace

bool HeapsAreSound()
{
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    return true;
}

THostedPlugin::THostedPlugin(const std::wstring& path)
{
    module_.reset(LoadLibraryW(path.c_str()));
    if (!module_) {
        const std::string text = "the plug-in does not load (error " + std::to_string(GetLastError()) + ")";
        loadFailure_.assign(text.begin(), text.end());
        return;
    }
    Resolve(narrow_, "");
    Resolve(unicode_, "W");
    wide_ = unicode_.getPluginInfo != nullptr;
    if (!narrow_.getPluginInfo && !wide_) {
        const char text[] = "the plug-in has no GetPluginInfo";
        loadFailure_.assign(text, text + sizeof text - 1);
        module_.reset();
    }
}

template <typename Char>
void THostedPlugin::Resolve(TExports<Char>& exports, const char* suffix)
{
    const auto resolve = [&](const char* name, auto& entry) {
        const std::string full = std::string(name) + suffix;
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), full.c_str())));
    };
    resolve("GetPluginInfo", exports.getPluginInfo);
    resolve("IsSupported", exports.isSupported);
    resolve("GetPictureInfo", exports.getPictureInfo);
    resolve("GetPicture", exports.getPicture);
    resolve("GetPreview", exports.getPreview);
}

bool THostedPlugin::HasEntry(TCall call) const
{
    const bool w = wide_;
    switch (call) {
    case TCall::PluginInfo: return narrow_.getPluginInfo || (w && unicode_.getPluginInfo);
    case TCall::IsSupported: return narrow_.isSupported || (w && unicode_.isSupported);
    case TCall::PictureInfo: return narrow_.getPictureInfo || (w && unicode_.getPictureInfo);
    case TCall::Picture: return narrow_.getPicture || (w && unicode_.getPicture);
    case TCall::Preview: return narrow_.getPreview || (w && unicode_.getPreview);
    }
    return false;
}

void THostedPlugin::Answer(const TRequest& request, TReply& reply)
{
    if (!module_) {
        reply.status = TStatus::Failed;
        reply.reason = loadFailure_;
        return;
    }
    if (!HasEntry(request.call)) return Fail(reply, "the plug-in lacks this function");
    switch (request.call) {
    case TCall::PluginInfo: return PluginInfo(request, reply);
    case TCall::IsSupported: return IsSupported(request, reply);
    case TCall::PictureInfo: return PictureInfo(request, reply);
    case TCall::Picture:
    case TCall::Preview: return Picture(request, reply);
    }
}

void THostedPlugin::PluginInfo(const TRequest& request, TReply& reply)
{
    if (request.length <= 0 || request.length > kMaxInfoLength) return Fail(reply, "bad info buffer length");
    // The plug-in may fill the whole buffer without a terminator; what the
    // program gets always fits the buffer with its terminator.
    const auto length = std::size_t(request.length);
    if (wide_) {
        std::vector<wchar_t> buffer(length + 1, L'\0');
        reply.result = unicode_.getPluginInfo(request.number, buffer.data(), request.length);
        reply.text = Units(buffer.data(), std::min(wcsnlen(buffer.data(), length), length - 1));
    } else {
        std::vector<char> buffer(length + 1, '\0');
        reply.result = narrow_.getPluginInfo(request.number, buffer.data(), request.length);
        reply.text = FromAnsi(buffer.data(), std::min(strnlen(buffer.data(), length), length - 1));
        if (reply.text.size() > length - 1) reply.text.resize(length - 1);
    }
}

void THostedPlugin::IsSupported(const TRequest& request, TReply& reply)
{
    // Plug-ins tell a file handle from a pointer to the file's first bytes by
    // its high bits, and some take one for the other: they all get the bytes.
    const std::vector<std::uint8_t> head = PaddedImage(request.bytes);
    const auto second = reinterpret_cast<std::uintptr_t>(head.data());
    if (wide_ && unicode_.isSupported) {
        reply.result = unicode_.isSupported(Wide(request.file).c_str(), second);
        return;
    }
    // Without a name that converts, the plug-in judges the bytes alone.
    const std::string name = NarrowName(Wide(request.file)).value_or(std::string());
    reply.result = narrow_.isSupported(name.c_str(), second);
}

void THostedPlugin::PictureInfo(const TRequest& request, TReply& reply)
{
    alignas(8) std::uint8_t record[kPictureInfoBuffer] = {};
    const bool wideText = wide_ && unicode_.getPictureInfo;
    if (wideText) {
        const TWideInput input(request);
        reply.result = unicode_.getPictureInfo(input.Argument(), input.offset, input.Flag(), record);
    } else {
        const std::optional<TNarrowInput> input = NarrowInput(request);
        if (!input) return Fail(reply, kNoName);
        reply.result = narrow_.getPictureInfo(input->Argument(), input->offset, input->Flag(), record);
    }
    if (reply.result != 0) return;
    reply.info.left = Field<std::int32_t>(record, 0);
    reply.info.top = Field<std::int32_t>(record, 4);
    reply.info.width = Field<std::int32_t>(record, 8);
    reply.info.height = Field<std::int32_t>(record, 12);
    reply.info.xDensity = Field<std::uint16_t>(record, 16);
    reply.info.yDensity = Field<std::uint16_t>(record, 18);
    reply.info.colorDepth = Field<std::int16_t>(record, 20);
    reply.text = TakeInfoText(record, wideText);
}

void THostedPlugin::Picture(const TRequest& request, TReply& reply)
{
    const bool preview = request.call == TCall::Preview;
    const auto wideEntry = preview ? unicode_.getPreview : unicode_.getPicture;
    const auto narrowEntry = preview ? narrow_.getPreview : narrow_.getPicture;
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    if (wide_ && wideEntry) {
        const TWideInput input(request);
        reply.result = wideEntry(input.Argument(), input.offset, input.Flag(), &info, &bits, nullptr, 0);
    } else {
        const std::optional<TNarrowInput> input = NarrowInput(request);
        if (!input) return Fail(reply, kNoName);
        reply.result = narrowEntry(input->Argument(), input->offset, input->Flag(), &info, &bits, nullptr, 0);
    }
    if (reply.result != 0) return;
    // Blocks that are no local memory are not ours to free either.
    UniqueLocal infoBlock(IsLocalBlock(info) ? info : nullptr);
    UniqueLocal bitsBlock(IsLocalBlock(bits) ? bits : nullptr);
    if (!infoBlock || !bitsBlock) return Fail(reply, "the plug-in returned no picture");
    if (!ShareDib(std::move(infoBlock), std::move(bitsBlock), reply)) Fail(reply, "the plug-in host is out of memory");
}
