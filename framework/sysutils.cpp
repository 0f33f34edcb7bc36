#include "framework/sysutils.h"

#include <cctype>
#include <climits>

#include "framework/exceptions.h"

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

int StrToInt(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    const std::size_t firstDigit = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i++] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const long long signedValue = negative ? -value : value;
    if (i == firstDigit || i != text.size() || signedValue > INT_MAX || signedValue < INT_MIN)
        throw EConvertError("'" + text + "' は数値ではありません");
    return static_cast<int>(signedValue);
}
