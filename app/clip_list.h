#pragma once
// The clip list's commands: adding names (unique without regard to case),
// dropped and pasted names, copy, cut, delete, select all, invert, viewing and
// opening an entry, which entry the preview shows as the selection changes,
// and the context menu's enabled states. It is portable: the list view
// supplies the entries (TListItems), the window the rest (TClipListHost).
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/list_items.h"

// The context menu's commands, in menu order.
enum class TClipCommand { Add, Cut, Copy, Paste, Delete, AllSelect, ReverseSelect, View, Open };

class TClipListHost {
public:
    virtual ~TClipListHost() = default;
    // Loads the file into the preview and sets the information captions.
    virtual bool LoadPreview(const std::string& path) = 0;
    // Fills the preview's picture with black and empties the group's caption.
    virtual void BlankPreview() = 0;
    // The open dialog's filter: the formats the loader reads.
    virtual std::string OpenFilter() = 0;
    virtual bool ClipboardHasText() = 0;
    virtual std::optional<std::string> ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    // The shell's "open" on the file; failures are silent.
    virtual void ShellOpen(const std::string& path) = 0;
    // The preview's double click: opens the previewed file, restores the rectangle.
    virtual void PreviewDblClick() = 0;
};

class TClipList {
public:
    // Pasted text is read up to this many bytes of code page 932 (a character it
    // cannot hold counts as a double-byte one); a line cut there is kept cut.
    static constexpr std::size_t kPasteLimit = 4095;
    // Each dropped name is fetched into a buffer of this many characters.
    static constexpr unsigned kDropNameBuffer = 388;

    TClipList(TListItems& list, TClipListHost& host);
    TClipList(const TClipList&) = delete;
    TClipList& operator=(const TClipList&) = delete;

    // The entry whose file the preview shows (not owned; 0: none).
    TListEntry PreviewItem = 0;
    // A left or right button is down in the list.
    bool ListMouseDown = false;

    // The menu items' enabled states: the form description's until the menu
    // first opens, then as MenuPopup last set them.
    bool Enabled(TClipCommand command) const { return enabled_[static_cast<std::size_t>(command)]; }
    // The menu is about to open.
    void MenuPopup();
    // A command chosen from the menu or by its shortcut; nothing while disabled.
    void Execute(TClipCommand command);
    // The command of a menu item of the form description.
    static std::optional<TClipCommand> CommandOf(std::string_view itemName);

    void AddFiles(const std::vector<std::string>& names);
    // Shows the entry in the preview; with none, blanks the preview unless the
    // previewed entry is still listed.
    void ViewItem(TListEntry entry);
    void OpenItem(TListEntry entry);
    // Opens the previewed entry while it is listed; otherwise forgets it.
    void OpenPreviewItem();

    void KAddClick();
    void KCutClick();
    void KCopyClick();
    void KPasteClick();
    void KDeleteClick();
    void KAllSelectClick();
    void KReveseSelectClick();
    void KViewClick();
    // The list's double click and the menu's "open with the application".
    void ListDblClick();
    void ListKeyPress(char& key);
    // An entry of the list changed; only state changes can move the preview.
    void ListChange(bool stateChanged);
    void ListMouseUp();
    // Every message to the list passes here first.
    void ListMessage(unsigned message);
    // After the list handled a message. While it watches a button-down for a
    // drag the list may take the button-up itself, which then reaches no one:
    // a button-down after which the button is no longer held has ended.
    void ListMessageHandled(unsigned message, bool buttonStillDown);

    TListEntry FocusedEntry() const;
    TListEntry FirstSelectedEntry() const;
    bool IsListed(TListEntry entry) const { return entry != 0 && list_.IndexOf(entry) >= 0; }

    // Lines end at CR, LF or CR LF; a last line without an end counts too.
    static std::vector<std::string> SplitLines(std::string_view text);
    // The whole characters of the text that fit in `limit` bytes of code page 932.
    static std::string CutText(std::string_view text, std::size_t limit);
    // Letter case folded (ASCII letters; other characters kept whole).
    static std::string FoldCase(std::string_view text);

private:
    // The preview follows the selection when the entry it shows is gone or deselected.
    void FollowSelection();

    TListItems& list_;
    TClipListHost& host_;
    std::array<bool, 9> enabled_{};
    // The bulk commands detach the change handling while they work.
    bool changesDetached_ = false;
};
