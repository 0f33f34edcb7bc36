#include "fake_clip_host.h"

#include <gtest/gtest.h>

#include "framework/bitmap.h"

void FakeClipHost::AddEntries(const std::vector<std::string>& texts)
{
    for (const std::string& text : texts) Entries.push_back(FakeEntry{text, " ", false, false});
}

std::vector<std::string> FakeClipHost::Results() const
{
    std::vector<std::string> results;
    for (const FakeEntry& entry : Entries) results.push_back(entry.Result);
    return results;
}

FakeEntry& FakeClipHost::At(int index, const char* what)
{
    if (index < 0 || index >= int(Entries.size())) {
        ADD_FAILURE() << what << " of entry " << index << " of " << Entries.size();
        return outOfRange_;
    }
    return Entries[std::size_t(index)];
}

void FakeClipHost::NoteListChange(const std::string& call)
{
    Log.push_back(call);
    if (Job && !Job->Running()) CallsWhileIdle.push_back(call);
}

void FakeClipHost::ProcessMessages()
{
    Log.push_back("pump");
    ++Pumps;
    if (OnPump) OnPump(Pumps);
}

void FakeClipHost::ShowError(const std::string& message)
{
    Log.push_back("error " + message);
    Errors.push_back(message);
}

TConfirmAnswer FakeClipHost::Confirm(const std::string& message)
{
    Questions.push_back(message);
    return Answer;
}

void FakeClipHost::SetEntryFocused(int index, bool focused)
{
    At(index, "focus").Focused = focused;
    NoteListChange((focused ? "focus " : "unfocus ") + std::to_string(index));
}

void FakeClipHost::SetEntrySelected(int index, bool selected)
{
    At(index, "select").Selected = selected;
    NoteListChange((selected ? "select " : "unselect ") + std::to_string(index));
}

void FakeClipHost::ClearEntryResult(int index)
{
    At(index, "clear result").Result.clear();
    Log.push_back("clear result " + std::to_string(index));
}

void FakeClipHost::SetEntryResult(int index, const std::string& result)
{
    FakeEntry& entry = At(index, "result");
    EXPECT_EQ(entry.Result, "") << "a result is added only to a cleared entry";
    entry.Result = result;
    Log.push_back("result " + std::to_string(index) + " " + result);
}

void FakeClipHost::MakeEntryVisible(int index)
{
    At(index, "scroll");
    Log.push_back("visible " + std::to_string(index));
}

void FakeClipHost::ClearAllSelections()
{
    for (FakeEntry& entry : Entries) entry.Selected = false;
    NoteListChange("clear selections");
}

void FakeClipHost::SetStatusText(const std::string& text)
{
    Status = text;
    Log.push_back("status " + text);
}

void FakeClipHost::SetImageInfoPath(const std::string& path)
{
    InfoPath = path;
    Log.push_back("info path " + path);
}

void FakeClipHost::SetImageInfoText(const std::string& text)
{
    InfoText = text;
    Log.push_back("info " + text);
}

bool FakeImage::LoadFromFile(const std::string& fileName)
{
    ++Loads;
    for (const auto& [path, source] : sources_) {
        if (path != fileName) continue;
        TBitmap& bitmap = Picture().Bitmap();
        bitmap.SetSize(source.Width, source.Height);
        for (int y = 0; y < source.Height; ++y) {
            std::uint32_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < source.Width; ++x) row[x] = PixelAt(x, y);
        }
        bitmap.PixelFormat = source.Format;
        ColorDepth = source.ColorDepth;
        return true;
    }
    return false;
}
