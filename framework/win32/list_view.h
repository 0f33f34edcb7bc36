#pragma once
// TListView in report style: entries with one text and sub-items, addressed by
// index, with the focused and selected states.
#include <string>
#include <vector>

#include "framework/win32/win_control.h"

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

class TListView : public TWinControl {
public:
    TListView();

    std::vector<TListColumn> Columns;
    bool SortedByText = false;
    bool MultiSelect = false;
    bool HideSelection = true;
    bool ReadOnly = false;
    bool ColumnClick = true;

    int Count() const;
    // Inserts an entry (in text order when sorted); its index.
    int Add(const std::string& text);
    void Delete(int index);
    void Clear();
    std::string ItemText(int index) const;
    // Sub-item column 1..; an empty text when the entry has none.
    std::string SubItem(int index, int column) const;
    void SetSubItem(int index, int column, const std::string& text);

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    bool ItemFocused(int index) const;
    void SetItemFocused(int index, bool focused);
    void ClearSelection();
    int SelectedCount() const;
    void MakeVisible(int index);
    // Repaints the invalid parts now.
    void Update();

    // An entry's state changed: (sender, index).
    std::function<void(TControl& sender, int index)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void NotifyNotification(TMessage& message) override;

private:
    void SetState(int index, unsigned state, bool on);
};
