// TFileStream on a POSIX file system. Other writers cannot be denied here; the
// Windows build opens with the share mode the framework asks for.
#include <cerrno>
#include <cstdio>
#include <memory>

#include "framework/exceptions.h"
#include "framework/streams.h"

struct TFileStream::Handle {
    std::FILE* file = nullptr;
    // stdio's own buffer is one block (4 KiB): a file written a row at a time
    // would cost a system call per block, several times the copying itself.
    static constexpr std::size_t BufferSize = 256 * 1024;
    std::unique_ptr<char[]> buffer;
};

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : handle_(std::make_unique<Handle>())
{
    const bool create = (mode & 0xFF00) == fmCreate;
    const char* how = create ? "w+b" : (mode & 3) == fmOpenRead ? "rb" : "r+b";
    handle_->file = std::fopen(fileName.c_str(), how);
    if (!handle_->file) {
        if (create) throw EFCreateError("ファイル " + fileName + " を作成できません");
        throw EFOpenError("ファイル " + fileName + " を開けません");
    }
    // Readers take large blocks, which stdio hands through unbuffered as long as
    // they are not smaller than its buffer: only writers get the large one.
    if ((mode & 3) != fmOpenRead || create) {
        handle_->buffer.reset(new char[Handle::BufferSize]);
        std::setvbuf(handle_->file, handle_->buffer.get(), _IOFBF, Handle::BufferSize);
    }
}

TFileStream::~TFileStream()
{
    if (handle_->file) std::fclose(handle_->file);
}

void TFileStream::Close()
{
    if (!handle_->file) return;
    const bool flushed = std::fflush(handle_->file) == 0;
    const bool closed = std::fclose(handle_->file) == 0;
    handle_->file = nullptr;
    if (!flushed || !closed) throw EWriteError("ストリーム書き込みエラー");
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    if (!handle_->file || count <= 0) return 0;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), handle_->file));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    if (!handle_->file || count <= 0) return 0;
    return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), handle_->file));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    if (!handle_->file) return 0;
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    if (fseeko(handle_->file, offset, whence) != 0) return ftello(handle_->file);
    return ftello(handle_->file);
}
