#pragma once
// TForm: a top-level window holding controls. It gives its font to every
// windowed child, shows hints as tooltips, moves the focus as the Tab key
// does, answers the Esc key with its cancel button and the Enter key with its
// focused or default button and, with KeyPreview, sees every character typed
// into its controls first.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/canvas.h"
#include "framework/win32/handles.h"
#include "framework/win32/win_control.h"

class TButton;

enum TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;

    TFont Font;
    TPosition Position = poDesigned;
    bool KeyPreview = false;
    // Called when the window closes; the main form's close ends the program.
    TNotifyEvent OnClose;

    // Sets the size of the client area (the frame is added around it).
    void SetClientSize(int width, int height);

    void Show();
    void Close();

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    void SetActiveControlLink(TWinControl* control) { activeControl_ = control; }

    // The control after (or before) `current` in tab order, among those that take
    // the focus by tab; focuses it as the Tab key would.
    void SelectNext(TWinControl* current, bool forward);
    std::vector<TWinControl*> TabOrderList();

    // The button that answers the Esc key (registered by TButton::Cancel).
    TButton* CancelButton = nullptr;

    // Keys the form handles before the focused control sees them (Tab, Esc,
    // Enter).
    bool DialogKey(const MSG& message);
    void ControlCreated(TWinControl& control);
    void UpdateHint(TControl& control);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void AddTool(TControl& control);
    bool EnterKey(const MSG& message);
    UniqueGdiObject font_;
    UniqueWindow tooltip_;
    TWinControl* activeControl_ = nullptr;
    bool closing_ = false;
};

// Lets the form of the message's window handle dialog keys; true when handled.
bool IsFormDialogMessage(const MSG& message);
