#pragma once
// The entries of a report-style list view as portable code sees them: text,
// sub-items, the focused and selected states, and an identity that outlives
// index changes. The Win32 list view implements it; tests use one in memory.
#include <cstdint>
#include <string>

// An entry's identity; 0 is none. It stays the entry's while the entry is listed.
using TListEntry = std::uintptr_t;

class TListItems {
public:
    virtual ~TListItems() = default;

    virtual int Count() const = 0;
    // Inserts an entry at its place in the list's order; its index.
    virtual int Add(const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual std::string ItemText(int index) const = 0;
    // Sub-item column 1..
    virtual void SetSubItem(int index, int column, const std::string& text) = 0;

    virtual TListEntry EntryAt(int index) const = 0;
    // The entry's current index; negative when it is no longer listed.
    virtual int IndexOf(TListEntry entry) const = 0;

    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool selected) = 0;
    virtual bool ItemFocused(int index) const = 0;
    virtual void SetItemFocused(int index, bool focused) = 0;
    virtual int SelectedCount() const = 0;

    // Gives the list the keyboard focus.
    virtual void FocusList() = 0;
    virtual void RepaintList() = 0;
};
