#include "framework/win32/std_controls.h"

#include "framework/win32/forms.h"

TEdit::TEdit() { TabStop = true; }

void TEdit::CreateParams(TCreateParams& params)
{
    params.ClassName = L"EDIT";
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CommandNotification(unsigned code)
{
    if (code == EN_CHANGE && OnChange) OnChange(*this);
}

TButton::TButton() { TabStop = true; }

void TButton::CreateParams(TCreateParams& params)
{
    params.ClassName = L"BUTTON";
    params.Style |= BS_PUSHBUTTON;
    if (TForm* form = ParentForm(); form && cancel_) form->CancelButton = this;
}

void TButton::SetCancel(bool cancel)
{
    if (cancel == cancel_) return;
    cancel_ = cancel;
    if (TForm* form = ParentForm()) {
        if (cancel)
            form->CancelButton = this;
        else if (form->CancelButton == this)
            form->CancelButton = nullptr;
    }
}

void TButton::Click()
{
    if (OnClick) OnClick(*this);
}

void TButton::CommandNotification(unsigned code)
{
    if (code == BN_CLICKED) Click();
}

TCheckBox::TCheckBox() { TabStop = true; }

void TCheckBox::CreateParams(TCreateParams& params)
{
    params.ClassName = L"BUTTON";
    params.Style |= BS_AUTOCHECKBOX;
}

bool TCheckBox::Checked() const
{
    if (!HandleAllocated()) return checked_;
    return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked)
{
    checked_ = checked;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::CommandNotification(unsigned code)
{
    if (code == BN_CLICKED) {
        checked_ = Checked();
        if (OnClick) OnClick(*this);
    }
}
