#include <gtest/gtest.h>

#include <vector>

#include "framework/unique_any.h"

namespace {

std::vector<int> closed;
void CloseCounted(int handle) { closed.push_back(handle); }
int MinusOne() { return -1; }
std::vector<std::pair<int, int>> closedWith;
void CloseThrough(int context, int handle) { closedWith.emplace_back(context, handle); }

using Owner = UniqueAny<int, &CloseCounted, 0>;
using OwnerOfMinusOne = UniqueAny<int, &CloseCounted, &MinusOne>;
using OwnerWith = UniqueAnyWith<int, int, &CloseThrough, 0>;

class UniqueAnyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        closed.clear();
        closedWith.clear();
    }
};

}  // namespace

TEST_F(UniqueAnyTest, ClosesItsHandleOnceWhereverOwnershipMoves)
{
    {
        Owner a(7);
        Owner b(std::move(a));
        EXPECT_FALSE(a);
        Owner c;
        c = std::move(b);
        EXPECT_EQ(c.get(), 7);
        EXPECT_TRUE(closed.empty());
    }
    EXPECT_EQ(closed, (std::vector<int>{7}));
}

TEST_F(UniqueAnyTest, ResetClosesTheOldHandleAndReleaseClosesNothing)
{
    Owner a(1);
    a.reset(2);
    EXPECT_EQ(closed, (std::vector<int>{1}));
    *a.put() = 3;  // put() first closes what it held
    EXPECT_EQ(closed, (std::vector<int>{1, 2}));
    EXPECT_EQ(a.release(), 3);
    Owner b(4);
    b = Owner(5);
    EXPECT_EQ(closed, (std::vector<int>{1, 2, 4}));
}

TEST_F(UniqueAnyTest, TheInvalidValueIsNeverClosed)
{
    { Owner none; }
    {
        OwnerOfMinusOne none;
        EXPECT_EQ(none.get(), -1);
        EXPECT_FALSE(none);
        OwnerOfMinusOne zero(0);  // zero is a real handle where -1 means none
        EXPECT_TRUE(zero);
    }
    EXPECT_EQ(closed, (std::vector<int>{0}));
}

TEST_F(UniqueAnyTest, AHandleWithAContextIsClosedThroughIt)
{
    {
        OwnerWith a(10, 1);
        OwnerWith b;
        b = std::move(a);
        a = OwnerWith(20, 2);
    }
    // b (declared last) goes first
    EXPECT_EQ(closedWith, (std::vector<std::pair<int, int>>{{10, 1}, {20, 2}}));
}

TEST(ScopeExit, RunsAtTheEndOfItsScopeUnlessDismissed)
{
    int runs = 0;
    { ScopeExit a([&] { ++runs; }); }
    {
        ScopeExit b([&] { ++runs; });
        b.dismiss();
    }
    EXPECT_EQ(runs, 1);
}
