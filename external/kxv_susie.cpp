#include "external/kxv_susie.h"

#include "external/kx_find_file.h"
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

bool kxvSusie::AddSPI(const std::string& path)
{
    if (GetSPI(FileNamePart(path))) return true;
    auto spi = std::make_unique<kxvSPI>(path);
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
    std::string pattern = directory;
    FileAppendPath(pattern, kPluginMask);
    kxFindFile finder(pattern, !IsAbsolute(directory));
    int added = 0;
    while (finder.Next())
        if (AddSPI(finder.FoundName())) ++added;
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
    for (kxvSPI* spi = Head.get(); spi; spi = spi->Next.get()) {
        if (!filter.empty()) filter += '|';
        filter += spi->Filter;
    }
    return filter;
}

bool kxvSusie::IsSupport()
{
    for (Current = Head.get(); Current; Current = Current->Next.get()) {
        Current->Offset = Offset;
        Current->SetFileName(FileName);
        if (MemoryMode) Current->SetMemory(Memory);
        if (!Current->Support) continue;
        Left = Current->Left;
        Top = Current->Top;
        Width = Current->Width;
        Height = Current->Height;
        XDensity = Current->XDensity;
        YDensity = Current->YDensity;
        ColorDepth = Current->ColorDepth;
        Info = Current->Info;
        Support = true;
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
    try {
        return LoadFromFile(fileName, &bitmap);
    } catch (...) {
        return false;
    }
}
