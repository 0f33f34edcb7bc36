#pragma once
// Thin wrappers of the standard controls: TEdit, TButton, TCheckBox. Each
// handles the notifications its parent reflects to it.
#include <string>

#include "framework/win32/handles.h"
#include "framework/win32/win_control.h"

class TEdit : public TWinControl {
public:
    TEdit();
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CommandNotification(unsigned code) override;
};

class TButton : public TWinControl {
public:
    TButton();
    // The button answers the Esc key of its form.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel);
    // As a click by the user: fires OnClick.
    void Click();
    // Where the caption in `font` is wider than the button (a substituted font
    // can be), the button takes a narrower cut of the same font, so that the
    // whole caption shows at the form's fixed layout.
    void FitCaption(HFONT font);
    bool CaptionFitted() const { return static_cast<bool>(narrowFont_); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CommandNotification(unsigned code) override;

private:
    bool cancel_ = false;
    UniqueGdiObject narrowFont_;
};

class TCheckBox : public TWinControl {
public:
    TCheckBox();
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    void CreateParams(TCreateParams& params) override;
    // A state set before the window existed is given to it.
    void CreateWnd() override;
    void CommandNotification(unsigned code) override;

private:
    bool checked_ = false;
};
