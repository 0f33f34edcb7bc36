#pragma once
// The clip rectangle's editing on the window: the six edits and the picture
// information button, the mapping between picture pixels and the preview, the
// rubber band, moving and edge dragging of the outline with its cursors, the
// coordinate readout and the double click that restores the rectangle. It is
// portable; the window supplies a TClipRectView and calls the handlers.
#include <string>

#include "framework/rect.h"
#include "framework/screen.h"
#include "image/kx_rect.h"

constexpr TCursor crHandMove = 17;

// The inputs of the rectangle: the six edits, the picture information button,
// or none (a mouse operation's end, the double click).
enum class TClipInput { None, Left, Top, Right, Bottom, Width, Height, ImageInfo };

class TClipRectView {
public:
    virtual ~TClipRectView() = default;
    virtual std::string EditText(TClipInput edit) = 0;
    virtual void SetEditText(TClipInput edit, const std::string& text) = 0;
    // A plain message box with one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The preview repaints (later); its paint places the outline.
    virtual void RepaintImage() = 0;

    // The picture, and where and how large the preview drew it at its last paint.
    virtual int PictureWidth() = 0;
    virtual int PictureHeight() = 0;
    virtual double Zoom() = 0;
    virtual TPoint DrawOrigin() = 0;

    // The outline, placed in the coordinates of the preview's panel.
    virtual TRect ShapeBounds() = 0;
    virtual void SetShapeBounds(const TRect& bounds) = 0;
    virtual TCursor ShapeCursor() = 0;
    virtual void SetShapeCursor(TCursor cursor) = 0;

    // Status bar panel 0.
    virtual void SetCoordinateText(const std::string& text) = 0;
    // Opens the file that the preview shows, when it is still listed.
    virtual void OpenPreviewItem() = 0;
};

class TClipRectEditor {
public:
    // The preview sits at (1, 1) inside the panel that holds the outline.
    static constexpr int kImageOffset = 1;

    TClipRectEditor(TClipRectView& view, kxRect& clipRect) : ClipRect(clipRect), view_(view) {}

    kxRect& ClipRect;
    kxRect SavedClipRect;
    int DragAnchorX = 0;
    int DragAnchorY = 0;
    bool DragLowEdge = false;
    bool Selecting = false;
    bool IgnoreNextMouseDown = false;

    // Reads the six edits, applies the one named by sender, writes the edits back,
    // repaints the preview when the rectangle changed and sets the outline's
    // cursor. False (after the conversion message) when an edit holds no number.
    bool ClipChange(TClipInput sender);
    void ShowClipRect();
    // Places the outline over the picture by the preview's zoom and origin.
    void ImagePaint();
    // A point of the preview (its own client coordinates) as a picture point,
    // always on the picture.
    TPoint ToImagePoint(TPoint imagePoint);

    // The preview's mouse events. `senderPoint` is in the sender's coordinates
    // (used on the outline), `imagePoint` the same point in the preview's.
    void MouseDown(bool onShape, TPoint senderPoint, TPoint imagePoint);
    void MouseMove(bool onShape, TPoint senderPoint, TPoint imagePoint);
    void MouseUp(bool onShape, TPoint senderPoint, TPoint imagePoint);
    void DblClick();

    // Hover and drag on the outline; true when it dealt with the event.
    bool ShapeMouse(int x, int y, int px, int py);
    // Shifts the rectangle and keeps it flush inside the picture.
    void MoveClip(int dx, int dy);

private:
    bool FullPicture() const;
    TClipRectView& view_;
};
