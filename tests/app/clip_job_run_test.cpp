// The batch loop: its order of work, its cancel points, results per entry, and
// how it behaves when the list changes under it.
#include <gtest/gtest.h>

#include "app/clip_job.h"
#include "fake_clip_host.h"
#include "framework/file_system.h"
#include "test_support.h"

namespace {

const std::string kRunning = "ESCキーかキャンセルボタンで中止します";
const std::string kIdle = "ファイルをドラッグ＆ドロップして下さい";

struct BatchRun {
    FakeClipHost host;
    FakeImage image;
    TClipJob job{host, image};
    explicit BatchRun(const std::string& scratch)
    {
        host.Job = &job;
        host.Directory = ScratchDir(scratch);
    }
    // Entries 0..n-1 named e0.gif ... that all load as small pictures.
    void AddPictures(int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::string name = "e" + std::to_string(i) + ".gif";
            host.AddEntries({name});
            image.Add(name, {16, 12, 24});
        }
    }
    bool Written(const std::string& base) { return FileExists(host.Directory + PathSep() + base + ".bmp"); }
};

// The pumps of a file come in threes: before it, after its load, after its
// output name. File k (from 0) therefore ends with pump 3k + 3.
int LastPumpOf(int file)
{
    return 3 * file + 3;
}

}  // namespace

TEST(RunClip, OneFileInOrder)
{
    BatchRun r("run_order");
    r.AddPictures(1);
    r.job.RunClip();
    const std::vector<std::string> expected = {
        "status " + kRunning, "clear selections", "pump",    "focus list", "focus 0",   "select 0",
        "clear result 0",     "visible 0",        "repaint", "info path e0.gif", "info 16x12x24", "pump",
        "pump",               "result 0 OK",      "unfocus 0", "unselect 0", "repaint", "status " + kIdle};
    EXPECT_EQ(r.host.Log, expected);
    // The run's own selection changes all happen while Running() says so, so
    // the window's change handler can tell them from the user's.
    EXPECT_TRUE(r.host.CallsWhileIdle.empty());
    EXPECT_FALSE(r.job.Running());
    EXPECT_TRUE(r.Written("e0"));
}

TEST(RunClip, UnreadableFileIsNGAndTheRunGoesOn)
{
    BatchRun r("run_unreadable");
    r.host.AddEntries({"a.gif", "b.txt", "c.gif"});
    r.image.Add("a.gif", {8, 8, 24});
    r.image.Add("c.gif", {8, 8, 24});
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "NG", "OK"}));
    EXPECT_TRUE(r.host.Errors.empty());
    EXPECT_EQ(r.host.Failures, std::vector<std::string>{"Invalid"});
    for (const FakeEntry& e : r.host.Entries) EXPECT_FALSE(e.Selected || e.Focused) << e.Text;
}

TEST(RunClip, SaveErrorIsShownAndTheRunGoesOn)
{
    BatchRun r("run_save_error");
    r.AddPictures(3);
    // A directory where e1's output should go: the writer cannot replace it.
    ASSERT_TRUE(CreateDir(r.host.Directory + PathSep() + "e1.bmp"));
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "NG", "OK"}));
    EXPECT_EQ(r.host.Errors, std::vector<std::string>{"Save Error!"});
    EXPECT_TRUE(r.Written("e0"));
    EXPECT_TRUE(r.Written("e2"));
    EXPECT_EQ(PathKind(r.host.Directory + PathSep() + "e1.bmp"), TPathKind::Directory);
}

TEST(RunClip, CancelDuringTheLastFileEndsTheRunNormally)
{
    BatchRun r("run_cancel_last");
    r.AddPictures(3);
    r.host.OnPump = [&](int pump) {
        if (pump == LastPumpOf(1) + 2) r.job.ButtonCancelClick();  // after e2's load
    };
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "OK", "NG"}));
    EXPECT_FALSE(r.Written("e2"));
    EXPECT_FALSE(r.job.Running());
    EXPECT_EQ(r.host.Status, kIdle);
    EXPECT_FALSE(r.host.Closed);
}

TEST(RunClip, StoppedAfterTheSecondOfFiveLeavesTheRestAsTheyWere)
{
    BatchRun r("run_stop_second");
    r.AddPictures(5);
    r.host.Entries[2].Result = "OK";  // from an earlier run
    r.host.OnPump = [&](int pump) {
        if (pump == LastPumpOf(1) - 1) r.job.ButtonCancelClick();  // during e1, before its write
    };
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "NG", "OK", " ", " "}));
    for (int i = 2; i < 5; ++i) {
        EXPECT_FALSE(r.Written("e" + std::to_string(i)));
        for (const std::string& line : r.host.Log)
            EXPECT_EQ(line.find(" " + std::to_string(i)), std::string::npos) << line;
    }
    EXPECT_EQ(r.image.Loads, 2);
}

TEST(RunClip, CancelClearedByTheNextRun)
{
    BatchRun r("run_cancel_cleared");
    r.AddPictures(2);
    r.host.OnPump = [&](int pump) {
        if (pump == 1) r.job.ButtonCancelClick();
    };
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"NG", " "}));
    r.host.OnPump = nullptr;
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "OK"}));
}

TEST(RunClip, EntriesDeletedDuringAPumpAreNeverTouched)
{
    BatchRun r("run_deleted_tail");
    r.AddPictures(4);
    r.host.OnPump = [&](int pump) {
        if (pump == LastPumpOf(1) + 1) r.host.Entries.resize(2);  // before e2: e2 and e3 go
    };
    r.job.RunClip();  // the fake host fails the test on any index past the end
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "OK"}));
    EXPECT_EQ(r.image.Loads, 2);
    EXPECT_EQ(r.host.Status, kIdle);
}

TEST(RunClip, DeletingTheEntryInProcessLeavesOthersUnmarked)
{
    BatchRun r("run_deleted_current");
    r.AddPictures(3);
    r.host.OnPump = [&](int pump) {
        if (pump == LastPumpOf(0) + 2) r.host.Entries.erase(r.host.Entries.begin() + 1);  // e1, after its load
    };
    r.job.RunClip();
    ASSERT_EQ(r.host.Entries.size(), 2u);
    EXPECT_EQ(r.host.Entries[1].Text, "e2.gif");
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "OK"}));
    EXPECT_EQ(r.image.Loads, 3);  // e2 is processed once, not skipped
}

TEST(RunClip, AnEntryAddedBeforeTheCurrentOneDoesNotTakeItsResult)
{
    BatchRun r("run_inserted");
    r.AddPictures(2);
    r.host.OnPump = [&](int pump) {
        if (pump == 2) r.host.Entries.insert(r.host.Entries.begin(), FakeEntry{"a.gif", " ", false, false});
    };
    r.job.RunClip();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{" ", "OK", "OK"}));
    EXPECT_EQ(r.image.Loads, 2);
}

TEST(RunClip, NoSecondRunInsideTheFirst)
{
    BatchRun r("run_reentry");
    r.AddPictures(3);
    r.host.OnPump = [&](int) { r.job.ButtonRunClick(); };
    r.job.ButtonRunClick();
    EXPECT_EQ(r.host.Results(), (std::vector<std::string>{"OK", "OK", "OK"}));
    EXPECT_EQ(r.image.Loads, 3);
    EXPECT_EQ(r.host.Pumps, 9);
}
