#pragma once
// Loading a whole GIF file as one picture, for readers that want the result and
// not the show: the final state of the animation, without waiting out delays,
// with the source's colour depth and palette.
#include <string>

#include "framework/palette.h"

class TBitmap;
class TStream;

struct TGifPictureInfo {
    int ColorDepth = 0;     // as kxvGIF::ColorDepth
    PaletteHandle Palette;  // the global colour table (no entries without one)
};

// True when the file begins with "GIF". Raises the file-open errors.
bool IsGifFile(const std::string& fileName);
// The same for a stream, read from its position (which it leaves moved).
bool IsGifFile(TStream& stream);
// Decodes the file into bitmap. On failure (EInvalidGraphic for a malformed
// stream, the file errors, EOutOfResources) bitmap keeps its previous picture.
TGifPictureInfo LoadGifPicture(const std::string& fileName, TBitmap& bitmap);
// The same from a stream's position on, decoded into `scratch` (whose memory
// serves again when its size fits) and then exchanged with `bitmap`: a batch
// that passes the same two bitmaps makes no new pixel memory per file. On
// failure bitmap keeps its picture.
TGifPictureInfo LoadGifPicture(TStream& stream, TBitmap& bitmap, TBitmap& scratch);
