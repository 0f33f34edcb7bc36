#include "written_bmp.h"

#include <stdexcept>

#include "framework/bitmap.h"
#include "test_support.h"

TWrittenBmp::TWrittenBmp(const std::string& path) : Bytes(ReadAll(path))
{
    if (Bytes.size() < 54) throw std::runtime_error("no BMP file at " + path);
}

std::uint32_t TWrittenBmp::U16(std::size_t offset) const
{
    return Bytes.at(offset) | std::uint32_t(Bytes.at(offset + 1)) << 8;
}

std::uint32_t TWrittenBmp::U32(std::size_t offset) const
{
    return U16(offset) | U16(offset + 2) << 16;
}

std::size_t TWrittenBmp::RowSize() const
{
    return (std::size_t(Width()) * std::size_t(Depth()) + 31) / 32 * 4;
}

std::vector<std::uint32_t> TWrittenBmp::Table() const
{
    std::vector<std::uint32_t> table;
    for (std::size_t at = 54; at + 4 <= DataOffset(); at += 4) table.push_back(U32(at) & 0xFFFFFF);
    return table;
}

const std::uint8_t* TWrittenBmp::Row(int fromTop) const
{
    const std::size_t at = DataOffset() + std::size_t(Height() - 1 - fromTop) * RowSize();
    if (at + RowSize() > Bytes.size()) throw std::out_of_range("row beyond the file");
    return Bytes.data() + at;
}

std::uint32_t TWrittenBmp::Index(int x, int fromTop) const
{
    const std::uint8_t* row = Row(fromTop);
    const int depth = Depth();
    const int bit = x * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

std::uint32_t TWrittenBmp::Color(int x, int fromTop) const
{
    const int depth = Depth();
    const std::uint8_t* row = Row(fromTop);
    if (depth <= 8) return Table().at(Index(x, fromTop));
    const std::size_t bytes = std::size_t(depth / 8);
    const std::uint8_t* p = row + bytes * std::size_t(x);
    return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}

void FillBitmap(TBitmap& bitmap, const std::vector<std::vector<std::uint32_t>>& rows)
{
    bitmap.SetSize(int(rows.at(0).size()), int(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) bitmap.ScanLine(int(y))[x] = rows[y][x];
}
