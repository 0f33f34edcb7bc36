// Text output without a platform font: placeholder metrics until the built-in
// bitmap font lands. TextOut draws nothing yet.
#include <cstdlib>

#include "framework/canvas.h"

void TCanvas::TextOut(int, int, const std::string&) {}

int TCanvas::TextWidth(const std::string& text)
{
    return static_cast<int>(text.size()) * (std::abs(Font.Height) / 2);
}

int TCanvas::TextHeight(const std::string&)
{
    return std::abs(Font.Height);
}
