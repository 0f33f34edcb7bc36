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

    kxGifLzw();

    // Starts one image: the code reader takes its data sub-blocks from stream
    // through block (at least 255 bytes) and completed rows go to sink. Raises the
    // invalid-graphic error for a minimum code size above 11, which would reach
    // past the table.
    void Start(TStream& stream, std::uint8_t* block, int minimumCodeSize, std::uint8_t* row, int width,
               kxGifRowSink& sink);
    // Decodes until the end-of-information code, the end of the data or a frame
    // that wants no more rows; the stream is then left after the image data.
    void Decode();
    // Where the next pixel goes in the row.
    int Column() const { return column_; }

    // The parts of the decoder, open to tests.
    int GetCode();
    void ClearCodeTable();
    void SetCodeTable(int prefix, std::uint8_t suffix);
    std::uint8_t WriteCodeTable(int code);
    int CodeSize() const { return codeSize_; }
    int NextFreeCode() const { return nextFree_; }
    int ClearCode() const { return clearCode_; }
    // True while at least one more whole code lies in the image data.
    bool HasCode();

private:
    // Eight bytes, so that the whole table stays in the first-level cache.
    struct Entry {
        std::int16_t prefix;  // -1 for a root
        std::int16_t link;    // scratch of the link walk
        std::uint8_t suffix;
    };

    void Refill();
    std::uint32_t NextDataByte(bool& real);
    void SkipToTerminator();

    std::unique_ptr<Entry[]> table_;
    TStream* stream_ = nullptr;
    std::uint8_t* block_ = nullptr;
    kxGifRowSink* sink_ = nullptr;
    std::uint8_t* row_ = nullptr;
    int width_ = 0;
    int column_ = 0;
    bool frameDone_ = false;

    // Code reader: a 32-bit window onto the data, least significant bit first.
    std::uint32_t window_ = 0;
    int bitPosition_ = 0;
    int validBits_ = 0;  // bits of the window that came from the data
    int codeSize_ = 0;
    std::uint32_t codeMask_ = 0;
    int minimumCodeSize_ = 0;
    int clearCode_ = 0;
    int nextFree_ = 0;
    int subBlockLength_ = 0;
    int readPosition_ = 0;
    int endOfData_ = 0;  // 1 once the terminator has been read
};
