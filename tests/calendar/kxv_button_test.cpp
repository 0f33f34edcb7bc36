#include <gtest/gtest.h>

#include <utility>

#include "calendar/kxv_button.h"
#include "framework/bitmap.h"
#include "framework/mouse_messages.h"

namespace {

struct ButtonTest : ::testing::Test {
    ButtonTest()
    {
        button.OnClick = [this](TControl& sender) {
            EXPECT_EQ(&sender, &button);
            ++clicks;
        };
    }
    void Tick() { button.Timer()->OnTimer(*button.Timer()); }
    kxvButton button;
    int clicks = 0;
};

}  // namespace

TEST_F(ButtonTest, WithoutRepeatItIsAPlainButton)
{
    EXPECT_FALSE(button.Repeat());
    EXPECT_EQ(button.FirstInterval(), 400);
    EXPECT_EQ(button.NextInterval(), 100);
    Send(button, Down(mbLeft), 5, 5);
    EXPECT_TRUE(button.MouseCapture());
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.Timer(), nullptr);
    // Released outside: no click.
    Send(button, Down(mbLeft), 5, 5);
    Send(button, Up(mbLeft), 500, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, RepeatsFirstAfterFirstIntervalThenEveryNextInterval)
{
    button.SetRepeat(true);
    Send(button, Down(mbLeft), 5, 5);
    TTimer* timer = button.Timer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 400u);
    EXPECT_EQ(clicks, 0);
    Tick();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(timer->Interval(), 100u);
    Tick();
    Tick();
    EXPECT_EQ(clicks, 3);
    Send(button, Up(mbLeft), 5, 5);  // the ordinary click
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(timer->Enabled());

    // The next press starts again at FirstInterval, with the same timer.
    Send(button, Down(mbLeft), 5, 5);
    EXPECT_EQ(button.Timer(), timer);
    EXPECT_EQ(timer->Interval(), 400u);
    EXPECT_TRUE(timer->Enabled());
    Send(button, Up(mbLeft), 5, 5);
}

TEST_F(ButtonTest, ClicksOnlyWhileTheCaptureIsHeld)
{
    button.SetRepeat(true);
    Send(button, Down(mbLeft), 5, 5);
    button.CaptureLost();
    Tick();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(button.Timer()->Enabled());
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button.Timer()->Enabled());
}

TEST_F(ButtonTest, RepeatTurnedOffWhilePressedStopsTheClicks)
{
    button.SetRepeat(true);
    button.SetFirstInterval(250);
    button.SetNextInterval(50);
    Send(button, Down(mbLeft), 5, 5);
    EXPECT_EQ(button.Timer()->Interval(), 250u);
    Tick();
    EXPECT_EQ(button.Timer()->Interval(), 50u);
    button.SetRepeat(false);
    Tick();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Timer()->Enabled());  // until the release
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_FALSE(button.Timer()->Enabled());
}

TEST_F(ButtonTest, HeldButtonRepeatsThroughTheMessageLoop)
{
    button.SetRepeat(true);
    button.SetFirstInterval(40);
    button.SetNextInterval(10);
    Send(button, Down(mbLeft), 5, 5);
    // Wait for three repeated clicks, however slowly the machine runs.
    while (clicks < 3) Application().HandleMessage();
    // One message may carry more than one due tick on a loaded machine: count
    // from the moment of release, which adds exactly the one click of the up.
    const int beforeRelease = clicks;
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_EQ(clicks, beforeRelease + 1);
}

namespace {

constexpr int kSpace = 0x20;

}  // namespace

TEST_F(ButtonTest, SpacePressesOnKeyDownAndClicksOnKeyUp)
{
    button.KeyDown('A', false);
    button.KeyUp('A');
    EXPECT_FALSE(button.Pressed());
    button.KeyDown(kSpace, false);
    EXPECT_TRUE(button.Down());
    EXPECT_TRUE(button.MouseCapture());
    button.KeyDown(kSpace, true);  // the keyboard repeating the held key
    EXPECT_EQ(clicks, 0);
    button.KeyUp(kSpace);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.Down());
    EXPECT_FALSE(button.MouseCapture());
    EXPECT_EQ(button.Timer(), nullptr);

    button.SetEnabled(false);
    button.KeyDown(kSpace, false);
    button.KeyUp(kSpace);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, LosingTheFocusEndsAPressBySpaceWithoutAClick)
{
    button.SetRepeat(true);
    button.FocusChanged(true);
    button.KeyDown(kSpace, false);
    button.FocusChanged(false);
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.MouseCapture());
    EXPECT_FALSE(button.Timer()->Enabled());
    button.KeyDown(kSpace, true);  // still held, now elsewhere
    button.KeyUp(kSpace);
    EXPECT_EQ(clicks, 0);

    // A mouse press is not ended by Space.
    Send(button, Down(mbLeft), 5, 5);
    button.KeyUp(kSpace);
    EXPECT_TRUE(button.Timer()->Enabled());
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, TheFocusIsDrawnAsADottedOutline)
{
    TBitmap plain, focused;
    plain.SetSize(button.Width(), button.Height());
    focused.SetSize(button.Width(), button.Height());
    button.Paint(plain.Canvas());
    button.FocusChanged(true);
    button.Paint(focused.Canvas());
    const int right = button.Width() - 4, bottom = button.Height() - 4;
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{right, bottom}, std::pair{3, 9}}) {
        EXPECT_EQ(focused.Canvas().Pixel(x, y), plain.Canvas().Pixel(x, y) ^ 0xFFFFFF) << x << "," << y;
        EXPECT_EQ(focused.Canvas().Pixel(x + 1, y), plain.Canvas().Pixel(x + 1, y)) << x + 1 << "," << y;
    }
    EXPECT_EQ(focused.Canvas().Pixel(2, 2), plain.Canvas().Pixel(2, 2));
}
