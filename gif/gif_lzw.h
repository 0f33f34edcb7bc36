#pragma once
// The LZW half of the GIF decoder: the code reader over the image data's
// sub-blocks and the code table, whose strings are written out by a link walk
// through the table itself (no recursion, no stack, no allocation per code).
#include <cstdint>
#include <memory>

class TStream;

// Raises the decoder's error for a malformed stream.
[[noreturn]] void RaiseInvalidGif();
// Exactly count bytes from the stream; a stream that ends early is malformed.
void ReadGifBytes(TStream& stream, void* buffer, std::int64_t count);
// Count bytes, or false when the stream ends first.
bool TryReadGifBytes(TStream& stream, void* buffer, std::int64_t count);
std::uint8_t ReadGifByte(TStream& stream);
// One data sub-block into buffer (at least 255 bytes); returns its length, 0 for
// the block terminator.
int ReadGifSubBlock(TStream& stream, std::uint8_t* buffer);
// Reads and drops sub-blocks up to and including the terminator.
void SkipGifSubBlocks(TStream& stream, std::uint8_t* buffer);

// Receives each completed row; answers false once the frame needs no more rows.
class kxGifRowSink {
public:
    virtual bool RowComplete() = 0;

protected:
    ~kxGifRowSink() = default;
};

class kxGifLzw {
public:
    static constexpr int TableSize = 4096;
    static constexpr int MaxMinimumCodeSize = 11;
    // Bytes a table entry carries of the end of its string: one step of the walk
    // writes this many pixels.
    static constexpr int ChunkBytes = 8;

    kxGifLzw();

    // Starts one image: the code reader takes its data sub-blocks from stream
    // and each completed row goes to sink, in Row() and, when row is given, also
    // copied to row (width bytes, which then keep the last completed row's
    // pixels to the right of an incomplete one). block (at least 255 bytes)
    // serves to skip what follows an end code. Raises the
    // invalid-graphic error for a minimum code size above 11, which would reach
    // past the table, and when the stream ends inside the first four data bytes.
    void Start(TStream& stream, std::uint8_t* block, int minimumCodeSize, std::uint8_t* row, int width,
               kxGifRowSink& sink);
    // Decodes until the end-of-information code, the end of the data or a frame
    // that wants no more rows; the stream is then left after the image data.
    void Decode();
    // Where the next pixel goes in the row.
    int Column() const { return column_; }
    // While the sink is called, the completed row; after Decode, the incomplete
    // last row (Column() pixels) with the last completed row's pixels to its
    // right (zeros before any row completed).
    const std::uint8_t* Row() const { return completedRow_; }

    // The parts of the decoder, open to tests.
    void ClearCodeTable();
    void SetCodeTable(int prefix, std::uint8_t suffix);
    // Writes code's string at the column (completing rows as it goes) and
    // answers its first pixel.
    std::uint8_t WriteCodeTable(int code);
    int CodeSize() const { return codeSize_; }
    int NextFreeCode() const { return nextFree_; }
    int ClearCode() const { return clearCode_; }

private:
    // A string of length n is written back to front in chunks: the entry holds
    // the last ((n - 1) % 8) + 1 bytes, and back names the entry whose string
    // is everything before them, whose length is a multiple of 8, so every
    // further step of the walk writes 8 whole bytes.
    struct Entry {
        std::uint64_t tail;    // chunk bytes, first in the low byte; bytes past the chunk are 0
        std::int16_t back;     // -1 when the chunk starts the string
        std::uint16_t length;  // of the whole string
        std::uint8_t first;    // the string's first byte
    };

    // Makes added the string of prefix (entry prefixCode) followed by suffix.
    static void Extend(Entry& added, const Entry& prefix, int prefixCode, std::uint8_t suffix);
    // Keeps at least 16 unread bytes in the data buffer while the image data has
    // them; records where a stream that ends early must fail.
    void FetchData();
    // Moves completed rows (column at or past the width) to the row and sink.
    void FlushRows();
    // Puts the incomplete row together, in Row() and the caller's row.
    void SyncRow();
    void SkipToTerminator();
    [[noreturn]] void Fail(int column);

    std::unique_ptr<Entry[]> table_;
    TStream* stream_ = nullptr;
    std::uint8_t* block_ = nullptr;
    kxGifRowSink* sink_ = nullptr;
    std::uint8_t* row_ = nullptr;
    bool copyRows_ = false;
    const std::uint8_t* completedRow_ = nullptr;
    int width_ = 0;
    int column_ = 0;
    bool frameDone_ = false;

    // Pixels: the last completed row, then the current row at rowStart_ with
    // room after it for the longest string and a chunk's overhang. Rows follow
    // one another until the end comes near, then move back to the start. Grows
    // to the widest image seen.
    std::unique_ptr<std::uint8_t[]> pixels_;
    std::size_t pixelsSize_ = 0;
    std::size_t rowStart_ = 0;

    // Code reader: a 64-bit window onto the data, least significant bit first,
    // refilled eight bytes at a time from a buffer of the sub-blocks' bytes.
    std::uint64_t window_ = 0;
    int bits_ = 0;  // of the window, all from the data
    static constexpr int DataBufferSize = 16 + 255 + 1;
    std::uint8_t data_[DataBufferSize];
    const std::uint8_t* in_ = data_;
    const std::uint8_t* inEnd_ = data_;
    std::int64_t dataBefore_ = 0;  // image data bytes before data_[0]
    bool terminatorRead_ = false;
    // The stream ended inside the data: codes from failBit_ on raise the error.
    bool streamEnded_ = false;
    std::int64_t failBit_ = 0;

    int codeSize_ = 0;
    std::uint32_t codeMask_ = 0;
    int minimumCodeSize_ = 0;
    int clearCode_ = 0;
    int nextFree_ = 0;
};
