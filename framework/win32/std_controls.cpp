#include "framework/win32/std_controls.h"

#include <algorithm>

#include "framework/win32/forms.h"
#include "framework/win32/wide.h"

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

void TButton::FitCaption(HFONT font)
{
    const std::wstring text = Utf8ToWide(Caption());
    if (text.empty()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    const int room = client.right - client.left - 6;  // frame and focus margin
    UniqueDC dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    if (room <= 0 || size.cx <= room) return;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    LOGFONTW narrow{};
    GetObjectW(font, sizeof narrow, &narrow);
    narrow.lfWidth = std::max<LONG>(1, metrics.tmAveCharWidth * room / size.cx);
    narrowFont_.reset(CreateFontIndirectW(&narrow));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(narrowFont_.get()), FALSE);
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

void TCheckBox::CreateWnd()
{
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
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
