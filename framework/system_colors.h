#pragma once
// System colours: TColor values with the high bit set name an entry of the
// platform's colour scheme (the low byte is its index), resolved by ColorToRGB.
#include "framework/color.h"

constexpr TColor SystemColor(unsigned index) { return static_cast<TColor>(0x80000000u | index); }
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);

constexpr bool IsSystemColor(TColor color) { return (static_cast<unsigned>(color) & 0x80000000u) != 0; }

// The plain 0x00BBGGRR colour: system colours through the platform (a classic
// scheme where there is none), others unchanged.
TColor ColorToRGB(TColor color);
