#pragma once
// The clip job's host for the command line: the files given are the clip list,
// nothing is ever shown in a dialog, and each processed file becomes one line.
//
// The run's questions have fixed answers: a missing output directory is created
// (one level, as the window's Yes does). An error the window would show in a
// dialog becomes the failing file's reason, or, before a run, the reason the run
// was refused.
#include <functional>
#include <string>
#include <vector>

#include "app/clip_job.h"

class TConsoleClipHost final : public TClipJobHost {
public:
    struct Entry {
        std::string Path;
        std::string Result;  // empty until processed, then "OK" or "NG"
        std::string Output;  // the file written, for "OK"
        std::string Reason;  // why, for "NG"
    };

    TConsoleClipHost(std::vector<std::string> files, std::string outputDirectory);

    const std::vector<Entry>& Entries() const { return entries_; }
    // The message of the last error the window would have shown in a dialog;
    // when no entry was processed, it is why the run did not start.
    const std::string& LastError() const { return lastError_; }
    // One file through the job outside a run (the parallel batch's way): its
    // entry, with the file written or why not. The host's own entries stay as
    // they are.
    Entry Clip(TClipJob& job, const std::string& path);
    // Why the last load failed, asked when the job reports "Invalid": the
    // loader's own finding.
    std::function<std::string()> LoadFailureReason;
    // Fired with each entry as soon as it has its result.
    std::function<void(TConsoleClipHost& sender, const Entry& entry)> OnResult;

    void ProcessMessages() override;
    void ShowError(const std::string& message) override;
    TConfirmAnswer Confirm(const std::string& message) override;
    int EntryCount() override { return int(entries_.size()); }
    std::string EntryText(int index) override { return entries_.at(std::size_t(index)).Path; }
    void FocusList() override {}
    void SetEntryFocused(int, bool) override {}
    void SetEntrySelected(int, bool) override {}
    void ClearEntryResult(int index) override;
    void SetEntryResult(int index, const std::string& result) override;
    void MakeEntryVisible(int) override {}
    void RepaintList() override {}
    void ClearAllSelections() override {}
    void SetStatusText(const std::string&) override {}
    void SetImageInfoPath(const std::string&) override {}
    void SetImageInfoText(const std::string&) override {}
    std::string OutputDirectory() override { return outputDirectory_; }
    void CloseWindow() override {}
    void ClipFailed(const std::string& reason) override;

private:
    Entry Describe(const std::string& path, bool ok) const;

    std::vector<Entry> entries_;
    std::string outputDirectory_;
    std::string lastError_;
    std::string currentReason_;
};
