// (Here rather than with the framework tests: its tree view brings in libraries
// that the handle tests there expect to be unloaded.)
// The directory chooser window under Wine: a missing directory is confirmed,
// No keeps the chooser open, Yes creates the directory with its parents and
// closes it, a directory that cannot be created keeps it open; cancel changes
// nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/file_system.h"
#include "framework/win32/directory_chooser_win32.h"
#include "framework/win32/handles.h"
#include "framework/win32/help_window.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "test_support.h"

namespace {

class CountingDialogs : public TDialogService {
public:
    TModalResult answer = mrNo;
    std::vector<std::string> asked;
    int helpShown = 0;
    TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons) override
    {
        asked.push_back(text);
        return answer;
    }
    void ShowMessage(const std::string&) override {}
    void ShowHelp(const std::string&) override { ++helpShown; }
};

void Press(TDirectoryChooserWindow& chooser, int id)
{
    SendMessageW(chooser.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

}  // namespace

TEST(DirectoryChooserWindow, ConfirmsAndCreatesAMissingDirectory)
{
    InstallWin32Platform();
    auto owned = std::make_unique<CountingDialogs>();
    CountingDialogs& dialogs = *owned;
    Application().SetDialogs(std::move(owned));
    const std::string base = ScratchDir("chooser_window");
    const std::string target = base + "\\新規\\sub";

    TDirectoryChooserWindow chooser("ﾃﾞｨﾚｸﾄﾘの選択", base, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(chooser.Handle(), title, 64);
    EXPECT_EQ(WideToUtf8(title), "ﾃﾞｨﾚｸﾄﾘの選択");
    EXPECT_GT(SendMessageW(chooser.Tree(), TVM_GETCOUNT, 0, 0), 0);  // at least the drives

    Press(chooser, TDirectoryChooserWindow::kHelpButton);
    EXPECT_EQ(dialogs.helpShown, 1);

    SetWindowTextW(chooser.PathEdit(), Utf8ToWide(target).c_str());
    Press(chooser, IDOK);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0], "指定されたﾃﾞｨﾚｸﾄﾘが存在しません。作成しますか？");
    EXPECT_FALSE(chooser.Closed());
    EXPECT_FALSE(chooser.Result());

    dialogs.answer = mrYes;
    Press(chooser, IDOK);
    EXPECT_TRUE(chooser.Closed());
    EXPECT_EQ(PathKind(target), TPathKind::Directory);
    EXPECT_EQ(RunDirectoryChooser(chooser), target);

    // An existing directory closes the chooser without a question; cancel
    // gives nothing.
    TDirectoryChooserWindow again("t", base, nullptr);
    Press(again, IDOK);
    EXPECT_EQ(again.Result(), base);
    EXPECT_EQ(dialogs.asked.size(), 2u);
    TDirectoryChooserWindow cancelled("t", base, nullptr);
    Press(cancelled, IDCANCEL);
    EXPECT_TRUE(cancelled.Closed());
    EXPECT_FALSE(cancelled.Result());
    Application().SetDialogs(MakeWin32Dialogs());
}

TEST(DirectoryChooserWindow, ADirectoryThatCannotBeCreatedIsReportedAndNotChosen)
{
    InstallWin32Platform();
    auto owned = std::make_unique<CountingDialogs>();
    CountingDialogs& dialogs = *owned;
    dialogs.answer = mrYes;
    Application().SetDialogs(std::move(owned));
    const std::string base = ScratchDir("chooser_cannot_create");
    WriteAll(base + "\\file", {1});

    TDirectoryChooserWindow chooser("t", base, nullptr);
    for (const std::string& path : {base + "\\file\\sub", base + "\\bad|name"}) {
        dialogs.asked.clear();
        SetWindowTextW(chooser.PathEdit(), Utf8ToWide(path).c_str());
        Press(chooser, IDOK);
        EXPECT_EQ(dialogs.asked, (std::vector<std::string>{kCreateDirectoryPrompt, kCreateDirectoryFailed})) << path;
        EXPECT_FALSE(chooser.Closed()) << path;
        EXPECT_FALSE(chooser.Result()) << path;
    }
    // Another try in the same chooser.
    SetWindowTextW(chooser.PathEdit(), Utf8ToWide(base + "\\made").c_str());
    Press(chooser, IDOK);
    EXPECT_EQ(RunDirectoryChooser(chooser), base + "\\made");
    EXPECT_EQ(PathKind(base + "\\made"), TPathKind::Directory);
    Application().SetDialogs(MakeWin32Dialogs());
}

TEST(HelpWindow, ListsTheTopicsAndShowsTheChosenOne)
{
    const std::string dir = ScratchDir("help_window");
    const std::string text = "= First\r\none\n= 二番目\ntwo\n";
    WriteAll(dir + "\\T.HLP", std::vector<std::uint8_t>(text.begin(), text.end()));
    THelpWindow help(dir + "\\T.HLP", nullptr);
    EXPECT_EQ(SendMessageW(help.Contents(), LB_GETCOUNT, 0, 0), 2);
    help.ShowTopic(1);
    wchar_t shown[32] = {};
    GetWindowTextW(help.TopicText(), shown, 32);
    EXPECT_STREQ(shown, L"two");

    THelpWindow missing(dir + "\\none.HLP", nullptr);
    EXPECT_EQ(SendMessageW(missing.Contents(), LB_GETCOUNT, 0, 0), 1);
}

TEST(HelpWindow, TheListFitsTheLongestTopicAndTheTextKeepsItsOwnLines)
{
    const std::string dir = ScratchDir("help_layout");
    const std::string title = "コマンドラインでの切り抜き";
    std::string item = "  1.";
    for (int i = 0; i < 40; ++i) item += " word";
    const std::string text = "= A\r\nintro\r\n" + item + "\r\n  2. end\r\n= " + title + "\r\nx\r\n";
    WriteAll(dir + "\\T.HLP", std::vector<std::uint8_t>(text.begin(), text.end()));
    THelpWindow help(dir + "\\T.HLP", nullptr);

    const UniqueDC dc(CreateCompatibleDC(nullptr));
    const ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(help.Contents(), WM_GETFONT, 0, 0)));
    const std::wstring wideTitle = Utf8ToWide(title);
    SIZE titleSize{};
    GetTextExtentPoint32W(dc.get(), wideTitle.c_str(), int(wideTitle.size()), &titleSize);
    RECT list;
    GetClientRect(help.Contents(), &list);
    EXPECT_GE(list.right, titleSize.cx + 2);

    // A line too long for the window scrolls rather than wrapping.
    EXPECT_EQ(SendMessageW(help.TopicText(), EM_GETLINECOUNT, 0, 0), 3);
}
