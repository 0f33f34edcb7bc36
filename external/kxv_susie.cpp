#include "external/kxv_susie.h"

#include "external/kx_find_file.h"
#include "external/spi_format_list.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/win32/registry.h"
#include "image/path_helpers.h"

namespace {

// A drive-qualified or rooted directory: its mask joined below other
// directories names nothing, so its scan need not walk them.
bool IsAbsolute(const std::string& directory)
{
    return (directory.size() >= 2 && directory[1] == ':') || (!directory.empty() && (directory[0] == '\\' || directory[0] == '/'));
}

}  // namespace

kxvSusie::kxvSusie()
{
    AddSystemDir();
}

kxvSusie::~kxvSusie()
{
    // Unlinked one by one: a long chain released through its links would recurse.
    while (Head) Head = std::move(Head->Next);
}

kxvSPI* kxvSusie::GetSPI(int index) const
{
    kxvSPI* spi = Head.get();
    for (int i = 0; spi && i < index; ++i) spi = spi->Next.get();
    return index < 0 ? nullptr : spi;
}

kxvSPI* kxvSusie::GetSPI(const std::string& name) const
{
    for (kxvSPI* spi = Head.get(); spi; spi = spi->Next.get())
        if (spi->SpiName == name) return spi;
    return nullptr;
}

std::shared_ptr<TSpiHost>& kxvSusie::HostFor(spi::TWidth width)
{
    std::shared_ptr<TSpiHost>& host = width == spi::TWidth::Bits32 ? host32_ : host64_;
    if (!host) {
        host = std::make_shared<TSpiHost>(spi::HostProgram(width));
        host->PictureLimitMs = pictureLimitMs_;
    }
    return host;
}

bool kxvSusie::AddSPI(const std::string& path)
{
    if (GetSPI(FileNamePart(path))) return true;
    std::shared_ptr<TSpiHost>& host = HostFor(spi::WidthOf(path));
    if (!host->Available()) return false;
    auto spi = std::make_unique<kxvSPI>(path, host);
    if (!spi->Loaded) return false;
    std::unique_ptr<kxvSPI>* link = &Head;
    while (*link && (*link)->SpiName < spi->SpiName) link = &(*link)->Next;
    spi->Next = std::move(*link);
    *link = std::move(spi);
    ++Count;
    return true;
}

int kxvSusie::AddDirSPI(const std::string& directory)
{
#ifdef _WIN64
    const char* const masks[] = {"*.SPH", "*.SPI"};
#else
    const char* const masks[] = {"*.SPI"};
#endif
    int added = 0;
    for (const char* mask : masks) {
        std::string pattern = directory;
        FileAppendPath(pattern, mask);
        kxFindFile finder(pattern, !IsAbsolute(directory));
        while (finder.Next())
            if (AddSPI(finder.FoundName())) ++added;
    }
    return added;
}

void kxvSusie::AddSystemDir()
{
    try {
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (registry.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup")) {
            // An empty directory would scan the current directory and all below it.
            const std::string systemDir = registry.ReadString("SysDir");
            if (!systemDir.empty()) SetPath(systemDir);
        }
    } catch (...) {
    }
    try {
        std::string programDir = ProgramPath();
        programDir.resize(programDir.size() - FileNamePart(programDir).size());
        if (!programDir.empty()) {
            AddDirSPI(programDir);
            CheckSPI();
        }
    } catch (...) {
    }
}

bool kxvSusie::DeleteSPI(const std::string& name)
{
    for (std::unique_ptr<kxvSPI>* link = &Head; *link; link = &(*link)->Next) {
        if ((*link)->SpiName != name) continue;
        if (Current == link->get()) Current = nullptr;
        *link = std::move((*link)->Next);
        --Count;
        return true;
    }
    return false;
}

void kxvSusie::SetEnable(bool value)
{
    Enable_ = value;
    if (value) CheckSPI();
}

void kxvSusie::SetPath(const std::string& directory)
{
    Path_ = directory;
    AddDirSPI(directory);
    CheckSPI();
}

std::string kxvSusie::GetFilter()
{
    std::string filter;
    for (kxvSPI* spi = Head.get(); spi; spi = spi->Next.get()) spi::AppendFilter(filter, spi->Filter);
    return filter;
}

std::string kxvSusie::Remarks()
{
#ifdef _WIN64
    // Found out by starting the host, never assumed.
    const std::shared_ptr<TSpiHost>& host32 = HostFor(spi::TWidth::Bits32);
    if (!host32->Available()) return "*.SPH only; *.SPI left out: " + host32->Unavailable();
    return "*.SPH in the 64-bit host, *.SPI in the 32-bit host";
#else
    return {};
#endif
}

void kxvSusie::SetPictureLimit(std::uint32_t milliseconds)
{
    pictureLimitMs_ = milliseconds;
    for (std::shared_ptr<TSpiHost>* host : {&host32_, &host64_})
        if (*host) (*host)->PictureLimitMs = milliseconds;
}

// A plug-in that could not be asked (its host ended, or the name could not be
// passed) is passed over; its reason stands for the file when none accepts it.
bool kxvSusie::IsSupport()
{
    Refusal_.clear();
    for (Current = Head.get(); Current; Current = Current->Next.get()) {
        Current->Offset = Offset;
        Current->SetFileName(FileName);
        if (MemoryMode) Current->SetMemory(Memory);
        if (!Current->Support) {
            if (Refusal_.empty() && !Current->FailureReason.empty())
                Refusal_ = Current->SpiName + ": " + Current->FailureReason;
            continue;
        }
        Left = Current->Left;
        Top = Current->Top;
        Width = Current->Width;
        Height = Current->Height;
        XDensity = Current->XDensity;
        YDensity = Current->YDensity;
        ColorDepth = Current->ColorDepth;
        Info = Current->Info;
        Support = true;
        Refusal_.clear();
        return true;
    }
    Support = false;
    return false;
}

void kxvSusie::SetFileName(const std::string& name)
{
    MemoryMode = false;
    FileName = name;
    IsSupport();
}

void kxvSusie::SetMemory(const std::uint8_t* data)
{
    MemoryMode = true;
    Memory = data;
    IsSupport();
}

void kxvSusie::SetOffset(std::int32_t offset)
{
    Offset = offset;
    IsSupport();
}

bool kxvSusie::GetPicture(TBitmap* bitmap)
{
    if (!Current) return false;
    PaletteHandle palette;
    const bool decoded = Current->GetPicture(bitmap, palette);
    SetPalette(std::move(palette));
    if (!decoded) Refusal_ = Current->SpiName + ": " + Current->FailureReason;
    return decoded;
}

bool kxvSusie::GetPreview(TBitmap* bitmap)
{
    if (!Current) return false;
    PaletteHandle palette;
    const bool decoded = Current->GetPreview(bitmap, palette);
    SetPalette(std::move(palette));
    return decoded;
}

bool kxvSusie::LoadFromFile(const std::string& fileName, TBitmap* bitmap)
{
    if (!Enable_ || !FileExists(fileName)) return false;
    SetFileName(fileName);
    return Support && GetPicture(bitmap);
}

bool kxvSusie::LoadFromFile(const std::string& fileName, TBitmap& bitmap)
{
    Refusal_.clear();
    try {
        return LoadFromFile(fileName, &bitmap);
    } catch (const Exception& error) {
        Refusal_ = (Current ? Current->SpiName + ": " : std::string()) + error.Message;
    } catch (...) {
        Refusal_ = "the plug-in's picture could not be taken";
    }
    return false;
}
