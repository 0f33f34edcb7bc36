#include <gtest/gtest.h>

#include "calendar/kxv_button.h"
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
    Send(button, Up(mbLeft), 5, 5);
    EXPECT_EQ(clicks, 4);
}
