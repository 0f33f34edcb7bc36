#pragma once
// TCustomGrid: a grid of cells with fixed rows and columns, per-column widths and
// per-row heights, grid lines, a current cell, a frame and scroll bars. Layout,
// painting into a canvas, mouse and key input and scroll requests are portable;
// the window itself sits behind a TGridBackend (framework/win32/ has the Win32
// one). The grid shows its cells from the top-left corner: its scroll bars carry
// whatever meaning a descendant gives them through Scroll.
#include <functional>
#include <memory>
#include <vector>

#include "framework/canvas.h"
#include "framework/control.h"
#include "framework/rect.h"
#include "framework/system_colors.h"

using TGridOptions = unsigned;
constexpr TGridOptions goFixedVertLine = 0x01;
constexpr TGridOptions goFixedHorzLine = 0x02;
constexpr TGridOptions goVertLine = 0x04;
constexpr TGridOptions goHorzLine = 0x08;
constexpr TGridOptions goThumbTracking = 0x10;

using TGridDrawState = unsigned;
constexpr TGridDrawState gdSelected = 0x01;
constexpr TGridDrawState gdFocused = 0x02;
constexpr TGridDrawState gdFixed = 0x04;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };
enum TScrollBarKind { sbHorizontal, sbVertical };
// The scroll requests, numbered as the platform numbers them.
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };

// Sizes of the system's window frame and scroll bars.
struct TFrameMetrics {
    int EdgeSize = 2;     // one side of a three-dimensional frame
    int BorderSize = 1;   // one side of a flat frame
    int HScrollHeight = 17;
    int VScrollWidth = 17;
};

class TGridBackend {
public:
    virtual ~TGridBackend() = default;
    virtual TFrameMetrics Metrics() const = 0;
    virtual void Invalidate() = 0;
    // The grid's bounds changed: move and size the window.
    virtual void BoundsChanged() = 0;
    virtual void SetScrollBar(TScrollBarKind kind, int min, int max, int position) = 0;
    // The frame or the scroll bars changed: the window must be made again.
    virtual void RecreateWnd() = 0;
};

class TCustomGrid : public TControl {
public:
    TCustomGrid();
    ~TCustomGrid() override;
    TCustomGrid(const TCustomGrid&) = delete;
    TCustomGrid& operator=(const TCustomGrid&) = delete;

    int ColCount() const { return static_cast<int>(colWidths_.size()); }
    void SetColCount(int count);
    int RowCount() const { return static_cast<int>(rowHeights_.size()); }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);
    // Setting a default size resets every column or row to it.
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
    void SetColWidths(int col, int width);
    int RowHeights(int row) const { return rowHeights_.at(static_cast<std::size_t>(row)); }
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return gridLineWidth_; }
    virtual void SetGridLineWidth(int width);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    virtual void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    virtual void SetCtl3D(bool ctl3D);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    virtual void SetScrollBars(TScrollStyle scrollBars);
    bool HasScrollBar(TScrollBarKind kind) const;
    const TFont& Font() const { return font_; }
    virtual void SetFont(const TFont& font);

    // The current cell. FocusCell moves it when SelectCell accepts the cell;
    // MoveCurrent moves it without asking.
    int Col() const { return col_; }
    int Row() const { return row_; }
    bool FocusCell(int col, int row);
    void MoveCurrent(int col, int row);

    void SetBounds(int left, int top, int width, int height) override;
    // The frame's width on both sides together, and the client area inside the
    // frame and the scroll bars.
    int FrameSize() const;
    int ClientWidth() const;
    int ClientHeight() const;

    // Cell rectangles in client coordinates; grid lines lie right of and below
    // each cell. An empty rectangle for a cell outside the grid.
    TRect CellRect(int col, int row) const;
    bool MouseToCell(int x, int y, int& col, int& row) const;

    // Paints the whole client area onto a canvas of that size. Canvas() is that
    // canvas while painting, for the cell drawing events.
    void Paint(TCanvas& canvas);
    TCanvas& Canvas();

    // A key pressed while the grid has the focus (the platform's key code).
    virtual void KeyDown(int key);
    // A request of one scroll bar (the scroll message).
    virtual void Scroll(TScrollBarKind kind, TScrollCode code, int position);

    // The range and position last given to a scroll bar.
    struct TScrollInfo {
        int Min = 0;
        int Max = 0;
        int Position = 0;
    };
    const TScrollInfo& ScrollInfo(TScrollBarKind kind) const { return scrollInfo_[kind]; }

    TFrameMetrics Metrics() const;
    void Invalidate() override;
    void SetBackend(std::unique_ptr<TGridBackend> backend);
    TGridBackend* Backend() const { return backend_.get(); }

protected:
    // A left button press moves the current cell to the cell under it.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool SelectCell(int col, int row);
    void SetScrollBar(TScrollBarKind kind, int min, int max, int position);
    void SetScrollBarRange(TScrollBarKind kind, int min, int max);
    void SetScrollBarPosition(TScrollBarKind kind, int position);

private:
    void DrawLines(TCanvas& canvas, const TRect& cell, bool fixed);
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
    TColor color_ = clWindow;
    TColor fixedColor_ = clBtnFace;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    TScrollStyle scrollBars_ = ssNone;
    TFont font_;
    int col_ = 1;
    int row_ = 1;
    TScrollInfo scrollInfo_[2];
    TCanvas* paintCanvas_ = nullptr;
    std::unique_ptr<TGridBackend> backend_;
};
