#pragma once
// The main window's controls as a user finds them: each by the class and the
// place in its parent that the form description gives it. Works on any window
// built from the description, the program's own seen from outside or one a test
// made in-process.
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_form_description.h"

class MainWindowControls {
    HWND window_;

public:
    explicit MainWindowControls(HWND window) : window_(window) {}

    // The control of this name in the description; nullptr when the window has none.
    HWND Find(const std::string& name) const
    {
        for (const TControlDescription& control : MainFormDescription().Controls)
            if (control.Name == name) return At(ClassOf(control.Kind), control.Left, control.Top);
        return nullptr;
    }

    HWND list = Find("ListViewClip");
    HWND editLeft = Find("EditLeft"), editTop = Find("EditTop"), editRight = Find("EditRight"),
         editBottom = Find("EditBottom"), editWidth = Find("EditWidth"), editHeight = Find("EditHeight");
    HWND editSavePath = Find("EditSavePath");
    HWND buttonRun = Find("ButtonRun"), buttonSusie = Find("ButtonSusie"), checkSusie = Find("CheckSusie");

    bool AllFound() const
    {
        for (HWND control : {list, editLeft, editTop, editRight, editBottom, editWidth, editHeight, editSavePath,
                             buttonRun, buttonSusie, checkSusie})
            if (!control) return false;
        return true;
    }

private:
    static const wchar_t* ClassOf(TControlKind kind)
    {
        switch (kind) {
        case TControlKind::ListView: return L"SysListView32";
        case TControlKind::Edit: return L"Edit";
        case TControlKind::Button:
        case TControlKind::CheckBox:
        case TControlKind::GroupBox: return L"Button";
        default: return L"";
        }
    }

    static BOOL CALLBACK Collect(HWND child, LPARAM children)
    {
        reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
        return TRUE;
    }

    HWND At(const wchar_t* className, int left, int top) const
    {
        std::vector<HWND> children;
        EnumChildWindows(window_, Collect, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            RECT bounds;
            GetWindowRect(child, &bounds);
            MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&bounds), 2);
            if (lstrcmpiW(name, className) == 0 && bounds.left == left && bounds.top == top) return child;
        }
        return nullptr;
    }
};
