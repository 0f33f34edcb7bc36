#include <gtest/gtest.h>

#include "calendar/kxv_button.h"

namespace {

struct ButtonTest : ::testing::Test {
    ButtonTest()
    {
        button.OnClick = [this](TBitBtn& sender) {
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
    button.MouseDown(mbLeft, 0, 5, 5);
    EXPECT_TRUE(button.MouseCapture());
    button.MouseUp(mbLeft, 0, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.Timer(), nullptr);
    // Released outside: no click.
    button.MouseDown(mbLeft, 0, 5, 5);
    button.MouseUp(mbLeft, 0, 500, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, RepeatsFirstAfterFirstIntervalThenEveryNextInterval)
{
    button.SetRepeat(true);
    button.MouseDown(mbLeft, 0, 5, 5);
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
    button.MouseUp(mbLeft, 0, 5, 5);  // the ordinary click
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(timer->Enabled());

    // The next press starts again at FirstInterval, with the same timer.
    button.MouseDown(mbLeft, 0, 5, 5);
    EXPECT_EQ(button.Timer(), timer);
    EXPECT_EQ(timer->Interval(), 400u);
    EXPECT_TRUE(timer->Enabled());
    button.MouseUp(mbLeft, 0, 5, 5);
}

TEST_F(ButtonTest, ClicksOnlyWhileTheCaptureIsHeld)
{
    button.SetRepeat(true);
    button.MouseDown(mbLeft, 0, 5, 5);
    button.CaptureLost();
    Tick();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(button.Timer()->Enabled());
    button.MouseUp(mbLeft, 0, 5, 5);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button.Timer()->Enabled());
}

TEST_F(ButtonTest, RepeatTurnedOffWhilePressedStopsTheClicks)
{
    button.SetRepeat(true);
    button.SetFirstInterval(250);
    button.SetNextInterval(50);
    button.MouseDown(mbLeft, 0, 5, 5);
    EXPECT_EQ(button.Timer()->Interval(), 250u);
    Tick();
    EXPECT_EQ(button.Timer()->Interval(), 50u);
    button.SetRepeat(false);
    Tick();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Timer()->Enabled());  // until the release
    button.MouseUp(mbLeft, 0, 5, 5);
    EXPECT_FALSE(button.Timer()->Enabled());
}

TEST_F(ButtonTest, HeldButtonRepeatsThroughTheMessageLoop)
{
    button.SetRepeat(true);
    button.SetFirstInterval(40);
    button.SetNextInterval(10);
    button.MouseDown(mbLeft, 0, 5, 5);
    // Wait for three repeated clicks, however slowly the machine runs.
    while (clicks < 3) Application().HandleMessage();
    button.MouseUp(mbLeft, 0, 5, 5);
    EXPECT_EQ(clicks, 4);
}
