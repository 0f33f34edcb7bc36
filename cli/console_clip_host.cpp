#include "cli/console_clip_host.h"

#include "framework/application.h"

TConsoleClipHost::TConsoleClipHost(std::vector<std::string> files, std::string outputDirectory)
    : outputDirectory_(std::move(outputDirectory))
{
    for (std::string& file : files) entries_.push_back(Entry{std::move(file), {}, {}, {}});
}

void TConsoleClipHost::ProcessMessages()
{
    Application().ProcessMessages();
}

void TConsoleClipHost::ShowError(const std::string& message)
{
    lastError_ = message;
}

TConfirmAnswer TConsoleClipHost::Confirm(const std::string&)
{
    return TConfirmAnswer::Yes;
}

void TConsoleClipHost::ClearEntryResult(int index)
{
    Entry& entry = entries_.at(std::size_t(index));
    entry.Result.clear();
    entry.Output.clear();
    entry.Reason.clear();
    currentReason_.clear();
}

void TConsoleClipHost::ClipFailed(const std::string& reason)
{
    currentReason_ = reason;
}

TConsoleClipHost::Entry TConsoleClipHost::Clip(TClipJob& job, const std::string& path)
{
    currentReason_.clear();
    const bool ok = job.ClipFile(path);
    return Describe(path, ok);
}

TConsoleClipHost::Entry TConsoleClipHost::Describe(const std::string& path, bool ok) const
{
    Entry entry{path, ok ? "OK" : "NG", {}, {}};
    if (ok) {
        entry.Output = TClipJob::OutputName(path, outputDirectory_);
    } else {
        entry.Reason = currentReason_;
        if (entry.Reason == "Invalid" && LoadFailureReason) entry.Reason = LoadFailureReason();
    }
    return entry;
}

void TConsoleClipHost::SetEntryResult(int index, const std::string& result)
{
    Entry& entry = entries_.at(std::size_t(index));
    entry = Describe(entry.Path, result == "OK");
    entry.Result = result;
    if (OnResult) OnResult(*this, entry);
}
