// The real window's decoder switches, their locating dialogs, the output
// directory chooser and help, with the dialogs replaced.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/file_system.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "shown_main_form_win32.h"
#include "test_support.h"

namespace {

struct OpenRequest {
    std::string Filter, Title, FileName;
    bool MultiSelect;
};

class SettingsDialogs : public TDialogService {
public:
    std::vector<OpenRequest> opened;
    std::vector<std::string> chosen;
    std::vector<std::pair<std::string, std::string>> directoryRequests;
    std::optional<std::string> directory;
    std::vector<std::string> help;

    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons) override { return mrNo; }
    void ShowMessage(const std::string&) override {}
    bool ExecuteOpenDialog(TOpenDialog& dialog) override
    {
        opened.push_back({dialog.Filter, dialog.Title, dialog.FileName, (dialog.Options & ofAllowMultiSelect) != 0});
        EXPECT_TRUE(dialog.Options & ofFileMustExist);
        EXPECT_EQ(dialog.FilterIndex, 1);
        if (chosen.empty()) return false;
        dialog.Files = chosen;
        dialog.FileName = chosen.front();
        return true;
    }
    std::optional<std::string> SelectDirectory(const std::string& title, const std::string& start) override
    {
        directoryRequests.emplace_back(title, start);
        return directory;
    }
    void ShowHelp(const std::string& helpFile) override { help.push_back(helpFile); }
};

class MainFormSettingsTest : public ShownMainForm<SettingsDialogs> {
protected:
    static void Click(TWinControl& control)
    {
        SendMessageW(control.Handle(), BM_CLICK, 0, 0);
        Application().ProcessMessages();
    }
};

}  // namespace

TEST_F(MainFormSettingsTest, FirstStartWithoutGVOrPluginsShowsBothSwitchesOff)
{
    EXPECT_FALSE(form->Image.GVEnable);
    EXPECT_FALSE(form->Image.SusieEnable);
    EXPECT_FALSE(form->CheckGV.Checked());
    EXPECT_FALSE(form->CheckSusie.Checked());
    // Black preview, 640 x 480.
    ASSERT_EQ(form->Image.Picture().Width(), 640);
    EXPECT_EQ(form->Image.Picture().Height(), 480);
    EXPECT_EQ(form->Image.Picture().Bitmap().ScanLine(240)[320] & 0xFFFFFF, 0u);
    // The help file is the program's path with the extension HLP.
    std::string expected = ProgramPath();
    expected = expected.substr(0, expected.rfind('.')) + ".HLP";
    EXPECT_EQ(Application().HelpFile, expected);
}

TEST_F(MainFormSettingsTest, SwitchesStayTickedWhenTheirDecoderIsMissing)
{
    Click(form->CheckGV);
    EXPECT_TRUE(form->CheckGV.Checked());
    EXPECT_FALSE(form->Image.GVEnable);
    Click(form->CheckSusie);
    EXPECT_TRUE(form->CheckSusie.Checked());
    EXPECT_FALSE(form->Image.SusieEnable);
}

TEST_F(MainFormSettingsTest, LocatingDialogsAndWhatTheyChange)
{
    form->Image.SetGVPath("C:\\gv\\gv.exe");
    Click(form->ButtonGV);
    ASSERT_EQ(dialogs->opened.size(), 1u);
    EXPECT_EQ(dialogs->opened[0].Filter, "プログラム(*.exe)|*.EXE|全てのファイル(*.*)|*.*");
    EXPECT_EQ(dialogs->opened[0].Title, "GVのある場所");
    EXPECT_EQ(dialogs->opened[0].FileName, "C:\\gv\\gv.exe");
    EXPECT_FALSE(dialogs->opened[0].MultiSelect);

    dialogs->chosen = {"C:\\プラグイン\\ifpng.sph"};
    form->CheckSusie.SetChecked(true);
    const std::string pluginsBefore = form->Image.GetSusiePath();
    Click(form->ButtonSusie);
    ASSERT_EQ(dialogs->opened.size(), 2u);
#ifdef _WIN64
    const std::string pattern = "*.sph";
    EXPECT_EQ(dialogs->opened[1].Filter, "プラグイン(*.sph;*.spi)|*.SPH;*.SPI|全てのファイル(*.*)|*.*");
#else
    const std::string pattern = "*.spi";
    EXPECT_EQ(dialogs->opened[1].Filter, "プラグイン(*.spi)|*.SPI|全てのファイル(*.*)|*.*");
#endif
    EXPECT_EQ(dialogs->opened[1].FileName, pluginsBefore + "\\" + pattern);
    EXPECT_EQ(dialogs->opened[1].Title, "Susie PlagInのある場所");
    // The folder of the chosen file, the next dialog opens there.
    EXPECT_EQ(form->Image.GetSusiePath(), "C:\\プラグイン");
    // The box shows what was found: nothing on this system.
    EXPECT_FALSE(form->CheckSusie.Checked());
    Click(form->ButtonSusie);
    EXPECT_EQ(dialogs->opened[2].FileName, "C:\\プラグイン\\" + pattern);
}

TEST_F(MainFormSettingsTest, ChooserAndHelpButtons)
{
    form->EditSavePath.SetText("C:\\out");
    Click(form->ButtonBrowse);
    ASSERT_EQ(dialogs->directoryRequests.size(), 1u);
    EXPECT_EQ(dialogs->directoryRequests[0].first, "ﾃﾞｨﾚｸﾄﾘの選択");
    EXPECT_EQ(dialogs->directoryRequests[0].second, "C:\\out");
    EXPECT_EQ(form->EditSavePath.Text(), "C:\\out");  // cancelled
    dialogs->directory = "D:\\新しい";
    Click(form->ButtonBrowse);
    EXPECT_EQ(form->EditSavePath.Text(), "D:\\新しい");

    Click(form->ButtonHelp);
    EXPECT_EQ(dialogs->help, std::vector<std::string>{Application().HelpFile});
}

TEST_F(MainFormSettingsTest, EveryButtonCaptionFitsItsButton)
{
    for (TButton* button : {&form->ButtonImageInfo, &form->ButtonBrowse, &form->ButtonGV, &form->ButtonSusie,
                            &form->ButtonRun, &form->ButtonCancel, &form->ButtonHelp}) {
        HDC dc = GetDC(button->Handle());
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button->Handle(), WM_GETFONT, 0, 0)));
        const std::wstring text = Utf8ToWide(button->Caption());
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(button->Handle(), dc);
        RECT client;
        GetClientRect(button->Handle(), &client);
        EXPECT_LE(size.cx, client.right - 6) << button->Name;
    }
}
