// The waits between frames: run natively and, as the Windows build, under Wine.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/clock.h"
#include "framework/timer.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"

namespace {

// Two frames; the first has the given delay (hundredths of a second).
std::vector<std::uint8_t> DelayedGif(int delay, bool userInput = false)
{
    GifImage image;
    image.width = 2;
    image.height = 2;
    image.globalRgb = Rgb({0xFF0000, 0x00FF00});
    GifFrame frame;
    frame.width = 2;
    frame.height = 2;
    frame.pixels = {1, 1, 1, 1};
    frame.control = true;
    frame.delay = delay;
    frame.userInput = userInput;
    image.frames.push_back(frame);
    frame.control = false;
    frame.pixels = {0, 0, 0, 0};
    image.frames.push_back(frame);
    return EncodeGif(image);
}

TEST(GifWait, DelayOfFiftyWaitsHalfASecondWhileMessagesAreProcessed)
{
    TTimer ticker;
    int ticks = 0;
    ticker.OnTimer = [&](TTimer&) { ++ticks; };
    ticker.SetInterval(20);
    ticker.SetEnabled(true);
    kxvGIF gif;
    std::int64_t firstPaint = 0, secondPaint = 0;
    gif.OnPaint = [&](kxvGIF&, kxRect*) {
        (firstPaint == 0 ? firstPaint : secondPaint) = MonotonicMilliseconds();
    };
    const std::int64_t start = MonotonicMilliseconds();
    DecodeGif(gif, DelayedGif(50));
    const std::int64_t elapsed = MonotonicMilliseconds() - start;
    ticker.SetEnabled(false);
    EXPECT_GE(elapsed, 500);
    EXPECT_GE(secondPaint - firstPaint, 500);
    EXPECT_GE(ticks, 5) << "other timers ran during the wait";
}

TEST(GifWait, UseDelayOffAndAnimateOffDoNotWait)
{
    {
        kxvGIF gif;
        gif.UseDelay = false;
        int paints = 0;
        gif.OnPaint = [&](kxvGIF&, kxRect*) { ++paints; };
        const std::int64_t start = MonotonicMilliseconds();
        auto bitmap = DecodeGif(gif, DelayedGif(300));
        EXPECT_LT(MonotonicMilliseconds() - start, 2000);
        EXPECT_EQ(paints, 2);
        EXPECT_EQ(Px(*bitmap, 0, 0), 0xFF0000u) << "both frames drawn";
    }
    {
        kxvGIF gif;
        gif.Animate = false;
        int paints = 0;
        gif.OnPaint = [&](kxvGIF&, kxRect*) { ++paints; };
        const std::int64_t start = MonotonicMilliseconds();
        auto bitmap = DecodeGif(gif, DelayedGif(300));
        EXPECT_LT(MonotonicMilliseconds() - start, 2000);
        EXPECT_EQ(paints, 1);
        EXPECT_EQ(Px(*bitmap, 0, 0), 0x00FF00u) << "only the first frame";
    }
}

TEST(GifWait, UserInputEndsTheWaitAndIsOnlyPolledWhenAsked)
{
    {
        kxvGIF gif;
        int polls = 0;
        gif.OnUserInput = [&](kxvGIF&) { return ++polls >= 2; };
        const std::int64_t start = MonotonicMilliseconds();
        // A long delay that a second poll ends; a timer keeps messages coming.
        TTimer ticker;
        ticker.OnTimer = [](TTimer&) {};
        ticker.SetInterval(10);
        ticker.SetEnabled(true);
        DecodeGif(gif, DelayedGif(1000, true));
        EXPECT_LT(MonotonicMilliseconds() - start, 5000);
        EXPECT_EQ(polls, 2);
    }
    {
        kxvGIF gif;
        int polls = 0;
        gif.OnUserInput = [&](kxvGIF&) { return ++polls > 0; };
        DecodeGif(gif, DelayedGif(0, false));
        EXPECT_EQ(polls, 0) << "no user-input flag, no polling";
        // The flag with nothing assigned: no wait at all.
        kxvGIF bare;
        const std::int64_t start = MonotonicMilliseconds();
        DecodeGif(bare, DelayedGif(0, true));
        EXPECT_LT(MonotonicMilliseconds() - start, 2000);
        // The flag without a delay: polled until it answers true.
        DecodeGif(gif, DelayedGif(0, true));
        EXPECT_EQ(polls, 1);
    }
}

}  // namespace
