// TFileStream on Win32 handles, with the share mode the framework asks for.
#include <windows.h>

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide.h"

struct TFileStream::Handle {
    UniqueFile file;
};

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : handle_(std::make_unique<Handle>())
{
    const std::wstring wide = Utf8ToWide(fileName);
    const bool create = (mode & 0xFF00) == fmCreate;
    if (create) {
        handle_->file.reset(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        (mode & fmExclusive) != 0 ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
        if (!handle_->file) throw EFCreateError("ファイル " + fileName + " を作成できません");
        return;
    }
    const DWORD access = (mode & 3) == fmOpenRead ? GENERIC_READ
                         : (mode & 3) == fmOpenWrite ? GENERIC_WRITE
                                                      : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = (mode & 0xF0) == fmShareDenyWrite ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    handle_->file.reset(CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_->file) throw EFOpenError("ファイル " + fileName + " を開けません");
}

TFileStream::~TFileStream() = default;

void TFileStream::Close()
{
    if (!handle_->file) return;
    const bool closed = CloseHandle(handle_->file.release()) != FALSE;
    if (!closed) throw EWriteError("ストリーム書き込みエラー");
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    if (!handle_->file || count <= 0) return 0;
    DWORD done = 0;
    if (!ReadFile(handle_->file.get(), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    if (!handle_->file || count <= 0) return 0;
    DWORD done = 0;
    if (!WriteFile(handle_->file.get(), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    if (!handle_->file) return 0;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result{};
    const DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
    SetFilePointerEx(handle_->file.get(), distance, &result, method);
    return result.QuadPart;
}

std::int64_t TFileStream::Size()
{
    LARGE_INTEGER size{};
    if (!handle_->file || !GetFileSizeEx(handle_->file.get(), &size)) return 0;
    return size.QuadPart;
}
