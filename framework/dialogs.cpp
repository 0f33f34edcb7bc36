#include "framework/dialogs.h"

#include <cstdio>

#include "framework/application.h"
#include "framework/file_system.h"

namespace {

class HeadlessDialogs : public TDialogService {
public:
    TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (buttons & mbCancel) return mrCancel;
        if (buttons & mbOK) return mrOk;
        return mrNo;
    }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

}  // namespace

// Without a window to show them in, the dialogs are cancelled.
std::optional<std::string> TDialogService::SelectDirectory(const std::string&, const std::string&)
{
    return std::nullopt;
}

void TDialogService::ShowHelp(const std::string&) {}

const char* const kCreateDirectoryPrompt = "指定されたﾃﾞｨﾚｸﾄﾘが存在しません。作成しますか？";
const char* const kCreateDirectoryFailed = "出力先ディレクトリが作成できません";

// Created here, while the chooser is still open: a directory that cannot be
// made is never handed back as chosen, and the user can name another.
bool DirectoryChooserAccepts(const std::string& path)
{
    if (PathKind(path) == TPathKind::Directory) return true;
    if (MessageDlg(kCreateDirectoryPrompt, mtConfirmation, mbYes | mbNo) != mrYes) return false;
    if (ForceDirectories(path)) return true;
    MessageDlg(kCreateDirectoryFailed, mtError, mbOK);
    return false;
}

std::unique_ptr<TDialogService> MakeHeadlessDialogs() { return std::make_unique<HeadlessDialogs>(); }

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    return Application().Dialogs().MessageDlg(text, type, buttons);
}

void ShowMessage(const std::string& text) { Application().Dialogs().ShowMessage(text); }

bool TOpenDialog::Execute()
{
    Files.clear();
    return Application().Dialogs().ExecuteOpenDialog(*this);
}
