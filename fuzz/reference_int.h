#pragma once
// The reference reading of a number in a text reply, for the targets that check
// ParseInt and what is read with it: blanks, an optional sign, blanks, decimal
// digits, converted by the C library and clamped to int (no digits give 0).
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

inline int ReferenceInt(const char* text, const char*& end)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const char* p = text;
    while (blank(*p)) ++p;
    std::string number;
    if (*p == '-' || *p == '+') {
        number += *p++;
        while (blank(*p)) ++p;
    }
    const char* digits = p;
    while (*p >= '0' && *p <= '9') ++p;
    end = p;
    if (p == digits) return 0;
    number.append(digits, p);
    const long long value = std::strtoll(number.c_str(), nullptr, 10);  // saturates on overflow
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
