#include "framework/win32/list_view.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win32/wide.h"

TListView::TListView() { TabStop = true; }

void TListView::CreateParams(TCreateParams& params)
{
    params.ClassName = WC_LISTVIEWW;
    params.Style |= LVS_REPORT;
    if (SortedByText) params.Style |= LVS_SORTASCENDING;
    if (!MultiSelect) params.Style |= LVS_SINGLESEL;
    if (!HideSelection) params.Style |= LVS_SHOWSELALWAYS;
    if (!ReadOnly) params.Style |= LVS_EDITLABELS;
    if (!ColumnClick) params.Style |= LVS_NOSORTHEADER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd()
{
    for (size_t i = 0; i < Columns.size(); ++i) {
        std::wstring text = Utf8ToWide(Columns[i].Caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = Columns[i].Width;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(Handle(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

int TListView::Count() const
{
    return HandleAllocated() ? static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int TListView::Add(const std::string& text)
{
    HandleNeeded();
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = Count();
    item.pszText = wide.data();
    item.lParam = static_cast<LPARAM>(nextEntry_++);
    return static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListView::Delete(int index)
{
    if (HandleAllocated()) SendMessageW(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void TListView::Clear()
{
    if (HandleAllocated()) SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

std::string TListView::SubItem(int index, int column) const
{
    if (!HandleAllocated() || index < 0 || index >= Count()) return {};
    // The control copies at most the buffer's size: grow until the text fits.
    for (size_t size = 512;; size *= 2) {
        std::wstring buffer(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<size_t>(
            SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size >= 65536) {
            buffer.resize(std::min(length, size - 1));
            return WideToUtf8(buffer);
        }
    }
}

std::string TListView::ItemText(int index) const { return SubItem(index, 0); }

TListEntry TListView::EntryAt(int index) const
{
    if (!HandleAllocated()) return 0;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<TListEntry>(item.lParam);
}

int TListView::IndexOf(TListEntry entry) const
{
    if (!HandleAllocated() || entry == 0) return -1;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(entry);
    return static_cast<int>(SendMessageW(Handle(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void TListView::SetSubItem(int index, int column, const std::string& text)
{
    if (!HandleAllocated()) return;
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TListView::SetState(int index, unsigned state, bool on)
{
    if (!HandleAllocated()) return;
    LVITEMW item{};
    item.stateMask = state;
    item.state = on ? state : 0;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool TListView::Selected(int index) const
{
    return HandleAllocated() &&
           (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED);
}

void TListView::SetSelected(int index, bool selected) { SetState(index, LVIS_SELECTED, selected); }

bool TListView::ItemFocused(int index) const
{
    return HandleAllocated() &&
           (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_FOCUSED) & LVIS_FOCUSED);
}

void TListView::SetItemFocused(int index, bool focused) { SetState(index, LVIS_FOCUSED, focused); }

void TListView::ClearSelection() { SetState(-1, LVIS_SELECTED, false); }

int TListView::SelectedCount() const
{
    return HandleAllocated() ? static_cast<int>(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

void TListView::MakeVisible(int index)
{
    if (HandleAllocated()) SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), TRUE);
}

void TListView::Update()
{
    if (HandleAllocated()) UpdateWindow(Handle());
}

void TListView::NotifyNotification(TMessage& message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(message.LParam);
        const TItemChange kind = (change->uChanged & LVIF_STATE) ? ctState
                                 : (change->uChanged & LVIF_IMAGE) ? ctImage
                                                                  : ctText;
        if (OnChange) OnChange(*this, change->iItem, kind);
    } else if (header->code == NM_DBLCLK) {
        if (OnDblClick) OnDblClick(*this);
    }
    message.Result = 0;
}
