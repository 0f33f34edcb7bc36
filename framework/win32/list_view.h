#pragma once
// TListView in report style: entries with one text and sub-items, addressed by
// index, with the focused and selected states; each entry carries an identity
// of its own (TListItems).
#include <string>
#include <vector>

#include "framework/list_items.h"
#include "framework/win32/win_control.h"

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

// What changed in an entry.
enum TItemChange { ctText, ctImage, ctState };

class TListView : public TWinControl, public TListItems {
public:
    TListView();

    std::vector<TListColumn> Columns;
    bool SortedByText = false;
    bool MultiSelect = false;
    bool HideSelection = true;
    bool ReadOnly = false;
    bool ColumnClick = true;

    int Count() const override;
    int Add(const std::string& text) override;
    void Delete(int index) override;
    void Clear();
    std::string ItemText(int index) const override;
    // Sub-item column 1..; an empty text when the entry has none.
    std::string SubItem(int index, int column) const;
    void SetSubItem(int index, int column, const std::string& text) override;
    TListEntry EntryAt(int index) const override;
    int IndexOf(TListEntry entry) const override;

    bool Selected(int index) const override;
    void SetSelected(int index, bool selected) override;
    bool ItemFocused(int index) const override;
    void SetItemFocused(int index, bool focused) override;
    void ClearSelection();
    int SelectedCount() const override;
    void MakeVisible(int index);
    // Repaints the invalid parts now.
    void Update();
    void FocusList() override { SetFocus(); }
    void RepaintList() override { Repaint(); }

    // An entry changed: (sender, index, what changed).
    std::function<void(TControl& sender, int index, TItemChange change)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void NotifyNotification(TMessage& message) override;

private:
    void SetState(int index, unsigned state, bool on);
    TListEntry nextEntry_ = 1;
};
