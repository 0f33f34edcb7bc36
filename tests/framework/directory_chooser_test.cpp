// The directory chooser's rules, the directory creation behind it, and the help
// file's topics.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/file_system.h"
#include "framework/help_file.h"
#include "test_support.h"

namespace {

class AnsweringDialogs : public TDialogService {
public:
    TModalResult answer = mrNo;
    std::vector<std::string> asked;
    TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons) override
    {
        asked.push_back(text);
        EXPECT_EQ(buttons, text == kCreateDirectoryFailed ? mbOK : mbYes | mbNo);
        return answer;
    }
    void ShowMessage(const std::string&) override {}
};

}  // namespace

TEST(DirectoryChooser, MissingDirectoryIsConfirmedAndCreatedWithItsParentsOrTheFailureReported)
{
    auto dialogs = std::make_unique<AnsweringDialogs>();
    AnsweringDialogs& answering = *dialogs;
    Application().SetDialogs(std::move(dialogs));
    const std::string dir = ScratchDir("chooser");

    EXPECT_TRUE(DirectoryChooserAccepts(dir));
    EXPECT_TRUE(answering.asked.empty());

    const std::string deep = dir + PathSep() + "a" + PathSep() + "b" + PathSep() + "c";
    EXPECT_FALSE(DirectoryChooserAccepts(deep));
    ASSERT_EQ(answering.asked.size(), 1u);
    EXPECT_EQ(answering.asked[0], "指定されたﾃﾞｨﾚｸﾄﾘが存在しません。作成しますか？");
    EXPECT_EQ(PathKind(dir + PathSep() + "a"), TPathKind::NotFound);  // asking creates nothing
    answering.answer = mrYes;
    EXPECT_TRUE(DirectoryChooserAccepts(deep));
    EXPECT_EQ(PathKind(deep), TPathKind::Directory);

    EXPECT_TRUE(ForceDirectories(deep + PathSep()));
    EXPECT_TRUE(ForceDirectories(deep));
    // A file in the way is not a directory, and the chooser says so.
    WriteAll(dir + PathSep() + "file", {1});
    const std::string blocked = dir + PathSep() + "file" + PathSep() + "sub";
    EXPECT_FALSE(ForceDirectories(blocked));
    answering.asked.clear();
    EXPECT_FALSE(DirectoryChooserAccepts(blocked));
    EXPECT_EQ(answering.asked, (std::vector<std::string>{kCreateDirectoryPrompt, kCreateDirectoryFailed}));
    EXPECT_FALSE(ForceDirectories(""));
    Application().SetDialogs(MakeHeadlessDialogs());
}

TEST(HelpFile, TopicsFromTitleLines)
{
    const auto topics = ParseHelpFile("notes for editors\n= 画面\r\n\r\nline one\r\nline two\n\n\n= Empty\n= Last\ntext");
    ASSERT_EQ(topics.size(), 3u);
    EXPECT_EQ(topics[0].Title, "画面");
    EXPECT_EQ(topics[0].Text, "line one\r\nline two");
    EXPECT_EQ(topics[1].Title, "Empty");
    EXPECT_EQ(topics[1].Text, "");
    EXPECT_EQ(topics[2].Text, "text");
    EXPECT_TRUE(ParseHelpFile("no topics here\n").empty());
}
