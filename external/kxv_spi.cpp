#include "external/kxv_spi.h"

#include <cstring>
#include <vector>

#include "external/plugin_fault_guard_win32.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "framework/win32/wide.h"
#include "image/path_helpers.h"

// Every call into the plug-in runs under a fault guard; a call that faults
// counts as "no" (GetPluginInfo, IsSupported) or as an error result (the
// picture calls). Texts the plug-in writes are read only up to their
// terminator within the buffer or block that holds them.

namespace {

constexpr int kFaulted = -1;

template <typename T>
T Field(const std::uint8_t* record, std::size_t offset)
{
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

bool IsLocalBlock(HLOCAL handle)
{
    return handle && LocalFlags(handle) != LMEM_INVALID_HANDLE && LocalSize(handle) != 0;
}

}  // namespace

kxvSPI::kxvSPI(const std::string& path)
{
    SetSpiName(path);
}

kxvSPI::~kxvSPI()
{
    FreeSpi();
}

bool kxvSPI::SetSpiName(const std::string& path)
{
    SpiName = FileNamePart(path);
    Loaded = false;
    FreeSpi();
    Module.reset(LoadLibraryW(Utf8ToWide(path).c_str()));
    if (!Module) return false;
    const auto resolve = [this](const char* name) { return reinterpret_cast<void*>(GetProcAddress(Module.get(), name)); };
    getPluginInfo_ = reinterpret_cast<spi::GetPluginInfoProc>(resolve("GetPluginInfo"));
    isSupported_ = reinterpret_cast<spi::IsSupportedProc>(resolve("IsSupported"));
    getPictureInfo_ = reinterpret_cast<spi::GetPictureInfoProc>(resolve("GetPictureInfo"));
    getPicture_ = reinterpret_cast<spi::GetPictureProc>(resolve("GetPicture"));
    getPreview_ = reinterpret_cast<spi::GetPictureProc>(resolve("GetPreview"));
    if (!getPluginInfo_) {
        FreeSpi();
        return false;
    }
    Filter.clear();
    LastError = 0;

    char text[spi::kInfoLength + 1] = {};
    if (GetPluginInfo(0, text, spi::kInfoLength) == 0) return false;
    const auto byte = [&text](int i) { return static_cast<unsigned char>(text[i]); };
    PluginType = static_cast<std::uint16_t>(byte(2) | byte(3) << 8);
    ApiVersion = static_cast<std::uint16_t>(((byte(0) - 48) * 16 + (byte(1) - 48)) & 0xFF);
    for (int n = 1;; ++n) {
        char description[spi::kInfoLength + 1] = {};
        if (GetPluginInfo(2 * n + 1, description, spi::kInfoLength) == 0) break;
        if (!Filter.empty()) Filter += '|';
        Filter += description;
        char pattern[spi::kInfoLength + 1] = {};
        if (GetPluginInfo(2 * n, pattern, spi::kInfoLength) != 0) {
            Filter += '|';
            Filter += pattern;
        }
    }
    Loaded = true;
    return true;
}

bool kxvSPI::FreeSpi()
{
    if (!Module) return true;
    if (!FreeLibrary(Module.get())) return false;
    Module.release();
    getPluginInfo_ = nullptr;
    isSupported_ = nullptr;
    getPictureInfo_ = nullptr;
    getPicture_ = nullptr;
    getPreview_ = nullptr;
    return true;
}

int kxvSPI::GetPluginInfo(int number, char* buffer, int length)
{
    if (!Module || !getPluginInfo_ || !buffer || length <= 0) return 0;
    // The plug-in may write the whole buffer without a terminator.
    std::vector<char> scratch(static_cast<std::size_t>(length) + 1, '\0');
    int result = 0;
    if (!TPluginFaultGuard(Module.get()).Run([&] { result = getPluginInfo_(number, scratch.data(), length); }))
        return 0;
    const std::size_t n = strnlen(scratch.data(), static_cast<std::size_t>(length));
    std::memcpy(buffer, scratch.data(), n);
    buffer[n < static_cast<std::size_t>(length) ? n : length - 1] = '\0';
    return result;
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

const char* kxvSPI::Input(const std::string& path) const
{
    return MemoryMode ? reinterpret_cast<const char*>(Memory) : path.c_str();
}

bool kxvSPI::IsSupport()
{
    Support = false;
    if (!Module || !isSupported_) return false;
    const std::string path = PathForAnsiApi(FileName);
    std::uintptr_t second = 0;
    std::vector<std::uint8_t> head;
    if (!MemoryMode) {
        if (FileName.empty()) return false;
        // Plug-ins tell a file handle from a pointer to the file's first bytes by
        // its high bits, and some take one for the other: they all get the bytes.
        TFileStream file(FileName, fmOpenRead);
        head.assign(spi::kHeadSize, 0);
        file.Read(head.data(), static_cast<std::int64_t>(head.size()));
        second = reinterpret_cast<std::uintptr_t>(head.data());
    } else {
        second = reinterpret_cast<std::uintptr_t>(Memory);
    }
    int answer = 0;
    if (!TPluginFaultGuard(Module.get()).Run([&] { answer = isSupported_(path.c_str(), second); })) return false;
    Support = answer != 0;
    return Support;
}

bool kxvSPI::GetPictureInfo()
{
    if (!Module || !getPictureInfo_) return false;
    const std::string path = PathForAnsiApi(FileName);
    alignas(8) std::uint8_t record[spi::kPictureInfoBuffer] = {};
    int result = kFaulted;
    if (!TPluginFaultGuard(Module.get()).Run([&] {
            result = getPictureInfo_(Input(path), Offset, MemoryMode ? 1 : 0, record);
        }))
        result = kFaulted;
    LastError = result;
    if (result != 0) return false;
    Left = Field<std::int32_t>(record, 0);
    Top = Field<std::int32_t>(record, 4);
    Width = Field<std::int32_t>(record, 8);
    Height = Field<std::int32_t>(record, 12);
    XDensity = Field<std::uint16_t>(record, 16);
    YDensity = Field<std::uint16_t>(record, 18);
    ColorDepth = Field<std::int16_t>(record, 20);
    TakeInfoText(record);
    return true;
}

void kxvSPI::TakeInfoText(const std::uint8_t* record)
{
    const auto handle = reinterpret_cast<HLOCAL>(Field<std::uintptr_t>(record, spi::kInfoTextHandleOffset));
    // A handle read from where a plug-in laid out the record otherwise is no
    // block of ours to lock or free: such a plug-in gives no text.
    if (!IsLocalBlock(handle)) return;
    UniqueLocal block(handle);
    const ScopedLocalLock text(block.get());
    if (!text) return;
    const auto* chars = static_cast<const char*>(text.data());
    Info.assign(chars, strnlen(chars, text.size()));
}

bool kxvSPI::GetPicture(TBitmap* bitmap, PaletteHandle& palette)
{
    return Decode(getPicture_, bitmap, palette);
}

bool kxvSPI::GetPreview(TBitmap* bitmap, PaletteHandle& palette)
{
    return Decode(getPreview_, bitmap, palette);
}

bool kxvSPI::Decode(spi::GetPictureProc entry, TBitmap* bitmap, PaletteHandle& palette)
{
    if (!Module || !entry || !bitmap) return false;
    const std::string path = PathForAnsiApi(FileName);
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    int result = kFaulted;
    if (!TPluginFaultGuard(Module.get()).Run([&] {
            result = entry(Input(path), Offset, MemoryMode ? 1 : 0, &info, &bits, nullptr, 0);
        }))
        result = kFaulted;
    LastError = result;
    if (result != 0) return false;
    // Blocks that are no local memory are not ours to free either.
    UniqueLocal infoBlock(IsLocalBlock(info) ? info : nullptr);
    UniqueLocal bitsBlock(IsLocalBlock(bits) ? bits : nullptr);
    if (!infoBlock || !bitsBlock) throw EInvalidGraphic("plug-in returned no picture");
    palette = StoreBitmap(bitmap, std::move(infoBlock), std::move(bitsBlock));
    return true;
}

PaletteHandle kxvSPI::StoreBitmap(TBitmap* bitmap, UniqueLocal info, UniqueLocal bits)
{
    const ScopedLocalLock header(info.get());
    const ScopedLocalLock pixels(bits.get());
    if (!header || !pixels ||
        !Open(static_cast<const std::uint8_t*>(header.data()), header.size(),
              static_cast<const std::uint8_t*>(pixels.data()), pixels.size()))
        throw EInvalidGraphic("plug-in picture does not fit its blocks");
    struct CloseStream {
        kxvSPI* self;
        ~CloseStream() { self->Close(); }
    } closeStream{this};
    PaletteHandle palette = MakePalette();
    bitmap->LoadFromStream(*this);
    return palette;
}
