#include "framework/win32/directory_chooser_win32.h"

#include <commctrl.h>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide.h"

namespace {

constexpr int kEdit = 101;
constexpr int kTree = 102;

std::wstring ItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &tv);
    return text;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::wstring& text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.cChildren = 1;  // known when the item is first opened
    return TreeView_InsertItem(tree, &insert);
}

std::wstring WithSeparator(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

}  // namespace

TDirectoryChooserWindow::TDirectoryChooserWindow(const std::string& title, const std::string& directory, HWND owner)
    : TModalWindow(title, 360, 330, owner)
{
    edit_ = AddChild(L"EDIT", Utf8ToWide(directory), WS_TABSTOP | ES_AUTOHSCROLL, 8, 8, 344, 21, kEdit,
                     WS_EX_CLIENTEDGE);
    tree_ = AddChild(WC_TREEVIEWW, L"",
                     WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 8, 36, 344,
                     250, kTree, WS_EX_CLIENTEDGE);
    AddChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 112, 296, 75, 25, IDOK);
    AddChild(L"BUTTON", Utf8ToWide("キャンセル"), WS_TABSTOP | BS_PUSHBUTTON, 194, 296, 75, 25, IDCANCEL);
    AddChild(L"BUTTON", Utf8ToWide("ヘルプ"), WS_TABSTOP | BS_PUSHBUTTON, 276, 296, 75, 25, kHelpButton);
    AddDrives();
    RevealPath(Utf8ToWide(directory));
}

void TDirectoryChooserWindow::AddDrives()
{
    wchar_t drives[512] = {};
    const DWORD length = GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* drive = drives; drive < drives + length && *drive; drive += wcslen(drive) + 1)
        InsertItem(tree_, TVI_ROOT, drive);
}

std::wstring TDirectoryChooserWindow::ItemPath(HTREEITEM item) const
{
    std::wstring path;
    for (; item; item = TreeView_GetParent(tree_, item)) {
        const std::wstring text = ItemText(tree_, item);
        path = path.empty() ? text : WithSeparator(text) + path;
    }
    return path;
}

void TDirectoryChooserWindow::FillChildren(HTREEITEM item)
{
    if (TreeView_GetChild(tree_, item)) return;
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((WithSeparator(ItemPath(item)) + L"*").c_str(), &found));
    bool any = false;
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
            InsertItem(tree_, item, name);
            any = true;
        } while (FindNextFileW(find.get(), &found));
    }
    if (!any) {
        TVITEMW tv{};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        tv.cChildren = 0;
        TreeView_SetItem(tree_, &tv);
    }
}

void TDirectoryChooserWindow::RevealPath(const std::wstring& path)
{
    revealing_ = true;
    HTREEITEM level = TreeView_GetRoot(tree_);
    HTREEITEM deepest = nullptr;
    std::size_t start = 0;
    while (level && start < path.size()) {
        std::size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring part = path.substr(start, end - start);
        if (!deepest) part = WithSeparator(part);  // the drive's item is "C:\"
        HTREEITEM match = nullptr;
        for (HTREEITEM item = level; item; item = TreeView_GetNextSibling(tree_, item))
            if (CompareStringOrdinal(ItemText(tree_, item).c_str(), -1, part.c_str(), -1, TRUE) == CSTR_EQUAL) {
                match = item;
                break;
            }
        if (!match) break;
        deepest = match;
        FillChildren(match);
        TreeView_Expand(tree_, match, TVE_EXPAND);
        level = TreeView_GetChild(tree_, match);
        start = end + 1;
    }
    if (deepest) TreeView_SelectItem(tree_, deepest);
    revealing_ = false;
}

void TDirectoryChooserWindow::Ok()
{
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const std::string path = WideToUtf8(text);
    if (path.empty() || !DirectoryChooserAccepts(path)) return;
    result_ = path;
    Close();
}

bool TDirectoryChooserWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK: Ok(); return true;
        case IDCANCEL: Close(); return true;
        case kHelpButton: Application().Dialogs().ShowHelp(Application().HelpFile); return true;
        default: return false;
        }
    }
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != tree_) return false;
        const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (header->code == TVN_ITEMEXPANDINGW && tree->action == TVE_EXPAND) {
            FillChildren(tree->itemNew.hItem);
        } else if (header->code == TVN_SELCHANGEDW && !revealing_) {
            SetWindowTextW(edit_, ItemPath(tree->itemNew.hItem).c_str());
        }
        result = 0;
        return true;
    }
    return false;
}

std::optional<std::string> RunDirectoryChooser(TDirectoryChooserWindow& chooser)
{
    chooser.ShowModal();
    return chooser.Result();
}
