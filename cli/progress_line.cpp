#include "cli/progress_line.h"

#include <algorithm>
#include <cinttypes>

namespace {

constexpr std::int64_t kQuietStartMs = 1000;
constexpr std::int64_t kRedrawEveryMs = 100;

}  // namespace

TProgressLine::TProgressLine(std::FILE* stream, bool enabled, std::int64_t startMs)
    : stream_(stream), enabled_(enabled), startMs_(startMs)
{
}

std::string TProgressLine::Text(std::uint64_t done, std::optional<std::uint64_t> total, double seconds)
{
    char text[96];
    const double rate = seconds > 0 ? double(done) / seconds : 0.0;
    if (total)
        std::snprintf(text, sizeof text, "%" PRIu64 " of %" PRIu64 " files, %.0f files/s", done, *total, rate);
    else
        std::snprintf(text, sizeof text, "%" PRIu64 " files, %.0f files/s", done, rate);
    return text;
}

void TProgressLine::Update(std::uint64_t done, std::int64_t nowMs)
{
    if (!enabled_ || nowMs - startMs_ < kQuietStartMs) return;
    if (shownLength_ != 0 && nowMs - lastDrawnMs_ < kRedrawEveryMs) return;
    const std::string text = Text(done, total_, double(nowMs - startMs_) / 1000.0);
    // Carriage return and blanks rather than terminal escapes: every console takes them.
    std::string line = "\r" + text;
    if (text.size() < shownLength_) line.append(shownLength_ - text.size(), ' ');
    std::fputs(line.c_str(), stream_);
    std::fflush(stream_);
    shownLength_ = std::max(text.size(), shownLength_);
    lastDrawnMs_ = nowMs;
}

void TProgressLine::Hide()
{
    if (shownLength_ == 0) return;
    std::string blank = "\r" + std::string(shownLength_, ' ') + "\r";
    std::fputs(blank.c_str(), stream_);
    std::fflush(stream_);
    shownLength_ = 0;
}
