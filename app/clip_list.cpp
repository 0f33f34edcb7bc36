#include "app/clip_list.h"

#include <unordered_set>

#include "app/main_form_description.h"
#include "framework/utf8.h"
#include "framework/dialogs.h"

namespace {

const char* const kAddTitle = "ｸﾘｯﾌﾟﾌｧｲﾙの追加";
const char* const kBlankResult = " ";
constexpr char kEnter = 13;

constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kLButtonUp = 0x0202;
constexpr unsigned kRButtonDown = 0x0204;
constexpr unsigned kRButtonUp = 0x0205;

// Change handling stays detached for the scope's length.
class ScopedDetach {
public:
    explicit ScopedDetach(bool& detached) : detached_(detached) { detached_ = true; }
    ~ScopedDetach() { detached_ = false; }
    ScopedDetach(const ScopedDetach&) = delete;
    ScopedDetach& operator=(const ScopedDetach&) = delete;

private:
    bool& detached_;
};

}  // namespace

TClipList::TClipList(TListItems& list, TClipListHost& host) : list_(list), host_(host)
{
    enabled_.fill(true);
    for (const TPopupMenuDescription& menu : MainFormDescription().PopupMenus)
        for (const TMenuItemDescription& item : menu.Items)
            if (const auto command = CommandOf(item.Name)) enabled_[static_cast<std::size_t>(*command)] = item.Enabled;
}

std::optional<TClipCommand> TClipList::CommandOf(std::string_view itemName)
{
    static constexpr std::pair<std::string_view, TClipCommand> kItems[] = {
        {"KAdd", TClipCommand::Add},
        {"KCut", TClipCommand::Cut},
        {"KCopy", TClipCommand::Copy},
        {"KPaste", TClipCommand::Paste},
        {"KDelete", TClipCommand::Delete},
        {"KAllSelect", TClipCommand::AllSelect},
        {"KReveseSelect", TClipCommand::ReverseSelect},
        {"KView", TClipCommand::View},
        {"KOpen", TClipCommand::Open},
    };
    for (const auto& [name, command] : kItems)
        if (name == itemName) return command;
    return std::nullopt;
}

void TClipList::MenuPopup()
{
    auto set = [this](TClipCommand command, bool on) { enabled_[static_cast<std::size_t>(command)] = on; };
    const bool anySelected = list_.SelectedCount() > 0;
    set(TClipCommand::Delete, anySelected);
    set(TClipCommand::Cut, anySelected);
    set(TClipCommand::Copy, anySelected);
    set(TClipCommand::Paste, host_.ClipboardHasText());
    const bool anyEntry = list_.Count() > 0;
    set(TClipCommand::AllSelect, anyEntry);
    set(TClipCommand::ReverseSelect, anyEntry);
    const bool anyFocused = FocusedEntry() != 0;
    set(TClipCommand::Open, anyFocused);
    set(TClipCommand::View, anyFocused);
}

void TClipList::Execute(TClipCommand command)
{
    if (!Enabled(command)) return;
    switch (command) {
    case TClipCommand::Add: KAddClick(); break;
    case TClipCommand::Cut: KCutClick(); break;
    case TClipCommand::Copy: KCopyClick(); break;
    case TClipCommand::Paste: KPasteClick(); break;
    case TClipCommand::Delete: KDeleteClick(); break;
    case TClipCommand::AllSelect: KAllSelectClick(); break;
    case TClipCommand::ReverseSelect: KReveseSelectClick(); break;
    case TClipCommand::View: KViewClick(); break;
    case TClipCommand::Open: ListDblClick(); break;
    }
}

std::string TClipList::FoldCase(std::string_view text)
{
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); i = Utf8Next(folded, i))
        if (folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    return folded;
}

void TClipList::AddFiles(const std::vector<std::string>& names)
{
    if (names.empty()) return;
    std::unordered_set<std::string> listed;
    for (int i = 0; i < list_.Count(); ++i) listed.insert(FoldCase(list_.ItemText(i)));
    for (const std::string& name : names) {
        if (!listed.insert(FoldCase(name)).second) continue;
        const int index = list_.Add(name);
        if (index < 0) continue;
        list_.SetSubItem(index, 1, kBlankResult);
        list_.SetItemFocused(index, true);
    }
}

TListEntry TClipList::FocusedEntry() const
{
    for (int i = 0; i < list_.Count(); ++i)
        if (list_.ItemFocused(i)) return list_.EntryAt(i);
    return 0;
}

TListEntry TClipList::FirstSelectedEntry() const
{
    if (list_.SelectedCount() == 0) return 0;
    for (int i = 0; i < list_.Count(); ++i)
        if (list_.Selected(i)) return list_.EntryAt(i);
    return 0;
}

void TClipList::ViewItem(TListEntry entry)
{
    if (entry != 0) {
        const int index = list_.IndexOf(entry);
        if (index < 0) return;
        PreviewItem = entry;
        host_.LoadPreview(list_.ItemText(index));
        return;
    }
    if (IsListed(PreviewItem)) return;
    PreviewItem = 0;
    host_.BlankPreview();
}

void TClipList::OpenItem(TListEntry entry)
{
    const int index = entry != 0 ? list_.IndexOf(entry) : -1;
    if (index < 0) return;
    host_.ShellOpen(list_.ItemText(index));
}

void TClipList::OpenPreviewItem()
{
    if (IsListed(PreviewItem))
        OpenItem(PreviewItem);
    else
        PreviewItem = 0;
}

void TClipList::FollowSelection()
{
    if (!IsListed(PreviewItem)) PreviewItem = 0;
    const int index = PreviewItem != 0 ? list_.IndexOf(PreviewItem) : -1;
    if (index < 0 || !list_.Selected(index)) ViewItem(FirstSelectedEntry());
}

void TClipList::ListChange(bool stateChanged)
{
    if (!stateChanged || ListMouseDown || changesDetached_) return;
    FollowSelection();
}

void TClipList::ListMouseUp() { FollowSelection(); }

void TClipList::ListMessage(unsigned message)
{
    if (message == kLButtonDown || message == kRButtonDown) ListMouseDown = true;
    if (message == kLButtonUp || message == kRButtonUp) ListMouseDown = false;
}

void TClipList::ListMessageHandled(unsigned message, bool buttonStillDown)
{
    if ((message != kLButtonDown && message != kRButtonDown) || !ListMouseDown || buttonStillDown) return;
    ListMouseDown = false;
    ListMouseUp();
}

void TClipList::KAddClick()
{
    TOpenDialog dialog;
    dialog.Filter = host_.OpenFilter();
    dialog.FilterIndex = 1;
    dialog.Title = kAddTitle;
    dialog.FileName.clear();
    dialog.Options |= ofAllowMultiSelect;
    if (dialog.Execute()) AddFiles(dialog.Files);
}

void TClipList::KCopyClick()
{
    if (list_.SelectedCount() == 0) return;
    std::string text;
    for (int i = 0; i < list_.Count(); ++i)
        if (list_.Selected(i)) text += list_.ItemText(i) + "\r\n";
    if (!text.empty()) host_.SetClipboardText(text);
}

void TClipList::KCutClick()
{
    KCopyClick();
    KDeleteClick();
}

std::string TClipList::CutText(std::string_view text, std::size_t limit)
{
    std::size_t end = 0, width = 0;
    while (end < text.size()) {
        width += std::size_t(Cp932Width(Utf8CodeAt(text, end)));
        if (width > limit) break;
        end = Utf8Next(text, end);
    }
    return std::string(text.substr(0, end));
}

std::vector<std::string> TClipList::SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

void TClipList::KPasteClick()
{
    const std::optional<std::string> text = host_.ClipboardText();
    if (!text) return;
    AddFiles(SplitLines(CutText(*text, kPasteLimit)));
}

void TClipList::KDeleteClick()
{
    {
        const ScopedDetach detach(changesDetached_);
        for (int i = 0; i < list_.Count();) {
            if (list_.Selected(i))
                list_.Delete(i);
            else
                ++i;
        }
        PreviewItem = 0;
        list_.RepaintList();
    }
    ViewItem(FirstSelectedEntry());
}

void TClipList::KAllSelectClick()
{
    {
        const ScopedDetach detach(changesDetached_);
        const int count = list_.Count();
        for (int i = 0; i < count; ++i) list_.SetSelected(i, true);
        list_.FocusList();
        if (count > 0 && FocusedEntry() == 0) list_.SetItemFocused(0, true);
        list_.RepaintList();
    }
    ViewItem(FirstSelectedEntry());
}

void TClipList::KReveseSelectClick()
{
    {
        const ScopedDetach detach(changesDetached_);
        for (int i = 0; i < list_.Count(); ++i) list_.SetSelected(i, !list_.Selected(i));
        list_.RepaintList();
    }
    ViewItem(FirstSelectedEntry());
}

void TClipList::KViewClick() { ViewItem(FocusedEntry()); }

void TClipList::ListDblClick() { OpenItem(FocusedEntry()); }

void TClipList::ListKeyPress(char& key)
{
    if (key == kEnter) host_.PreviewDblClick();
}
