// TFileStream on a POSIX file descriptor. Other writers cannot be denied here;
// the Windows build opens with the share mode the framework asks for. Like the
// Windows one, it reads and writes straight through: callers hand over blocks of
// their own, which a buffer in between would only copy once more.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "framework/exceptions.h"
#include "framework/streams.h"

struct TFileStream::Handle {
    int file = -1;
};

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : handle_(std::make_unique<Handle>())
{
    const bool create = (mode & 0xFF00) == fmCreate;
    const int access = create ? O_RDWR | O_CREAT | ((mode & fmExclusive) != 0 ? O_EXCL : O_TRUNC)
                       : (mode & 3) == fmOpenRead ? O_RDONLY
                       : (mode & 3) == fmOpenWrite ? O_WRONLY
                                                    : O_RDWR;
    do handle_->file = ::open(fileName.c_str(), access | O_CLOEXEC, 0666);
    while (handle_->file < 0 && errno == EINTR);
    if (handle_->file < 0) {
        if (create) throw EFCreateError("ファイル " + fileName + " を作成できません");
        throw EFOpenError("ファイル " + fileName + " を開けません");
    }
    // A directory opens for reading (for nothing else) but is no file to read.
    struct stat st {};
    if (access == O_RDONLY && (::fstat(handle_->file, &st) != 0 || S_ISDIR(st.st_mode))) {
        ::close(handle_->file);
        handle_->file = -1;
        throw EFOpenError("ファイル " + fileName + " を開けません");
    }
}

TFileStream::~TFileStream()
{
    if (handle_->file >= 0) ::close(handle_->file);
}

void TFileStream::Close()
{
    if (handle_->file < 0) return;
    const bool closed = ::close(handle_->file) == 0;
    handle_->file = -1;
    if (!closed) throw EWriteError("ストリーム書き込みエラー");
}

namespace {

// Moves count bytes with read or write, going on after a short transfer (a
// regular file may still deliver less than asked before its end) and after an
// interruption, until the end of the file or an error.
template <typename Byte, typename Transfer>
std::int64_t TransferAll(Byte* buffer, std::int64_t count, Transfer transfer)
{
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = transfer(buffer + done, std::size_t(std::min<std::int64_t>(count - done, SSIZE_MAX)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

}  // namespace

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    if (handle_->file < 0 || count <= 0) return 0;
    const int file = handle_->file;
    return TransferAll(static_cast<char*>(buffer), count,
                       [file](char* at, std::size_t n) { return ::read(file, at, n); });
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    if (handle_->file < 0 || count <= 0) return 0;
    const int file = handle_->file;
    return TransferAll(static_cast<const char*>(buffer), count,
                       [file](const char* at, std::size_t n) { return ::write(file, at, n); });
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    if (handle_->file < 0) return 0;
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(handle_->file, off_t(offset), whence);
    return at >= 0 ? at : ::lseek(handle_->file, 0, SEEK_CUR);
}

std::int64_t TFileStream::Size()
{
    struct stat st {};
    if (handle_->file < 0 || ::fstat(handle_->file, &st) != 0) return 0;
    return st.st_size;
}
