#pragma once
// Modal message dialogs. They all go through the application's dialog service,
// which tests replace so that they never wait on a window.
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// ---- The open-file dialog
using TOpenOptions = unsigned;
constexpr TOpenOptions ofHideReadOnly = 0x01;
constexpr TOpenOptions ofAllowMultiSelect = 0x02;
constexpr TOpenOptions ofPathMustExist = 0x04;
constexpr TOpenOptions ofFileMustExist = 0x08;

struct TOpenDialog {
    // Pairs of description and patterns: "Bitmap|*.bmp;*.dib|GIF|*.gif".
    std::string Filter;
    int FilterIndex = 1;  // 1: the first pair
    std::string Title;
    std::string FileName;
    TOpenOptions Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;
    // After a confirmed Execute: the chosen files as full paths, in the
    // dialog's order; FileName is the first of them.
    std::vector<std::string> Files;

    // Shows the dialog through the application's dialog service; true when the
    // user confirmed it.
    bool Execute();
};
// ---- (end of the open-file dialog)

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // Shows the text with the kind's icon and the buttons; the button pressed.
    virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // A plain box with the text and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;

    // ---- The open-file dialog: true when the user confirmed; fills Files and
    // FileName. A service without a display has no user to ask: cancelled.
    virtual bool ExecuteOpenDialog(TOpenDialog& dialog)
    {
        (void)dialog;
        return false;
    }
    // ---- (end of the open-file dialog)
    // The directory chooser, opened at `directory`. A directory that does not
    // exist may be named: OK asks whether to create it and then creates it with
    // its parents; No, or a failure to create it (which is reported), keeps
    // the chooser open.
    // Its help button shows the application's help. The chosen directory, or
    // none when cancelled.
    virtual std::optional<std::string> SelectDirectory(const std::string& title, const std::string& directory);
    // The help window for a help file.
    virtual void ShowHelp(const std::string& helpFile);
};

// The directory chooser's OK: true when the chooser may close with `path`, a
// directory that exists by then. One that does not exist is confirmed through
// MessageDlg and created with its parents; a failure is reported there too.
bool DirectoryChooserAccepts(const std::string& path);
// The texts of that confirmation and of that failure.
extern const char* const kCreateDirectoryPrompt;
extern const char* const kCreateDirectoryFailed;

// Without a display: the text goes to standard error and every question is
// answered with Cancel (or OK when that is the only button).
std::unique_ptr<TDialogService> MakeHeadlessDialogs();

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& text);
