#include "external/kxv_spi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "external/spi_format_list.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/streams.h"
#include "framework/utf8.h"
#include "framework/win32/wide.h"
#include "image/path_helpers.h"

using spihost::TCall;
using spihost::TReply;
using spihost::TRequest;

// Text crosses to the host as UTF-16, converted here and nowhere else.
namespace {

std::u16string ToHost(const std::string& text)
{
    const std::wstring wide = Utf8ToWide(text);
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

std::string FromHost(std::u16string_view text)
{
    return WideToUtf8({reinterpret_cast<const wchar_t*>(text.data()), text.size()});
}

}  // namespace

namespace spi {

TWidth WidthOf(const std::string& path)
{
    std::string extension = FileExtPart(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return extension == "spi" ? TWidth::Bits32 : TWidth::Bits64;
}

std::wstring HostProgram(TWidth width)
{
    const std::string program = ProgramPath();
    const std::string dir = program.substr(0, program.size() - FileNamePart(program).size());
    return Utf8ToWide(dir) + (width == TWidth::Bits32 ? L"talvern-spihost32.exe" : L"talvern-spihost64.exe");
}

}  // namespace spi

kxvSPI::kxvSPI(const std::string& path) : kxvSPI(path, std::make_shared<TSpiHost>(spi::HostProgram(spi::WidthOf(path))))
{
}

kxvSPI::kxvSPI(const std::string& path, std::shared_ptr<TSpiHost> host) : Host(std::move(host))
{
    SetSpiName(path);
}

kxvSPI::~kxvSPI() = default;

bool kxvSPI::SetSpiName(const std::string& path)
{
    SpiName = FileNamePart(path);
    SpiPath = path;
    Loaded = false;
    Filter.clear();
    LastError = 0;

    const spi::TInfoText info = [this](int number) -> std::optional<std::string> {
        char text[spi::kInfoLength + 1] = {};
        if (GetPluginInfo(number, text, spi::kInfoLength) == 0) return std::nullopt;
        return std::string(text);
    };
    const std::optional<std::string> version = info(0);
    if (!version) return false;
    const spi::TVersionInfo versionInfo = spi::ReadVersionInfo(*version);
    PluginType = versionInfo.pluginType;
    ApiVersion = versionInfo.apiVersion;
    Filter = spi::FormatFilter(info);
    Loaded = true;
    return true;
}

// The library lives in the host, which keeps it until it ends.
bool kxvSPI::FreeSpi()
{
    Loaded = false;
    return true;
}

TRequest kxvSPI::Request(TCall call) const
{
    TRequest request;
    request.call = call;
    request.plugin = ToHost(SpiPath);
    request.file = ToHost(FileName);
    request.offset = Offset;
    request.memory = MemoryMode && call != TCall::IsSupported;
    if (MemoryMode && Memory) {
        // The image's length is the offset-or-length argument; IsSupported may
        // look at 2 KB of it in any case.
        const std::size_t size = std::max<std::size_t>(std::size_t(std::max(Offset, 0)), spi::kHeadSize);
        request.bytes.assign(Memory, Memory + (call == TCall::IsSupported ? spi::kHeadSize : size));
    }
    return request;
}

std::optional<TReply> kxvSPI::Ask(TRequest request)
{
    if (!Host) {
        FailureReason = "no plug-in host";
        return std::nullopt;
    }
    std::optional<TReply> reply = Host->Call(request, FailureReason);
    if (reply && reply->status == spihost::TStatus::Failed) {
        FailureReason = FromHost(reply->reason);
        return std::nullopt;
    }
    if (reply) FailureReason.clear();
    return reply;
}

int kxvSPI::GetPluginInfo(int number, char* buffer, int length)
{
    if (!buffer || length <= 0) return 0;
    TRequest request = Request(TCall::PluginInfo);
    request.number = number;
    request.length = length;
    const std::optional<TReply> reply = Ask(std::move(request));
    if (!reply) return 0;
    // Whole characters only, and room for the terminator. The host's cut to fit
    // its buffer may leave half of a surrogate pair at the end, which goes; a
    // text with an unpaired surrogate elsewhere has no UTF-8 form and counts as
    // none.
    std::u16string_view units = reply->text;
    if (!units.empty() && units.back() >= 0xD800 && units.back() < 0xDC00) units.remove_suffix(1);
    std::string text;
    try {
        text = FromHost(units);
    } catch (const EConvertError&) {
        return 0;
    }
    std::size_t kept = 0;
    while (kept < text.size()) {
        const std::size_t next = Utf8Next(text, kept);
        if (next >= std::size_t(length)) break;
        kept = next;
    }
    std::memcpy(buffer, text.data(), kept);
    buffer[kept] = '\0';
    return reply->result;
}

void kxvSPI::SetFileName(const std::string& name)
{
    MemoryMode = false;
    FileName = name;
    if (IsSupport()) GetPictureInfo();
}

// In memory mode the plug-in is handed the image itself in place of the file
// name and its length as the offset-or-length argument; IsSupported gets the
// image, which must then hold at least the 2 KB it may look at.
void kxvSPI::SetMemory(const std::uint8_t* data)
{
    MemoryMode = true;
    Memory = data;
    if (IsSupport()) GetPictureInfo();
}

bool kxvSPI::IsSupport()
{
    Support = false;
    TRequest request = Request(TCall::IsSupported);
    if (!MemoryMode) {
        if (FileName.empty()) return false;
        TFileStream file(FileName, fmOpenRead);
        request.bytes.assign(spi::kHeadSize, 0);
        request.bytes.resize(std::size_t(file.Read(request.bytes.data(), std::int64_t(spi::kHeadSize))));
    }
    const std::optional<TReply> reply = Ask(std::move(request));
    Support = reply && reply->result != 0;
    return Support;
}

bool kxvSPI::GetPictureInfo()
{
    const std::optional<TReply> reply = Ask(Request(TCall::PictureInfo));
    LastError = reply ? reply->result : spi::kNotCalled;
    if (LastError != 0) return false;
    Left = reply->info.left;
    Top = reply->info.top;
    Width = reply->info.width;
    Height = reply->info.height;
    XDensity = reply->info.xDensity;
    YDensity = reply->info.yDensity;
    ColorDepth = reply->info.colorDepth;
    if (!reply->text.empty()) Info = FromHost(reply->text);
    return true;
}

bool kxvSPI::GetPicture(TBitmap* bitmap, PaletteHandle& palette)
{
    return Decode(TCall::Picture, bitmap, palette);
}

bool kxvSPI::GetPreview(TBitmap* bitmap, PaletteHandle& palette)
{
    return Decode(TCall::Preview, bitmap, palette);
}

bool kxvSPI::Decode(TCall call, TBitmap* bitmap, PaletteHandle& palette)
{
    if (!bitmap) return false;
    const std::optional<TReply> reply = Ask(Request(call));
    LastError = reply ? reply->result : spi::kNotCalled;
    if (!reply) return false;
    if (LastError != 0) {
        FailureReason = "the plug-in reported error " + std::to_string(LastError);
        return false;
    }
    const std::optional<TSpiHost::TDibView> dib = Host->TakeDib(*reply);
    if (!dib) throw EInvalidGraphic("plug-in picture does not fit its mapping");
    if (!Open(dib->info, std::size_t(reply->infoBytes), dib->bits, std::size_t(reply->bitsBytes)))
        throw EInvalidGraphic("plug-in picture does not fit its blocks");
    struct CloseStream {
        kxvSPI* self;
        ~CloseStream() { self->Close(); }
    } closeStream{this};
    palette = MakePalette();
    bitmap->LoadFromStream(*this);
    return true;
}
