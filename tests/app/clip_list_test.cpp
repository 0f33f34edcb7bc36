#include "app/clip_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/application.h"
#include "framework/dialogs.h"

namespace {

// A sorted list in memory, ordered and focused as the list view orders and
// focuses: case-insensitive order, one focused entry at most.
class FakeList : public TListItems {
public:
    struct Entry {
        TListEntry Id;
        std::string Text, Result;
        bool Selected = false, Focused = false;
    };
    std::vector<Entry> entries;
    int repaints = 0;
    bool hasFocus = false;

    int Count() const override { return static_cast<int>(entries.size()); }
    int Add(const std::string& text) override
    {
        const auto at = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
            return TClipList::FoldCase(e.Text) > TClipList::FoldCase(text);
        });
        const auto index = at - entries.begin();
        entries.insert(at, Entry{nextId_++, text, ""});
        return static_cast<int>(index);
    }
    void Delete(int i) override { entries.erase(entries.begin() + i); }
    std::string ItemText(int i) const override { return entries.at(i).Text; }
    void SetSubItem(int i, int column, const std::string& text) override
    {
        EXPECT_EQ(column, 1);
        entries.at(i).Result = text;
    }
    TListEntry EntryAt(int i) const override { return entries.at(i).Id; }
    int IndexOf(TListEntry id) const override
    {
        for (int i = 0; i < Count(); ++i)
            if (entries[i].Id == id) return i;
        return -1;
    }
    bool Selected(int i) const override { return entries.at(i).Selected; }
    void SetSelected(int i, bool on) override { entries.at(i).Selected = on; }
    bool ItemFocused(int i) const override { return entries.at(i).Focused; }
    void SetItemFocused(int i, bool on) override
    {
        if (on)
            for (Entry& e : entries) e.Focused = false;
        entries.at(i).Focused = on;
    }
    int SelectedCount() const override
    {
        return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.Selected; }));
    }
    void FocusList() override { hasFocus = true; }
    void RepaintList() override { ++repaints; }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Entry& e : entries) texts.push_back(e.Text);
        return texts;
    }
    void Select(std::initializer_list<int> indexes)
    {
        for (int i : indexes) entries.at(i).Selected = true;
    }

private:
    TListEntry nextId_ = 1;
};

class FakeHost : public TClipListHost {
public:
    std::vector<std::string> previews, opened;
    int blanks = 0, dblClicks = 0;
    std::optional<std::string> clipboard;
    std::string filter = "All|*.bmp;*.gif";

    bool LoadPreview(const std::string& path) override
    {
        previews.push_back(path);
        return true;
    }
    void BlankPreview() override { ++blanks; }
    std::string OpenFilter() override { return filter; }
    bool ClipboardHasText() override { return clipboard.has_value(); }
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void ShellOpen(const std::string& path) override { opened.push_back(path); }
    void PreviewDblClick() override { ++dblClicks; }
};

class ScriptedOpenDialog : public TDialogService {
public:
    TOpenDialog seen;
    std::vector<std::string> choose;  // empty: cancelled
    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons) override { return mrCancel; }
    void ShowMessage(const std::string&) override {}
    bool ExecuteOpenDialog(TOpenDialog& dialog) override
    {
        seen = dialog;
        dialog.Files = choose;
        return !choose.empty();
    }
};

class ClipListTest : public ::testing::Test {
protected:
    FakeList list;
    FakeHost host;
    TClipList clip{list, host};

    void Fill(const std::vector<std::string>& names)
    {
        clip.AddFiles(names);
        for (auto& e : list.entries) e.Focused = false;
    }
};

TEST_F(ClipListTest, AddFilesSkipsNamesListedInAnyCaseSortsAndFocusesTheLastAdded)
{
    clip.AddFiles({"b.gif", "a.gif", "c.gif"});
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"a.gif", "b.gif", "c.gif"}));
    EXPECT_EQ(clip.FocusedEntry(), list.EntryAt(2));  // c.gif: the last one added
    clip.AddFiles({"C:\\A.GIF", "B.GIF", "c:\\a.gif", "A.gif"});
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"a.gif", "b.gif", "c.gif", "C:\\A.GIF"}));
    for (const auto& e : list.entries) EXPECT_EQ(e.Result, " ");
    EXPECT_EQ(clip.FocusedEntry(), list.EntryAt(3));
}

TEST_F(ClipListTest, CaseIsFoldedForLettersOnlyNotInsideCharacters)
{
    // "ア" and "メ" were code page 932 pairs that differed in a byte equal to "A"
    // and "a"; as UTF-8 they are two names as well.
    clip.AddFiles({"xア.bmp", "xメ.bmp", "X.BMP", "x.bmp"});
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(ClipListTest, PasteSplitsAtCrLfAndCrLfKeepingBlankLines)
{
    host.clipboard = "a\r\nb\rc\nd\r\n\r\ne";
    clip.KPasteClick();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"", "a", "b", "c", "d", "e"}));
    EXPECT_EQ(TClipList::SplitLines("x\r\n"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(TClipList::SplitLines("x\n\ry"), (std::vector<std::string>{"x", "", "y"}));
    EXPECT_TRUE(TClipList::SplitLines("").empty());
}

TEST_F(ClipListTest, PasteReadsOnly4095BytesAndKeepsTheCutLine)
{
    host.clipboard = std::string(4090, 'p') + "\r\nabcdefgh\r\nlast";
    clip.KPasteClick();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"abc", std::string(4090, 'p')}));
    // Characters count their code page 932 bytes, whatever their UTF-8 length: a
    // double-byte one across the limit is left out whole, a half-width one is one
    // byte, and one the code page cannot hold counts as double-byte.
    for (const std::string wide : {"漢", "😀", "한"}) {
        EXPECT_EQ(TClipList::CutText(std::string(4094, 'q') + wide, 4095), std::string(4094, 'q'));
        EXPECT_EQ(TClipList::CutText(std::string(4093, 'q') + wide, 4095), std::string(4093, 'q') + wide);
    }
    EXPECT_EQ(TClipList::CutText(std::string(4094, 'q') + "ｿｿ", 4095), std::string(4094, 'q') + "ｿ");
}

TEST_F(ClipListTest, CopyThenPasteGivesTheSelectedEntriesBack)
{
    Fill({"a", "b", "c"});
    clip.KCopyClick();
    EXPECT_FALSE(host.clipboard.has_value());  // nothing selected: clipboard untouched
    list.Select({0, 2});
    clip.KCopyClick();
    EXPECT_EQ(host.clipboard, "a\r\nc\r\n");

    FakeList other;
    TClipList pasted(other, host);
    pasted.KPasteClick();
    EXPECT_EQ(other.Texts(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(ClipListTest, DeleteAndCutRemoveTheSelectionAndBlankThePreview)
{
    Fill({"a", "b", "c", "d"});
    list.Select({1, 2});
    clip.ViewItem(list.EntryAt(1));
    ASSERT_EQ(host.previews, std::vector<std::string>{"b"});
    clip.KDeleteClick();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(clip.PreviewItem, 0u);
    EXPECT_EQ(host.blanks, 1);
    EXPECT_EQ(list.repaints, 1);

    list.Select({1});
    clip.KCutClick();
    EXPECT_EQ(host.clipboard, "d\r\n");
    EXPECT_EQ(list.Texts(), std::vector<std::string>{"a"});
}

TEST_F(ClipListTest, MenuStatesFollowTheFormDescriptionUntilTheMenuFirstOpens)
{
    Fill({"a", "b"});
    list.Select({0});
    host.clipboard = "x";
    for (auto c : {TClipCommand::Cut, TClipCommand::Copy, TClipCommand::Paste, TClipCommand::Delete})
        EXPECT_FALSE(clip.Enabled(c));
    for (auto c : {TClipCommand::Add, TClipCommand::AllSelect, TClipCommand::ReverseSelect, TClipCommand::View,
                   TClipCommand::Open})
        EXPECT_TRUE(clip.Enabled(c));
    clip.Execute(TClipCommand::Delete);  // Del before the menu ever opened
    EXPECT_EQ(list.Count(), 2);

    clip.MenuPopup();
    for (auto c : {TClipCommand::Cut, TClipCommand::Copy, TClipCommand::Paste, TClipCommand::Delete})
        EXPECT_TRUE(clip.Enabled(c));
    EXPECT_FALSE(clip.Enabled(TClipCommand::View));  // no entry has the focus
    EXPECT_FALSE(clip.Enabled(TClipCommand::Open));
    clip.Execute(TClipCommand::Delete);
    EXPECT_EQ(list.Texts(), std::vector<std::string>{"b"});

    // States change only when the menu opens again.
    list.entries.clear();
    host.clipboard.reset();
    EXPECT_TRUE(clip.Enabled(TClipCommand::Delete));
    clip.MenuPopup();
    for (auto c : {TClipCommand::Cut, TClipCommand::Copy, TClipCommand::Paste, TClipCommand::Delete,
                   TClipCommand::AllSelect, TClipCommand::ReverseSelect, TClipCommand::View, TClipCommand::Open})
        EXPECT_FALSE(clip.Enabled(c));
    EXPECT_TRUE(clip.Enabled(TClipCommand::Add));
}

TEST_F(ClipListTest, SelectAllFocusesTheListAndPreviewsTheFirstEntry)
{
    Fill({"c:\\y.bmp", "c:\\x.bmp"});
    clip.KAllSelectClick();
    EXPECT_EQ(list.SelectedCount(), 2);
    EXPECT_TRUE(list.hasFocus);
    EXPECT_TRUE(list.entries[0].Focused);
    EXPECT_EQ(host.previews, std::vector<std::string>{"c:\\x.bmp"});
    // With a focused entry the focus stays where it is.
    list.SetItemFocused(1, true);
    clip.KAllSelectClick();
    EXPECT_TRUE(list.entries[1].Focused);
}

TEST_F(ClipListTest, InvertTogglesEveryEntryAndPreviewsTheFirstSelectedOrBlanks)
{
    Fill({"a", "b", "c"});
    list.Select({0});
    clip.ViewItem(list.EntryAt(0));
    clip.KReveseSelectClick();
    EXPECT_EQ(list.SelectedCount(), 2);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_EQ(host.previews.back(), "b");
    list.Select({0});
    clip.KReveseSelectClick();
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(host.blanks, 0);  // "b" is still listed: the preview keeps it
    list.entries.erase(list.entries.begin() + 1);  // "b" leaves the list
    list.Select({0, 1});
    clip.KReveseSelectClick();
    EXPECT_EQ(host.blanks, 1);
}

TEST_F(ClipListTest, PreviewFollowsTheSelectionOnlyWhenItsEntryIsDeselectedOrGone)
{
    Fill({"a", "b", "c"});
    list.Select({1});
    clip.ListChange(true);
    EXPECT_EQ(host.previews, std::vector<std::string>{"b"});
    list.Select({2});
    clip.ListChange(true);  // "b" is still selected
    clip.ListChange(false);
    EXPECT_EQ(host.previews.size(), 1u);

    // While a button is down in the list, changes wait for its release.
    clip.ListMessage(0x0204);
    list.SetSelected(1, false);
    clip.ListChange(true);
    EXPECT_EQ(host.previews.size(), 1u);
    clip.ListMessage(0x0205);
    EXPECT_FALSE(clip.ListMouseDown);
    clip.ListMouseUp();
    EXPECT_EQ(host.previews.back(), "c");
    clip.ListMessage(0x0201);
    EXPECT_TRUE(clip.ListMouseDown);
    // A button-up the list took for itself while watching for a drag.
    list.SetSelected(2, false);
    list.SetSelected(0, true);
    clip.ListMessageHandled(0x0201, true);
    EXPECT_TRUE(clip.ListMouseDown);
    clip.ListMessageHandled(0x0201, false);
    EXPECT_FALSE(clip.ListMouseDown);
    EXPECT_EQ(host.previews.back(), "a");
}

TEST_F(ClipListTest, EnterAndOpenUseThePreviewAndTheFocusedEntry)
{
    Fill({"a", "b"});
    clip.ViewItem(list.EntryAt(0));
    list.SetItemFocused(1, true);
    char key = 13;
    clip.ListKeyPress(key);
    EXPECT_EQ(host.dblClicks, 1);
    clip.OpenPreviewItem();  // what the preview's double click opens
    clip.ListDblClick();
    EXPECT_EQ(host.opened, (std::vector<std::string>{"a", "b"}));
    clip.KViewClick();
    EXPECT_EQ(host.previews.back(), "b");
    // A previewed entry that was deleted is forgotten, not opened.
    list.Delete(1);
    clip.OpenPreviewItem();
    EXPECT_EQ(clip.PreviewItem, 0u);
    EXPECT_EQ(host.opened.size(), 2u);
    char other = 'x';
    clip.ListKeyPress(other);
    EXPECT_EQ(host.dblClicks, 1);
}

TEST_F(ClipListTest, AddAsksTheOpenDialogWithTheLoadersFilter)
{
    auto dialogs = std::make_unique<ScriptedOpenDialog>();
    ScriptedOpenDialog& seen = *dialogs;
    Application().SetDialogs(std::move(dialogs));
    seen.choose = {"d:\\p\\z.bmp", "d:\\p\\y.gif"};
    clip.KAddClick();
    EXPECT_EQ(seen.seen.Filter, "All|*.bmp;*.gif");
    EXPECT_EQ(seen.seen.FilterIndex, 1);
    EXPECT_EQ(seen.seen.Title, "ｸﾘｯﾌﾟﾌｧｲﾙの追加");
    EXPECT_EQ(seen.seen.Options,
              ofAllowMultiSelect | ofHideReadOnly | ofPathMustExist | ofFileMustExist);
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"d:\\p\\y.gif", "d:\\p\\z.bmp"}));
    seen.choose.clear();
    clip.KAddClick();
    EXPECT_EQ(list.Count(), 2);
    Application().SetDialogs(MakeHeadlessDialogs());
}

}  // namespace
