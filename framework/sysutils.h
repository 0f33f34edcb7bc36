#pragma once
// Number conversions of the framework.
#include <string>

std::string IntToStr(long long value);
// Decimal text with optional sign and surrounding blanks; anything else raises
// EConvertError "'text' は数値ではありません".
int StrToInt(const std::string& text);
