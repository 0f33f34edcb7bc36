#pragma once
// The main window's form description: its size, title and font, and the table
// of its controls with their kinds, parents, places, texts, hints, tab orders
// and the handlers their events call. The window is built from it.
#include <string>
#include <utility>
#include <vector>

enum class TControlKind { Panel, Image, Shape, GroupBox, Button, Edit, Label, ListView, CheckBox, StatusBar };

// An event of a control and the name of the window's handler it calls.
struct TEventBinding {
    std::string Event;  // "OnClick", "OnMouseDown", …
    std::string Handler;
};

struct TControlDescription {
    std::string Name;
    TControlKind Kind;
    std::string Parent;  // empty: the window
    int Left, Top, Width, Height;
    std::string Caption;
    std::string Hint;
    int TabOrder = -1;  // -1: the control takes no focus
    std::vector<TEventBinding> Events;
    // Kind-specific details.
    bool Lowered = false;      // panel: lowered outer bevel
    bool Black = false;        // panel: black
    bool Centered = false;     // label: centred text
    bool AutoSize = false;     // label: sized to its text
    bool Cancel = false;       // button: answers Esc
    // List view columns, or status bar panels: text and width (0: the rest).
    std::vector<std::pair<std::string, int>> Parts = {};
    std::string PopupMenu = {};  // the context menu's name
};

// A context menu's item: shortcut in the menu encoding (virtual key, plus
// 0x4000 for Ctrl); a caption of "-" is a separator.
struct TMenuItemDescription {
    std::string Name;
    std::string Caption;
    unsigned short ShortCut;
    bool Enabled;
    std::string OnClick;  // empty for a separator
};

struct TPopupMenuDescription {
    std::string Name;
    std::string OnPopup;
    std::vector<TMenuItemDescription> Items;
};

struct TFormDescription {
    std::string Name;
    std::string Caption;
    int Width, Height;
    int ClientWidth, ClientHeight;
    std::string FontName;
    int FontHeight;
    int FontCharset;
    std::string ActiveControl;
    std::string OnKeyPress;
    std::vector<TControlDescription> Controls;
    std::vector<TPopupMenuDescription> PopupMenus;
};

const TFormDescription& MainFormDescription();
