#pragma once
// Context menus: TPopupMenu with TMenuItem entries that have a caption, a
// shortcut and an enabled state. The control that owns the menu opens it on a
// right click (WM_CONTEXTMENU) and lets it see its key-downs for the shortcuts.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win32/handles.h"

// The virtual-key code in the low byte, plus these for the modifiers.
using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// "Ctrl+X", "Del", "Ins", …; empty for no shortcut.
std::string ShortCutToText(TShortCut shortCut);
// The shortcut of a key-down with the modifiers held now.
TShortCut ShortCutOfKey(unsigned virtualKey);

class TMenuItem {
public:
    std::string Name;
    std::string Caption;  // "-": a separator
    TShortCut ShortCut = 0;
    bool Enabled = true;
    std::function<void(TMenuItem& sender)> OnClick;

    bool IsLine() const { return Caption == "-"; }
    // As when chosen: runs OnClick, unless the item is disabled.
    void Click();
};

class TPopupMenu {
public:
    std::string Name;
    std::vector<TMenuItem> Items;
    // Runs just before the menu opens.
    std::function<void(TPopupMenu& sender)> OnPopup;

    TMenuItem* Find(const std::string& name);
    // OnPopup, then the menu at the screen point; the chosen item is clicked.
    void Popup(int x, int y, HWND owner);
    // The item with this shortcut is clicked (nothing happens while it is
    // disabled); true when an item has the shortcut.
    bool IsShortCut(TShortCut shortCut);
    // The menu as last opened (none before the first Popup).
    HMENU Handle() const { return menu_.get(); }

private:
    UniqueMenu menu_;
};
