#include "framework/dialogs.h"

#include <cstdio>

#include "framework/application.h"
#include "framework/cp932.h"

namespace {

class HeadlessDialogs : public TDialogService {
public:
    TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons) override
    {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(text).c_str());
        if (buttons & mbCancel) return mrCancel;
        if (buttons & mbOK) return mrOk;
        return mrNo;
    }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", Cp932ToUtf8(text).c_str()); }
};

}  // namespace

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
