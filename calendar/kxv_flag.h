#pragma once
// kxvFlag: a 32-bit flag word whose change event fires only when an operation
// really changes the word. Bit positions are taken modulo 32.
#include <cstdint>
#include <functional>

class kxvFlag {
public:
    std::uint32_t Value() const { return value_; }

    void Store(std::uint32_t value);
    void SetFlags(std::uint32_t mask) { Store(value_ | mask); }
    void ResetFlags(std::uint32_t mask) { Store(value_ & ~mask); }
    void SetFlag(int bit, bool on) { on ? SetFlags(Bit(bit)) : ResetFlags(Bit(bit)); }
    void Reset(int bit) { ResetFlags(Bit(bit)); }
    bool GetFlag(int bit) const { return (value_ & Bit(bit)) != 0; }
    std::uint32_t GetFlags(std::uint32_t mask) const { return value_ & mask; }
    void Change();

    std::function<void(kxvFlag& sender)> OnChange;

private:
    static std::uint32_t Bit(int bit) { return std::uint32_t{1} << (static_cast<unsigned>(bit) % 32u); }
    std::uint32_t value_ = 0;
};
