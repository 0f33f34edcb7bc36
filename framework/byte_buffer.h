#pragma once
// Memory that a caller keeps from file to file, for readers and writers that
// would otherwise take a block from the heap for every file: the heap may hand
// out fresh pages each time (under Wine it does for blocks of 64 KiB already),
// and each fresh page costs a fault.
#include <cstddef>
#include <cstdint>
#include <memory>

class TByteBuffer {
public:
    // At least `size` bytes, their content undefined; earlier memory is reused
    // when it is large enough.
    std::uint8_t* Reserve(std::size_t size)
    {
        if (size_ < size) {
            bytes_.reset();  // the old block goes before the new one is taken
            size_ = 0;
            bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            size_ = size;
        }
        return bytes_.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};
