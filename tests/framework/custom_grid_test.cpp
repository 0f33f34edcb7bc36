#include <gtest/gtest.h>

#include <vector>

#include "framework/bitmap.h"
#include "framework/custom_grid.h"
#include "framework/exceptions.h"

namespace {

// Records the cells it is asked to draw and refuses column 2.
class RecordingGrid : public TCustomGrid {
public:
    struct Drawn {
        int col, row;
        TRect rect;
        TGridDrawState state;
    };
    std::vector<Drawn> drawn;

protected:
    void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state) override
    {
        drawn.push_back({col, row, rect, state});
        TCustomGrid::DrawCell(canvas, col, row, rect, state);
    }
    bool SelectCell(int col, int) override { return col != 2; }
};

class BackendSpy : public TGridBackend {
public:
    explicit BackendSpy(int& recreated) : recreated_(recreated) {}
    TFrameMetrics Metrics() const override { return TFrameMetrics{3, 1, 20, 21}; }
    void Invalidate() override {}
    void BoundsChanged() override {}
    void SetScrollBar(TScrollBarKind, int, int, int) override {}
    void RecreateWnd() override { ++recreated_; }

private:
    int& recreated_;
};

}  // namespace

TEST(CustomGrid, CellsAreLaidOutWithGridLinesBetween)
{
    RecordingGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetDefaultColWidth(10);
    grid.SetDefaultRowHeight(8);
    grid.SetGridLineWidth(2);
    grid.SetColWidths(1, 20);
    EXPECT_EQ(grid.CellRect(0, 0), Rect(0, 0, 10, 8));
    EXPECT_EQ(grid.CellRect(1, 2), Rect(12, 20, 32, 28));
    EXPECT_EQ(grid.CellRect(2, 1), Rect(34, 10, 44, 18));
    EXPECT_EQ(grid.CellRect(3, 0), TRect{});

    int col = 0, row = 0;
    EXPECT_TRUE(grid.MouseToCell(11, 9, col, row));  // on the lines: the cell before them
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(grid.MouseToCell(12, 10, col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_FALSE(grid.MouseToCell(46, 5, col, row));
    EXPECT_EQ(col, -1);
}

TEST(CustomGrid, CurrentCellMovesOnlyToAcceptedScrollableCells)
{
    RecordingGrid grid;
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_FALSE(grid.FocusCell(0, 2));  // a fixed column
    EXPECT_FALSE(grid.FocusCell(2, 2));  // refused
    EXPECT_FALSE(grid.FocusCell(9, 2));  // outside
    EXPECT_TRUE(grid.FocusCell(3, 2));
    grid.KeyDown(0x25);  // left onto the refused column
    EXPECT_EQ(grid.Col(), 3);
    grid.KeyDown(0x28);
    EXPECT_EQ(grid.Row(), 3);
    const TRect cell = grid.CellRect(4, 1);
    TMessage down{WM_LBUTTONDOWN_, 0x0001, MakeMouseLParam(cell.Left + 1, cell.Top + 1), 0};
    grid.Perform(down);
    EXPECT_EQ(grid.Col(), 4);
    EXPECT_EQ(grid.Row(), 1);
}

TEST(CustomGrid, PaintDrawsEveryCellWithItsState)
{
    RecordingGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(2);
    grid.SetDefaultColWidth(10);
    grid.SetDefaultRowHeight(8);
    grid.MoveCurrent(2, 1);
    TBitmap bitmap;
    bitmap.SetSize(40, 30);
    grid.Paint(bitmap.Canvas());
    ASSERT_EQ(grid.drawn.size(), 6u);
    EXPECT_EQ(grid.drawn[0].state, gdFixed);
    EXPECT_EQ(grid.drawn[3].state, gdFixed);  // column 0 of row 1
    EXPECT_EQ(grid.drawn[4].state, 0u);
    EXPECT_EQ(grid.drawn[5].state, gdSelected | gdFocused);
    // Fixed cells in the fixed colour, others in the grid colour, lines between.
    EXPECT_EQ(bitmap.Canvas().Pixel(5, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(bitmap.Canvas().Pixel(15, 12), ColorToRGB(clWindow));
    EXPECT_EQ(bitmap.Canvas().Pixel(10, 4), clBlack);   // a fixed line
    EXPECT_EQ(bitmap.Canvas().Pixel(21, 12), clSilver); // a cell line
    EXPECT_THROW(grid.Canvas(), EInvalidOperation);
}

TEST(CustomGrid, FrameAndScrollBarsComeOffTheClientArea)
{
    RecordingGrid grid;
    int recreated = 0;
    grid.SetBackend(std::make_unique<BackendSpy>(recreated));
    grid.SetBounds(0, 0, 100, 80);
    EXPECT_EQ(grid.ClientWidth(), 100 - 6);
    grid.SetScrollBars(ssBoth);
    grid.SetScrollBars(ssBoth);
    EXPECT_EQ(recreated, 1);
    EXPECT_EQ(grid.ClientWidth(), 100 - 6 - 21);
    EXPECT_EQ(grid.ClientHeight(), 80 - 6 - 20);
    grid.SetCtl3D(false);
    EXPECT_EQ(grid.FrameSize(), 2);
    grid.SetBorderStyle(bsNone);
    EXPECT_EQ(grid.FrameSize(), 0);
    EXPECT_EQ(recreated, 3);
}
