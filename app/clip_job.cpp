#include "app/clip_job.h"

#include <cstring>
#include <exception>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/sysutils.h"
#include "image/bmp_file.h"
#include "image/kx_wait_cursor.h"
#include "image/kxv_image.h"

namespace {

const char* const kBadRectMessage = "クリップ範囲の指定が正しくありません";
const char* const kNoFilesMessage = "ファイルが指定されていません";
const char* const kCreateDirQuestion = "出力先のディレクトリを作成していいですか？";
const char* const kFileInTheWayMessage = "出力先と同じ名前のファイルがあります";
const char* const kSaveErrorMessage = "Save Error!";
const char* const kRunningStatus = "ESCキーかキャンセルボタンで中止します";
const char* const kIdleStatus = "ファイルをドラッグ＆ドロップして下さい";
const char* const kInvalidCaption = "Invalid";
const char* const kCanceledReason = "Canceled";

constexpr char kEscape = 27;

}  // namespace

TClipJob::TClipJob(TClipJobHost& host, kxvImage& image) : host_(host), image_(image) {}

void TClipJob::ButtonRunClick()
{
    if (running_)
        return;
    if (CheckRun())
        RunClip();
}

bool TClipJob::CheckRun()
{
    if (ClipRect.Width() < 0 || ClipRect.Height() < 0) {
        host_.ShowError(kBadRectMessage);
        return false;
    }
    if (host_.EntryCount() <= 0) {
        host_.ShowError(kNoFilesMessage);
        return false;
    }
    const std::string directory = host_.OutputDirectory();
    if (directory.empty())
        return true;
    switch (PathKind(directory)) {
    case TPathKind::NotFound:
        if (host_.Confirm(kCreateDirQuestion) != TConfirmAnswer::Yes)
            return false;
        if (!CreateDir(directory)) {
            host_.ShowError(kCreateDirectoryFailed);  // the chooser's text for the same failure
            return false;
        }
        return true;
    case TPathKind::Directory:
        return true;
    case TPathKind::Other:
        host_.ShowError(kFileInTheWayMessage);
        return false;
    }
    return false;
}

void TClipJob::RunClip()
{
    if (running_)
        return;
    running_ = true;
    cancelRequested_ = false;
    // The hourglass for the whole run: the loads and writes inside hold their
    // own, which then change nothing, instead of switching the cursor (and, in
    // the window, asking which control it is over) twice a file.
    kxWaitCursor wait;
    host_.SetStatusText(kRunningStatus);
    host_.ClearAllSelections();

    int i = 0;
    while (i < host_.EntryCount()) {
        host_.ProcessMessages();
        if (i >= host_.EntryCount())
            break;
        host_.FocusList();
        host_.SetEntryFocused(i, true);
        host_.SetEntrySelected(i, true);
        host_.ClearEntryResult(i);
        host_.MakeEntryVisible(i);
        host_.RepaintList();

        const std::string path = host_.EntryText(i);
        const bool ok = ClipFile(path);

        // ClipFile pumps messages: the entry may have been deleted, or moved by
        // entries added or deleted before it, in the meantime.
        const int at = FindEntry(path, i);
        if (at >= 0) {
            host_.SetEntryResult(at, ok ? "OK" : "NG");
            host_.SetEntryFocused(at, false);
            host_.SetEntrySelected(at, false);
            host_.RepaintList();
            i = at + 1;
        }
        // Otherwise the entry is gone, and whatever now stands at i came after it.
        if (cancelRequested_)
            break;
    }

    running_ = false;
    crop_.SetSize(0, 0);  // the run's crop memory goes with the run
    host_.SetStatusText(kIdleStatus);
}

int TClipJob::FindEntry(const std::string& path, int expectedIndex)
{
    const int count = host_.EntryCount();
    if (expectedIndex < count && host_.EntryText(expectedIndex) == path)
        return expectedIndex;
    for (int i = 0; i < count; ++i)
        if (host_.EntryText(i) == path)
            return i;
    return -1;
}

bool TClipJob::ClipFile(const std::string& path)
{
    try {
        if (!LoadForClip(path)) {
            host_.ClipFailed(kInvalidCaption);
            return false;
        }
        host_.ProcessMessages();

        const std::string outputName = OutputName(path, host_.OutputDirectory());
        host_.ProcessMessages();
        if (cancelRequested_) {
            host_.ClipFailed(kCanceledReason);
            return false;
        }

        const bool ok = SaveCrop(outputName);
        if (!ok) {
            host_.ShowError(kSaveErrorMessage);
            host_.ClipFailed(kSaveErrorMessage);
        }
        return ok;
    } catch (const Exception& error) {
        host_.ClipFailed(error.Message);
    } catch (const std::exception& error) {
        host_.ClipFailed(error.what());
    } catch (...) {
        host_.ClipFailed("Error");
    }
    return false;
}

// Taken after the last pump of the file, so that no handler can change the
// picture between the crop and its writing.
bool TClipJob::SaveCrop(const std::string& outputName)
{
    // A rectangle inside the picture is written straight from the picture's
    // rows. Any other is copied to the crop first, whose pixels stay from file
    // to file (one allocation, and on Windows one DIB section, per run) and are
    // cleared where the picture does not reach; so is a file of unknown depth,
    // saved in the crop's own format. The picture may hold a part of its source
    // only, which lies at PictureOrigin.
    TBitmap& picture = image_.Picture().Bitmap();
    const TPoint origin = image_.PictureOrigin;
    const TRect clip = ClipRect.ToTRect();
    // A 24-bit file's own rows, read for a region, are the crop's as they stand.
    // The crop is bounded as the one copied from a picture is.
    if (!image_.PictureTriples.Empty()) {
        CheckBitmapSize(ClipRect.Width(), ClipRect.Height());
        return SaveBitmapFile(outputName, image_.PictureTriples, TPoint{origin.X - clip.Left, origin.Y - clip.Top},
                              ClipRect.Width(), ClipRect.Height(), writeBuffer_);
    }
    TRect source = clip;
    source = TRect{source.Left - origin.X, source.Top - origin.Y, source.Right - origin.X, source.Bottom - origin.Y};
    const bool covered = source.Left >= 0 && source.Top >= 0 && source.Right <= picture.Width() &&
                         source.Bottom <= picture.Height() && source.Right - source.Left == ClipRect.Width() &&
                         source.Bottom - source.Top == ClipRect.Height();
    if (covered && image_.ColorDepth != 0 && ClipRect.Width() > 0 && ClipRect.Height() > 0)
        return SaveBitmapFile(outputName, picture.View(source), image_.ColorDepth, image_.Palette(), writeBuffer_);

    crop_.SetSize(ClipRect.Width(), ClipRect.Height(), TPixelFill::Undefined);
    if (!covered && !crop_.Empty())
        std::memset(crop_.ScanLine(0), 0, std::size_t(crop_.Width()) * std::size_t(crop_.Height()) * 4);
    // The writer keeps a 16-bit source's own bit fields; a file of unknown depth
    // is written in the picture's format, with the picture's own colour table.
    crop_.PixelFormat = picture.PixelFormat;
    crop_.Masks16 = picture.Masks16;
    crop_.SetPalette(image_.ColorDepth == 0 ? CopyLogPalette(picture.Palette()) : nullptr);
    TCanvas& target = crop_.Canvas();
    target.CopyMode = cmSrcCopy;
    target.CopyRect(Rect(0, 0, crop_.Width(), crop_.Height()), picture.Canvas(), source);
    if (image_.ColorDepth == 0 || crop_.Empty())
        return SaveBitmapFile(outputName, crop_, image_.ColorDepth, image_.Palette());
    return SaveBitmapFile(outputName, crop_.View(), image_.ColorDepth, image_.Palette(), writeBuffer_);
}

bool TClipJob::LoadForClip(const std::string& path)
{
    if (!LoadRegionsOnly) return LoadPreview(path);
    host_.SetImageInfoPath(path);
    if (image_.LoadRegionFromFile(path, ClipRect.ToTRect())) return true;
    host_.SetImageInfoText(kInvalidCaption);
    return false;
}

bool TClipJob::LoadPreview(const std::string& path)
{
    host_.SetImageInfoPath(path);
    if (!image_.LoadFromFile(path)) {
        host_.SetImageInfoText(kInvalidCaption);
        return false;
    }
    TPicture& picture = image_.Picture();
    host_.SetImageInfoText(IntToStr(picture.Width()) + "x" + IntToStr(picture.Height()) + "x" +
                           IntToStr(image_.ColorDepth));
    return true;
}

void TClipJob::ButtonCancelClick()
{
    cancelRequested_ = true;
    if (!running_)
        host_.CloseWindow();
}

void TClipJob::FormKeyPress(char key)
{
    if (key == kEscape)
        ButtonCancelClick();
}

std::string TClipJob::OutputName(const std::string& source, const std::string& directory, const TPathRules& rules)
{
    std::string name = directory.empty() ? source
                                         : directory + rules.Separators.front() + path_rules::FileNamePart(source, rules);
    // The last "." of the file name part; no byte inside a UTF-8 character is
    // ever ".", so a plain search is safe here.
    const std::size_t nameStart = name.size() - path_rules::FileNamePart(name, rules).size();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        name.erase(dot);
    return name + ".bmp";
}
