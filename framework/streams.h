#pragma once
// Byte streams: the abstract TStream, memory streams over borrowed or owned
// memory, and the file stream (opened for reading while denying other writers).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    // Reads or writes up to count bytes; returns how many were moved.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
    virtual std::int64_t Size();

    // Exactly count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
};

// A stream over memory it does not own (a DIB block read in place, for example).
class TCustomMemoryStream : public TStream {
public:
    TCustomMemoryStream() = default;
    TCustomMemoryStream(const void* memory, std::int64_t size) { SetPointer(memory, size); }
    void SetPointer(const void* memory, std::int64_t size);
    const std::uint8_t* Memory() const { return memory_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return size_; }

protected:
    const std::uint8_t* memory_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

// A growable stream over memory it owns.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes);
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Clear();

private:
    void Sync();
    std::vector<std::uint8_t> bytes_;
};

// What readers and writers of whole files move per system call: enough that
// the calls' own cost vanishes, yet little enough that the heap serves it from
// memory it holds. Wine's heap gives blocks of a few hundred KiB fresh pages
// on every allocation, which a batch pays for every file.
#ifdef _WIN32
constexpr std::size_t FileBlockSize = 64 * 1024;
#else
constexpr std::size_t FileBlockSize = 256 * 1024;
#endif

// Reads another stream through a buffer of its own, for readers that take a file
// a few bytes at a time: one large read instead of many small ones. Reads larger
// than the buffer go straight through, and seeks within what the buffer holds
// cost nothing. For reading only; the source must outlive it.
class TBufferedReadStream : public TStream {
public:
    static constexpr std::size_t DefaultBufferSize = 64 * 1024;

    explicit TBufferedReadStream(TStream& source, std::size_t bufferSize = DefaultBufferSize);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return source_.Size(); }

private:
    TStream& source_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_;
    std::int64_t bufferStart_;  // the source's position of the buffer's first byte
    std::size_t filled_ = 0;    // bytes in the buffer; the source stands after them
    std::size_t at_ = 0;        // the next byte to hand out
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    // With fmCreate: only when no file has the name yet, never over one.
    fmExclusive = 0x0004,
    fmShareDenyWrite = 0x0020,
    fmCreate = 0xFF00,
};

// A file on the platform's file system. Opening raises EFOpenError, creating
// EFCreateError; the file is closed when the stream goes.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;
    // Flushes and closes; raises EWriteError when the platform reports a failure
    // that earlier writes did not show (a full disk, for example).
    void Close();

    struct Handle;

private:
    std::unique_ptr<Handle> handle_;
};
