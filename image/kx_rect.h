#pragma once
// kxRect: a rectangle laid out as the platform's TRect (left, top, right, bottom),
// with right and bottom outside it unless Inclusive is set.
#include <cstdint>

#include "framework/rect.h"

class kxRect {
public:
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool Inclusive = false;

    kxRect() = default;
    kxRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom)
    {
    }

    std::int32_t Width() const { return Right - Left + (Inclusive ? 1 : 0); }
    std::int32_t Height() const { return Bottom - Top + (Inclusive ? 1 : 0); }
    void SetWidth(std::int32_t w) { Right = Left + w - (Inclusive ? 1 : 0); }
    void SetHeight(std::int32_t h) { Bottom = Top + h - (Inclusive ? 1 : 0); }

    // Assignment copies the four edges; Inclusive stays as it is.
    kxRect& operator=(const kxRect& other)
    {
        Left = other.Left;
        Top = other.Top;
        Right = other.Right;
        Bottom = other.Bottom;
        return *this;
    }
    kxRect& operator=(const TRect& r)
    {
        Left = r.Left;
        Top = r.Top;
        Right = r.Right;
        Bottom = r.Bottom;
        return *this;
    }
    kxRect(const kxRect& other) = default;

    // Inclusive is not compared.
    bool operator!=(const kxRect& other) const
    {
        return Left != other.Left || Top != other.Top || Right != other.Right || Bottom != other.Bottom;
    }
    bool operator==(const kxRect& other) const { return !(*this != other); }

    TRect ToTRect() const { return TRect{Left, Top, Right, Bottom}; }
};
