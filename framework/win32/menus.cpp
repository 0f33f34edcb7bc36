#include "framework/win32/menus.h"

#include "framework/win32/wide.h"

std::string ShortCutToText(TShortCut shortCut)
{
    const unsigned key = shortCut & 0xFF;
    if (key == 0) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return text + static_cast<char>(key);
    switch (key) {
    case VK_INSERT: return text + "Ins";
    case VK_DELETE: return text + "Del";
    case VK_RETURN: return text + "Enter";
    case VK_ESCAPE: return text + "Esc";
    case VK_SPACE: return text + "Space";
    default:
        if (key >= VK_F1 && key <= VK_F24) return text + "F" + std::to_string(key - VK_F1 + 1);
        return text + "#" + std::to_string(key);
    }
}

TShortCut ShortCutOfKey(unsigned virtualKey)
{
    TShortCut shortCut = static_cast<TShortCut>(virtualKey & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= scCtrl;
    if (GetKeyState(VK_MENU) < 0) shortCut |= scAlt;
    return shortCut;
}

void TMenuItem::Click()
{
    if (Enabled && OnClick) OnClick(*this);
}

TMenuItem* TPopupMenu::Find(const std::string& name)
{
    for (TMenuItem& item : Items)
        if (item.Name == name) return &item;
    return nullptr;
}

void TPopupMenu::Popup(int x, int y, HWND owner)
{
    if (OnPopup) OnPopup(*this);
    menu_.reset(CreatePopupMenu());
    if (!menu_) return;
    for (size_t i = 0; i < Items.size(); ++i) {
        const TMenuItem& item = Items[i];
        if (item.IsLine()) {
            AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = item.Caption;
        if (item.ShortCut) text += "\t" + ShortCutToText(item.ShortCut);
        AppendMenuW(menu_.get(), MF_STRING | (item.Enabled ? MF_ENABLED : MF_GRAYED), i + 1,
                    Utf8ToWide(text).c_str());
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenuEx(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, owner, nullptr));
    if (chosen >= 1 && chosen <= Items.size()) Items[chosen - 1].Click();
}

bool TPopupMenu::IsShortCut(TShortCut shortCut)
{
    for (TMenuItem& item : Items) {
        if (item.ShortCut && item.ShortCut == shortCut) {
            item.Click();
            return true;
        }
    }
    return false;
}
