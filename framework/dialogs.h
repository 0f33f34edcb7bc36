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

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // Shows the text with the kind's icon and the buttons; the button pressed.
    virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // A plain box with the text and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;

    // The open-file dialog: filter pairs "description|patterns|..." with the
    // first selected, opened at fileName; only existing files can be chosen.
    // The chosen files, none when cancelled.
    virtual std::vector<std::string> OpenFileDialog(const std::string& filter, const std::string& title,
                                                    const std::string& fileName, bool multiSelect);
    // The directory chooser, opened at `directory`. A directory that does not
    // exist may be named: OK asks whether to create it (No keeps the chooser
    // open), and it is created with its parents once the chooser has closed.
    // Its help button shows the application's help. The chosen directory, or
    // none when cancelled.
    virtual std::optional<std::string> SelectDirectory(const std::string& title, const std::string& directory);
    // The help window for a help file.
    virtual void ShowHelp(const std::string& helpFile);
};

// The directory chooser's OK: true when the chooser may close with `path`; a
// directory that does not exist is confirmed through MessageDlg first.
bool DirectoryChooserAccepts(const std::string& path);
// The text of that confirmation.
extern const char* const kCreateDirectoryPrompt;

// Without a display: the text goes to standard error and every question is
// answered with Cancel (or OK when that is the only button).
std::unique_ptr<TDialogService> MakeHeadlessDialogs();

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& text);
