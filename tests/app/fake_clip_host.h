#pragma once
// A clip job host for the tests: a list of entries in memory, dialogs with
// scripted answers, a pump that runs what the test asks, and a log of every
// call in order. An index at or past the list's end fails the test.
#include <functional>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "image/kxv_image.h"

struct FakeEntry {
    std::string Text;
    std::string Result;  // the result column: " " for a new entry
    bool Focused = false;
    bool Selected = false;
};

class FakeClipHost : public TClipJobHost {
public:
    std::vector<FakeEntry> Entries;
    std::string Directory;
    TConfirmAnswer Answer = TConfirmAnswer::Yes;
    std::vector<std::string> Errors;
    std::vector<std::string> Questions;
    std::vector<std::string> Failures;
    std::vector<std::string> Log;
    std::string Status;
    std::string InfoPath;
    std::string InfoText;
    int Pumps = 0;
    bool Closed = false;
    // Runs inside ProcessMessages with the number of the pump (1 for the first).
    std::function<void(int pump)> OnPump;
    // The job, so that calls can check it is running when they should be.
    const TClipJob* Job = nullptr;
    std::vector<std::string> CallsWhileIdle;  // list changes made while not Running

    void AddEntries(const std::vector<std::string>& texts);
    std::vector<std::string> Results() const;

    void ProcessMessages() override;
    void ShowError(const std::string& message) override;
    TConfirmAnswer Confirm(const std::string& message) override;
    int EntryCount() override { return int(Entries.size()); }
    std::string EntryText(int index) override { return At(index, "text").Text; }
    void FocusList() override { Log.push_back("focus list"); }
    void SetEntryFocused(int index, bool focused) override;
    void SetEntrySelected(int index, bool selected) override;
    void ClearEntryResult(int index) override;
    void SetEntryResult(int index, const std::string& result) override;
    void MakeEntryVisible(int index) override;
    void RepaintList() override { Log.push_back("repaint"); }
    void ClearAllSelections() override;
    void SetStatusText(const std::string& text) override;
    void SetImageInfoPath(const std::string& path) override;
    void SetImageInfoText(const std::string& text) override;
    std::string OutputDirectory() override { return Directory; }
    void CloseWindow() override { Closed = true; }
    void ClipFailed(const std::string& reason) override { Failures.push_back(reason); }

private:
    FakeEntry& At(int index, const char* what);
    void NoteListChange(const std::string& call);
    FakeEntry outOfRange_;
};

// An image whose files are pictures the test registers; any other name fails
// to load, as an unreadable file does.
class FakeImage : public kxvImage {
public:
    struct Source {
        int Width = 0;
        int Height = 0;
        int ColorDepth = 24;
        TPixelFormat Format = pfDevice;
    };
    void Add(const std::string& path, Source source) { sources_.push_back({path, source}); }
    int Loads = 0;

    // Pixel (x, y) of every registered picture: distinct everywhere, never black.
    static std::uint32_t PixelAt(int x, int y) { return 0x00800000u | (std::uint32_t(y & 0x7FF) << 11) | (x & 0x7FF); }

    bool LoadFromFile(const std::string& fileName) override;

private:
    std::vector<std::pair<std::string, Source>> sources_;
};
