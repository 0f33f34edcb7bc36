#pragma once
// Modal message dialogs. They all go through the application's dialog service,
// which tests replace so that they never wait on a window.
#include <memory>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1;
constexpr TMsgDlgButtons mbNo = 2;
constexpr TMsgDlgButtons mbOK = 4;
constexpr TMsgDlgButtons mbCancel = 8;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // Shows the text with the kind's icon and the buttons; the button pressed.
    virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // A plain box with the text and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};

// Without a display: the text goes to standard error and every question is
// answered with Cancel (or OK when that is the only button).
std::unique_ptr<TDialogService> MakeHeadlessDialogs();

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& text);
