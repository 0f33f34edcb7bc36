#pragma once
// The line on a terminal that says how far a batch has come: files done, of how
// many when that is known, and the rate. It appears only once the batch has run
// for a second, is redrawn at most ten times a second, and can be wiped before a
// result line goes to the same terminal.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

class TProgressLine {
public:
    // Nothing is ever written when `enabled` is false. Times are
    // MonotonicMilliseconds.
    TProgressLine(std::FILE* stream, bool enabled, std::int64_t startMs);
    ~TProgressLine() { Hide(); }
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void SetTotal(std::uint64_t total) { total_ = total; }
    // After each file.
    void Update(std::uint64_t done, std::int64_t nowMs);
    // Wipes the line, if it is shown.
    void Hide();

    // The line's text: "N of M files, R files/s" (without "of M" when M is unknown).
    static std::string Text(std::uint64_t done, std::optional<std::uint64_t> total, double seconds);

private:
    std::FILE* stream_;
    bool enabled_;
    std::int64_t startMs_;
    std::int64_t lastDrawnMs_ = 0;
    std::optional<std::uint64_t> total_;
    std::size_t shownLength_ = 0;  // 0: not shown
};
