#include "app/clip_job.h"

#include <exception>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/sysutils.h"
#include "image/bmp_file.h"
#include "image/kxv_image.h"

namespace {

const char* const kBadRectMessage = "クリップ範囲の指定が正しくありません";
const char* const kNoFilesMessage = "ファイルが指定されていません";
const char* const kCreateDirQuestion = "出力先のディレクトリを作成していいですか？";
const char* const kCreateDirFailedMessage = "出力先ディレクトリが作成できません";
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
    if (ClipRect.Width() < 0 || ClipRect.Height() < 0) {
        host_.ShowError(kBadRectMessage);
        return;
    }
    if (host_.EntryCount() <= 0) {
        host_.ShowError(kNoFilesMessage);
        return;
    }
    const std::string directory = host_.OutputDirectory();
    if (directory.empty()) {
        RunClip();
        return;
    }
    switch (PathKind(directory)) {
    case TPathKind::NotFound:
        if (host_.Confirm(kCreateDirQuestion) != TConfirmAnswer::Yes)
            return;
        if (!CreateDir(directory)) {
            host_.ShowError(kCreateDirFailedMessage);
            return;
        }
        RunClip();
        return;
    case TPathKind::Directory:
        RunClip();
        return;
    case TPathKind::Other:
        host_.ShowError(kFileInTheWayMessage);
        return;
    }
}

void TClipJob::RunClip()
{
    if (running_)
        return;
    running_ = true;
    cancelRequested_ = false;
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
        TBitmap crop;
        if (!LoadPreview(path)) {
            host_.ClipFailed(kInvalidCaption);
            return false;
        }
        host_.ProcessMessages();

        // New pixels of a bitmap are black, and the copy skips what lies
        // outside the picture: so is every part of the rectangle beyond it. A
        // rectangle inside the picture, copied one to one, covers every pixel:
        // clearing them first would be wasted.
        TBitmap& picture = image_.Picture().Bitmap();
        const TRect source = ClipRect.ToTRect();
        const bool covered = source.Left >= 0 && source.Top >= 0 && source.Right <= picture.Width() &&
                             source.Bottom <= picture.Height() && source.Right - source.Left == ClipRect.Width() &&
                             source.Bottom - source.Top == ClipRect.Height();
        crop.SetSize(ClipRect.Width(), ClipRect.Height(), covered ? TPixelFill::Undefined : TPixelFill::Black);
        // The writer keeps a 16-bit source's own packing, 5-5-5 or 5-6-5.
        crop.PixelFormat = picture.PixelFormat;
        TCanvas& target = crop.Canvas();
        target.CopyMode = cmSrcCopy;
        target.CopyRect(Rect(0, 0, crop.Width(), crop.Height()), picture.Canvas(), source);

        const std::string outputName = OutputName(path, host_.OutputDirectory());
        host_.ProcessMessages();
        if (cancelRequested_) {
            host_.ClipFailed(kCanceledReason);
            return false;
        }

        const bool ok = SaveBitmapFile(outputName, crop, image_.ColorDepth, image_.Palette());
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
    // The last "." of the file name part; no byte of a double-byte character
    // is ever ".", so a plain search is safe here.
    const std::size_t nameStart = name.size() - path_rules::FileNamePart(name, rules).size();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        name.erase(dot);
    return name + ".bmp";
}
