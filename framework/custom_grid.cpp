#include "framework/custom_grid.h"

#include <algorithm>

#include "framework/bitmap.h"
#include "framework/exceptions.h"

namespace {

constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;

}  // namespace

TCustomGrid::TCustomGrid() : colWidths_(5, 64), rowHeights_(5, 24)
{
    TControl::SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::SetColCount(int count)
{
    count = std::max(count, 1);
    if (count == ColCount()) return;
    colWidths_.resize(static_cast<std::size_t>(count), defaultColWidth_);
    col_ = std::min(col_, count - 1);
    Invalidate();
}

void TCustomGrid::SetRowCount(int count)
{
    count = std::max(count, 1);
    if (count == RowCount()) return;
    rowHeights_.resize(static_cast<std::size_t>(count), defaultRowHeight_);
    row_ = std::min(row_, count - 1);
    Invalidate();
}

void TCustomGrid::SetFixedCols(int count)
{
    count = std::clamp(count, 0, ColCount() - 1);
    if (count == fixedCols_) return;
    fixedCols_ = count;
    col_ = std::max(col_, fixedCols_);
    Invalidate();
}

void TCustomGrid::SetFixedRows(int count)
{
    count = std::clamp(count, 0, RowCount() - 1);
    if (count == fixedRows_) return;
    fixedRows_ = count;
    row_ = std::max(row_, fixedRows_);
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = width;
    std::fill(colWidths_.begin(), colWidths_.end(), width);
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = height;
    std::fill(rowHeights_.begin(), rowHeights_.end(), height);
    Invalidate();
}

void TCustomGrid::SetColWidths(int col, int width)
{
    int& current = colWidths_.at(static_cast<std::size_t>(col));
    if (current == width) return;
    current = width;
    Invalidate();
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    int& current = rowHeights_.at(static_cast<std::size_t>(row));
    if (current == height) return;
    current = height;
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    width = std::max(width, 0);
    if (width == gridLineWidth_) return;
    gridLineWidth_ = width;
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    if (options == options_) return;
    options_ = options;
    Invalidate();
}

void TCustomGrid::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor color)
{
    if (color == fixedColor_) return;
    fixedColor_ = color;
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle style)
{
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (backend_) backend_->RecreateWnd();
}

void TCustomGrid::SetCtl3D(bool ctl3D)
{
    if (ctl3D == ctl3D_) return;
    ctl3D_ = ctl3D;
    if (backend_) backend_->RecreateWnd();
}

void TCustomGrid::SetScrollBars(TScrollStyle scrollBars)
{
    if (scrollBars == scrollBars_) return;
    scrollBars_ = scrollBars;
    if (backend_) backend_->RecreateWnd();
}

void TCustomGrid::SetFont(const TFont& font)
{
    font_ = font;
    Invalidate();
}

bool TCustomGrid::HasScrollBar(TScrollBarKind kind) const
{
    if (kind == sbHorizontal) return scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    return scrollBars_ == ssVertical || scrollBars_ == ssBoth;
}

bool TCustomGrid::FocusCell(int col, int row)
{
    if (col < fixedCols_ || col >= ColCount() || row < fixedRows_ || row >= RowCount()) return false;
    if (!SelectCell(col, row)) return false;
    MoveCurrent(col, row);
    return true;
}

void TCustomGrid::MoveCurrent(int col, int row)
{
    if (col == col_ && row == row_) return;
    col_ = col;
    row_ = row;
    Invalidate();
}

void TCustomGrid::SetBounds(int left, int top, int width, int height)
{
    if (TRect{left, top, left + width, top + height} == BoundsRect()) return;
    TControl::SetBounds(left, top, width, height);
    if (backend_) backend_->BoundsChanged();
    Invalidate();
}

int TCustomGrid::FrameSize() const
{
    if (borderStyle_ != bsSingle) return 0;
    const TFrameMetrics metrics = Metrics();
    return 2 * (ctl3D_ ? metrics.EdgeSize : metrics.BorderSize);
}

int TCustomGrid::ClientWidth() const
{
    return std::max(0, Width() - FrameSize() - (HasScrollBar(sbVertical) ? Metrics().VScrollWidth : 0));
}

int TCustomGrid::ClientHeight() const
{
    return std::max(0, Height() - FrameSize() - (HasScrollBar(sbHorizontal) ? Metrics().HScrollHeight : 0));
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return {};
    int x = 0;
    for (int c = 0; c < col; ++c) x += ColWidths(c) + gridLineWidth_;
    int y = 0;
    for (int r = 0; r < row; ++r) y += RowHeights(r) + gridLineWidth_;
    return Rect(x, y, x + ColWidths(col), y + RowHeights(row));
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    col = -1;
    row = -1;
    if (x < 0 || y < 0) return false;
    for (int c = 0, left = 0; c < ColCount(); ++c) {
        const int right = left + ColWidths(c) + gridLineWidth_;
        if (x < right) {
            col = c;
            break;
        }
        left = right;
    }
    for (int r = 0, top = 0; r < RowCount(); ++r) {
        const int bottom = top + RowHeights(r) + gridLineWidth_;
        if (y < bottom) {
            row = r;
            break;
        }
        top = bottom;
    }
    if (col < 0 || row < 0) {
        col = row = -1;
        return false;
    }
    return true;
}

TCanvas& TCustomGrid::Canvas()
{
    if (!paintCanvas_) throw EInvalidOperation("The grid is not painting");
    return *paintCanvas_;
}

void TCustomGrid::Paint(TCanvas& canvas)
{
    paintCanvas_ = &canvas;
    struct EndPainting {
        TCanvas*& current;
        ~EndPainting() { current = nullptr; }
    } endPainting{paintCanvas_};
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ColorToRGB(color_);
    canvas.FillRect(Rect(0, 0, canvas.Bitmap().Width(), canvas.Bitmap().Height()));
    for (int row = 0; row < RowCount(); ++row)
        for (int col = 0; col < ColCount(); ++col) {
            const TRect rect = CellRect(col, row);
            const bool fixed = row < fixedRows_ || col < fixedCols_;
            TGridDrawState state = fixed ? gdFixed : 0;
            if (!fixed && col == col_ && row == row_) state |= gdSelected | gdFocused;
            canvas.Font = font_;
            DrawCell(canvas, col, row, rect, state);
            DrawLines(canvas, rect, fixed);
        }
}

void TCustomGrid::DrawLines(TCanvas& canvas, const TRect& cell, bool fixed)
{
    if (gridLineWidth_ <= 0) return;
    const bool vertical = (options_ & (fixed ? goFixedVertLine : goVertLine)) != 0;
    const bool horizontal = (options_ & (fixed ? goFixedHorzLine : goHorzLine)) != 0;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = fixed ? clBlack : clSilver;
    if (vertical) canvas.FillRect(Rect(cell.Right, cell.Top, cell.Right + gridLineWidth_, cell.Bottom + gridLineWidth_));
    if (horizontal) canvas.FillRect(Rect(cell.Left, cell.Bottom, cell.Right + gridLineWidth_, cell.Bottom + gridLineWidth_));
    if (fixed && ctl3D_ && cell.Right - cell.Left > 2 && cell.Bottom - cell.Top > 2) {
        // A raised edge inside the fixed cell.
        canvas.Brush.Color = ColorToRGB(clBtnHighlight);
        canvas.FillRect(Rect(cell.Left, cell.Top, cell.Right - 1, cell.Top + 1));
        canvas.FillRect(Rect(cell.Left, cell.Top, cell.Left + 1, cell.Bottom - 1));
        canvas.Brush.Color = ColorToRGB(clBtnShadow);
        canvas.FillRect(Rect(cell.Right - 1, cell.Top, cell.Right, cell.Bottom));
        canvas.FillRect(Rect(cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom));
    }
}

void TCustomGrid::DrawCell(TCanvas& canvas, int, int, const TRect& rect, TGridDrawState state)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ColorToRGB((state & gdFixed) ? fixedColor_ : color_);
    canvas.FillRect(rect);
}

bool TCustomGrid::SelectCell(int, int)
{
    return true;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    int col = 0;
    int row = 0;
    if (button == mbLeft && MouseToCell(x, y, col, row)) FocusCell(col, row);
    TControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::KeyDown(int key)
{
    switch (key) {
    case kKeyLeft: FocusCell(col_ - 1, row_); break;
    case kKeyRight: FocusCell(col_ + 1, row_); break;
    case kKeyUp: FocusCell(col_, row_ - 1); break;
    case kKeyDown: FocusCell(col_, row_ + 1); break;
    default: break;
    }
}

void TCustomGrid::Scroll(TScrollBarKind, TScrollCode, int) {}

void TCustomGrid::SetScrollBar(TScrollBarKind kind, int min, int max, int position)
{
    scrollInfo_[kind] = TScrollInfo{min, max, position};
    if (backend_ && HasScrollBar(kind)) backend_->SetScrollBar(kind, min, max, position);
}

void TCustomGrid::SetScrollBarRange(TScrollBarKind kind, int min, int max)
{
    const TScrollInfo& info = scrollInfo_[kind];
    SetScrollBar(kind, min, max, info.Position);
}

void TCustomGrid::SetScrollBarPosition(TScrollBarKind kind, int position)
{
    const TScrollInfo& info = scrollInfo_[kind];
    SetScrollBar(kind, info.Min, info.Max, position);
}

TFrameMetrics TCustomGrid::Metrics() const
{
    return backend_ ? backend_->Metrics() : TFrameMetrics{};
}

void TCustomGrid::Invalidate()
{
    if (backend_) backend_->Invalidate();
}

void TCustomGrid::SetBackend(std::unique_ptr<TGridBackend> backend)
{
    backend_ = std::move(backend);
}
