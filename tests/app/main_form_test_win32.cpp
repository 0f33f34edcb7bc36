// The real window under Wine, driven by window messages: the edits, the
// picture information button, the mouse on the preview with its cursors and
// readout, the double click, batch runs with their results, and cancel.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#undef TextOut  // the canvas method, not the ANSI/wide macro

#include <cstring>
#include <memory>
#include <vector>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/file_system.h"
#include "framework/win32/clipboard.h"
#include "framework/win32/win32_platform.h"
#include "shown_main_form_win32.h"
#include "test_support.h"

namespace {

struct ShownDialog {
    std::string Text;
    TMsgDlgType Type;
};

class RecordingDialogs : public TDialogService {
public:
    std::vector<ShownDialog> shown;
    TModalResult answer = mrYes;
    TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons) override
    {
        shown.push_back({text, type});
        return answer;
    }
    void ShowMessage(const std::string& text) override { shown.push_back({text, mtCustom}); }
    std::vector<TOpenDialog> opened;
    std::vector<std::string> choose;
    bool ExecuteOpenDialog(TOpenDialog& dialog) override
    {
        opened.push_back(dialog);
        dialog.Files = choose;
        return !choose.empty();
    }
};

void WriteBitmap(const std::string& path, int width, int height, TColor color)
{
    TBitmap bitmap;
    bitmap.PixelFormat = pf24bit;
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(TRect{0, 0, width, height});
    bitmap.SaveToFile(path);
}

class MainFormTest : public ShownMainForm<RecordingDialogs> {
protected:
    void Type(TEdit& edit, const std::string& text)
    {
        edit.SetFocus();
        edit.SetText("");
        for (char c : text) SendMessageW(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    void Enter(TEdit& edit) { SendMessageW(edit.Handle(), WM_CHAR, 13, 0); }
    void Mouse(TWinControl& target, UINT msg, int x, int y, WPARAM keys = 0)
    {
        SendMessageW(target.Handle(), msg, keys, MAKELPARAM(x, y));
    }
    std::vector<std::string> Edits()
    {
        return {form->EditLeft.Text(),   form->EditTop.Text(),   form->EditRight.Text(),
                form->EditBottom.Text(), form->EditWidth.Text(), form->EditHeight.Text()};
    }
    // Loads a picture 336 x 200: the preview shows it at zoom 0.5, drawn at (0, 14).
    void LoadHalfZoomPicture()
    {
        const std::string dir = ScratchDir("half_zoom");
        WriteBitmap(dir + "\\p.bmp", 336, 200, clGray);
        ASSERT_TRUE(form->LoadPreview(dir + "\\p.bmp"));
        UpdateWindow(form->PanelImage.Handle());
        ASSERT_EQ(form->Image.Zoom, 0.5);
        ASSERT_EQ(form->Image.DrawRect, kxRect(0, 14, 168, 114));
    }
    // PanelImage coordinates of a picture point (Image lies at (1, 1)).
    static POINT Panel(int px, int py) { return POINT{1 + px / 2, 1 + 14 + py / 2}; }
    void Drag(TWinControl& target, POINT from, POINT to)
    {
        Mouse(target, WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
        Mouse(target, WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
        Mouse(target, WM_LBUTTONUP, to.x, to.y);
    }
};

TEST_F(MainFormTest, StartsAsTheFormDescriptionSays)
{
    EXPECT_EQ(form->Caption(), "TALVERN Ver.1.10");
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 472);
    EXPECT_EQ(client.bottom, 357);
    EXPECT_EQ(Edits(), (std::vector<std::string>{"0", "0", "639", "479", "640", "480"}));
    EXPECT_EQ(form->Job.ClipRect, kxRect(0, 0, 640, 480));
    EXPECT_EQ(form->ButtonImageInfo.Caption(), "640x480");
    EXPECT_EQ(form->StatusBar.PanelText(0), "0000,0000");
    EXPECT_EQ(form->StatusBar.PanelText(1), "ファイルをドラッグ＆ドロップして下さい");
    EXPECT_EQ(GetFocus(), form->ListViewClip.Handle());
    // The preview starts black, 640 x 480, fitted into the view.
    EXPECT_EQ(form->Image.Picture().Width(), 640);
    EXPECT_EQ(form->Image.Zoom, 0.2625);
    EXPECT_NE(Screen().CursorHandle(crHandMove), nullptr);
    const LONG style = GetWindowLongW(form->ListViewClip.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & LVS_SORTASCENDING);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & (LVS_SINGLESEL | LVS_EDITLABELS));
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    EXPECT_FALSE(GetWindowLongW(form->StatusBar.Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
}

TEST_F(MainFormTest, TypingAndEnterAppliesTheEditAndMovesTheFocusOn)
{
    Type(form->EditLeft, "50");
    Enter(form->EditLeft);
    EXPECT_EQ(GetFocus(), form->EditTop.Handle());
    Type(form->EditWidth, "100");
    Enter(form->EditWidth);
    EXPECT_EQ(GetFocus(), form->EditHeight.Handle());
    EXPECT_EQ(Edits(), (std::vector<std::string>{"50", "0", "149", "479", "100", "480"}));
    Type(form->EditRight, "10");
    Enter(form->EditRight);
    EXPECT_EQ(Edits(), (std::vector<std::string>{"50", "0", "10", "479", "-39", "480"}));
    // The last of the six goes on to the next control of the window.
    form->EditHeight.SetFocus();
    Enter(form->EditHeight);
    EXPECT_NE(GetFocus(), form->EditHeight.Handle());
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST_F(MainFormTest, NonNumericEditShowsTheConversionMessageAndKeepsTheFocus)
{
    Type(form->EditTop, "x");
    Enter(form->EditTop);
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].Text, "'x' は数値ではありません");
    EXPECT_EQ(GetFocus(), form->EditTop.Handle());
    EXPECT_EQ(form->Job.ClipRect, kxRect(0, 0, 640, 480));
}

TEST_F(MainFormTest, LeavingAnEditAppliesIt)
{
    Type(form->EditBottom, "99");
    form->EditLeft.SetFocus();
    EXPECT_EQ(form->Job.ClipRect, kxRect(0, 0, 640, 100));
}

TEST_F(MainFormTest, ImageInfoButtonTakesTheWholePicture)
{
    const std::string dir = ScratchDir("image_info");
    WriteBitmap(dir + "\\small.bmp", 320, 200, clGray);
    ASSERT_TRUE(form->LoadPreview(dir + "\\small.bmp"));
    EXPECT_EQ(form->ButtonImageInfo.Caption(), "320x200x24");
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\small.bmp");
    SendMessageW(form->ButtonImageInfo.Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Edits(), (std::vector<std::string>{"0", "0", "319", "199", "320", "200"}));
    EXPECT_EQ(form->ShapeClip.Cursor(), crDefault);
}

// The columns of `image` between rows top and bottom that hold a pixel other
// than `background`.
std::vector<int> InkColumns(const TBitmap& image, int top, int bottom, std::uint32_t background)
{
    std::vector<int> columns;
    for (int x = 0; x < image.Width(); ++x)
        for (int y = top; y < bottom; ++y)
            if ((image.ScanLine(y)[x] & 0xFFFFFF) != background) {
                columns.push_back(x);
                break;
            }
    return columns;
}

TEST_F(MainFormTest, ALongPreviewedPathShowsItsFileNameInsideTheFrame)
{
    const std::string dir = ScratchDir("image_info_path") + "\\a rather long folder name\\of the summer pictures";
    ASSERT_TRUE(ForceDirectories(dir));
    WriteBitmap(dir + "\\photo640.bmp", 64, 48, clGray);
    ASSERT_TRUE(form->LoadPreview(dir + "\\photo640.bmp"));
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\photo640.bmp");  // the text stays the path

    TBitmap box;
    form->GroupBoxImageInfo.PaintClientTo(box);
    const std::uint32_t face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t background = (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF);
    TCanvas& canvas = box.Canvas();
    const int textHeight = canvas.TextHeight("W");
    // Above the frame's top line the caption's ink ends a margin short of the right side.
    const std::vector<int> caption = InkColumns(box, 0, textHeight / 2, background);
    ASSERT_FALSE(caption.empty());
    EXPECT_GE(caption.front(), 8);
    EXPECT_LE(caption.back(), box.Width() - 8);

    // Its end is the file name, drawn the same way by itself.
    TBitmap name;
    name.SetSize(box.Width(), textHeight);
    name.Canvas().Font = canvas.Font;
    name.Canvas().Brush.Color = TColor(face);
    name.Canvas().FillRect(TRect{0, 0, name.Width(), name.Height()});
    name.Canvas().Font.Color = TColor(GetSysColor(COLOR_BTNTEXT));
    name.Canvas().TextOut(0, 0, "photo640.bmp");
    const std::vector<int> nameInk = InkColumns(name, 0, textHeight / 2, background);
    ASSERT_FALSE(nameInk.empty());
    const int shift = caption.back() - nameInk.back();
    for (int y = 0; y < textHeight; ++y)
        for (int x = nameInk.front(); x <= nameInk.back(); ++x)
            ASSERT_EQ(box.ScanLine(y)[x + shift] & 0xFFFFFF, name.ScanLine(y)[x] & 0xFFFFFF) << x << "," << y;
}

TEST_F(MainFormTest, RubberBandOnImageAndPanelWithReadout)
{
    LoadHalfZoomPicture();
    Drag(form->PanelImage, Panel(40, 20), Panel(120, 80));
    EXPECT_EQ(form->Job.ClipRect, kxRect(40, 20, 121, 81));
    EXPECT_EQ(Edits(), (std::vector<std::string>{"40", "20", "120", "80", "81", "61"}));
    EXPECT_EQ(form->StatusBar.PanelText(0), " 120,  80");
    // The outline follows: (DrawRect + 1) + edge x zoom.
    EXPECT_EQ(form->ShapeClip.BoundsRect(), (TRect{21, 25, 61, 55}));
    EXPECT_EQ(form->ShapeClip.Cursor(), crHandMove);

    // On the panel's own border, outside the picture: clamped onto it.
    Drag(form->PanelImage, POINT{0, 0}, POINT{0, 129});
    EXPECT_EQ(form->Job.ClipRect, kxRect(0, 0, 1, 200));
    EXPECT_EQ(form->StatusBar.PanelText(0), "   0, 199");
    // The outer panel reaches the preview through screen coordinates.
    Drag(form->PanelImageOut, POINT{7 + 1 + 10, 7 + 1 + 14 + 10}, POINT{7 + 1 + 20, 7 + 1 + 14 + 30});
    EXPECT_EQ(form->Job.ClipRect, kxRect(20, 20, 41, 61));
}

TEST_F(MainFormTest, OutlineCursorsMoveAndEdgeDrag)
{
    LoadHalfZoomPicture();
    Drag(form->PanelImage, Panel(100, 60), Panel(200, 140));  // 101 x 81 at (100, 60)
    ASSERT_EQ(form->Job.ClipRect, kxRect(100, 60, 201, 141));
    const TRect outline = form->ShapeClip.BoundsRect();
    ASSERT_EQ(outline, (TRect{51, 45, 101, 85}));
    // Hover: edge bands and the hand inside.
    Mouse(form->PanelImage, WM_MOUSEMOVE, outline.Left + 1, outline.Top + 20);
    EXPECT_EQ(form->ShapeClip.Cursor(), crSizeWE);
    Mouse(form->PanelImage, WM_MOUSEMOVE, outline.Left + 20, outline.Bottom - 2);
    EXPECT_EQ(form->ShapeClip.Cursor(), crSizeNS);
    Mouse(form->PanelImage, WM_MOUSEMOVE, outline.Left + 20, outline.Top + 20);
    EXPECT_EQ(form->ShapeClip.Cursor(), crHandMove);

    // Move by (10, 5) view pixels: (20, 10) picture pixels, size kept.
    Drag(form->PanelImage, POINT{outline.Left + 20, outline.Top + 20}, POINT{outline.Left + 30, outline.Top + 25});
    EXPECT_EQ(form->Job.ClipRect, kxRect(120, 70, 221, 151));
    // Into the bottom-right corner: flush with the picture, the readout on it.
    const TRect moved = form->ShapeClip.BoundsRect();
    Drag(form->PanelImage, POINT{moved.Left + 20, moved.Top + 20}, POINT{300, 300});
    EXPECT_EQ(form->Job.ClipRect, kxRect(235, 119, 336, 200));
    EXPECT_EQ(form->StatusBar.PanelText(0), " 335, 199");

    // The left edge dragged past the right one stops one pixel short.
    const TRect corner = form->ShapeClip.BoundsRect();
    Mouse(form->PanelImage, WM_MOUSEMOVE, corner.Left + 1, corner.Top + 20);
    ASSERT_EQ(form->ShapeClip.Cursor(), crSizeWE);
    Drag(form->PanelImage, POINT{corner.Left + 1, corner.Top + 20}, POINT{169, corner.Top + 20});
    EXPECT_EQ(form->Job.ClipRect, kxRect(335, 119, 336, 200));
}

TEST_F(MainFormTest, DoubleClickRestoresTheRectangleOnImageAndOnOutline)
{
    LoadHalfZoomPicture();
    Type(form->EditLeft, "100");
    Enter(form->EditLeft);
    const kxRect before = form->Job.ClipRect;
    ASSERT_EQ(before, kxRect(100, 0, 640, 480));
    Pump();  // the preview repaints and places the outline
    // A double click outside the outline, on the picture.
    const POINT at = Panel(10, 20);
    Mouse(form->PanelImage, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    Mouse(form->PanelImage, WM_LBUTTONUP, at.x, at.y);
    EXPECT_EQ(form->Job.ClipRect, kxRect(10, 20, 11, 21));
    Mouse(form->PanelImage, WM_LBUTTONDBLCLK, at.x, at.y, MK_LBUTTON);
    Mouse(form->PanelImage, WM_LBUTTONUP, at.x, at.y);
    EXPECT_EQ(form->Job.ClipRect, before);
    EXPECT_EQ(form->EditLeft.Text(), "100");

    // On the outline the hooked window procedure sees the double click.
    Drag(form->PanelImage, Panel(100, 60), Panel(200, 140));
    const kxRect drawn = form->Job.ClipRect;
    const TRect outline = form->ShapeClip.BoundsRect();
    const POINT inside{outline.Left + 20, outline.Top + 20};
    Mouse(form->PanelImage, WM_LBUTTONDOWN, inside.x, inside.y, MK_LBUTTON);
    Mouse(form->PanelImage, WM_LBUTTONUP, inside.x, inside.y);
    Mouse(form->PanelImage, WM_LBUTTONDBLCLK, inside.x, inside.y, MK_LBUTTON);
    Mouse(form->PanelImage, WM_LBUTTONUP, inside.x, inside.y);
    EXPECT_EQ(form->Job.ClipRect, drawn);
    EXPECT_FALSE(form->Editor.IgnoreNextMouseDown);
}

TEST_F(MainFormTest, TheOutlineShowsItsCursorUnderThePointer)
{
    LoadHalfZoomPicture();
    Drag(form->PanelImage, Panel(100, 60), Panel(200, 140));
    const TRect outline = form->ShapeClip.BoundsRect();
    POINT inside{outline.Left + 20, outline.Top + 20};
    ClientToScreen(form->PanelImage.Handle(), &inside);
    SetCursorPos(inside.x, inside.y);
    SendMessageW(form->PanelImage.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->PanelImage.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(Screen().CursorHandle(crHandMove)));
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM result)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(MainFormTest, HintsAreTooltips)
{
    HWND tooltip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 13);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(form->ButtonCancel.Handle());
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"クリッピングの中止／終了");
}

class MainFormRunTest : public MainFormTest {
protected:
    std::string dir;
    void SetUp() override
    {
        MainFormTest::SetUp();
        dir = ScratchDir("run");
        WriteBitmap(dir + "\\a.bmp", 800, 600, clRed);
        WriteBitmap(dir + "\\b.bmp", 100, 50, clBlue);
        WriteAll(dir + "\\c.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
        for (const char* name : {"c.bmp", "a.bmp", "b.bmp"}) {
            const int index = form->ListViewClip.Add(dir + "\\" + name);
            form->ListViewClip.SetSubItem(index, 1, " ");
        }
    }
    std::vector<std::string> Results()
    {
        std::vector<std::string> results;
        for (int i = 0; i < form->ListViewClip.Count(); ++i) results.push_back(form->ListViewClip.SubItem(i, 1));
        return results;
    }
    static int WidthOf(const std::string& path)
    {
        TBitmap bitmap;
        bitmap.LoadFromFile(path);
        return bitmap.Width();
    }
};

TEST_F(MainFormRunTest, RunIntoANewDirectoryAfterConfirmation)
{
    ASSERT_EQ(form->ListViewClip.ItemText(0), dir + "\\a.bmp");  // sorted
    form->EditSavePath.SetText(dir + "\\out");
    dialogs->answer = mrYes;
    SendMessageW(form->ButtonRun.Handle(), BM_CLICK, 0, 0);
    Pump();
    ASSERT_GE(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].Text, "出力先のディレクトリを作成していいですか？");
    EXPECT_EQ(dialogs->shown[0].Type, mtConfirmation);
    EXPECT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(Results(), (std::vector<std::string>{"OK", "OK", "NG"}));
    EXPECT_EQ(form->ButtonImageInfo.Caption(), "Invalid");
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\c.bmp");
    EXPECT_EQ(form->StatusBar.PanelText(1), "ファイルをドラッグ＆ドロップして下さい");
    EXPECT_EQ(form->ListViewClip.SelectedCount(), 0);
    EXPECT_FALSE(FileExists(dir + "\\out\\c.bmp"));
    TBitmap a;
    a.LoadFromFile(dir + "\\out\\a.bmp");
    EXPECT_EQ(a.Width(), 640);
    EXPECT_EQ(a.Height(), 480);
    EXPECT_EQ(a.Canvas().Pixel(0, 0), clRed);
    // Beyond the picture the crop is black, at the rectangle's size.
    TBitmap b;
    b.LoadFromFile(dir + "\\out\\b.bmp");
    EXPECT_EQ(b.Width(), 640);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clBlue);
    EXPECT_EQ(b.Canvas().Pixel(300, 300), clBlack);
}

TEST_F(MainFormRunTest, ConfirmationRefusedCreatesNothing)
{
    form->EditSavePath.SetText(dir + "\\out");
    dialogs->answer = mrNo;
    form->ButtonRun.Click();
    EXPECT_EQ(PathKind(dir + "\\out"), TPathKind::NotFound);
    EXPECT_EQ(Results(), (std::vector<std::string>{" ", " ", " "}));
}

TEST_F(MainFormRunTest, FailedWriteShowsSaveErrorAndTheRunGoesOn)
{
    ASSERT_TRUE(CreateDir(dir + "\\out"));
    ASSERT_TRUE(CreateDir(dir + "\\out\\a.bmp"));  // a directory in the output's place
    form->EditSavePath.SetText(dir + "\\out");
    dialogs->answer = mrOk;
    form->ButtonRun.Click();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].Text, "Save Error!");
    EXPECT_EQ(dialogs->shown[0].Type, mtError);
    EXPECT_EQ(Results(), (std::vector<std::string>{"NG", "OK", "NG"}));
}

TEST_F(MainFormRunTest, EscDuringARunStopsItAfterTheCurrentFileWithoutWriting)
{
    form->EditSavePath.SetText(dir);
    // Queued now, the key reaches the window at the run's first pump.
    PostMessageW(form->ListViewClip.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form->ButtonRun.Click();
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_FALSE(form->Job.Running());
    EXPECT_TRUE(form->Job.CancelRequested());
    EXPECT_EQ(Results(), (std::vector<std::string>{"NG", " ", " "}));
    EXPECT_EQ(PathKind(dir + "\\a.bmp"), TPathKind::Other);
    EXPECT_EQ(WidthOf(dir + "\\a.bmp"), 800);  // not overwritten
}

TEST_F(MainFormRunTest, CancelButtonDuringARunThenWhileIdleClosesTheWindow)
{
    form->EditSavePath.SetText(dir + "\\out");
    ASSERT_TRUE(CreateDir(dir + "\\out"));
    PostMessageW(form->ButtonCancel.Handle(), BM_CLICK, 0, 0);
    form->ButtonRun.Click();
    EXPECT_EQ(Results(), (std::vector<std::string>{"NG", " ", " "}));
    EXPECT_TRUE(IsWindow(form->Handle()));
    // Idle now: cancel closes the window and ends the program's loop.
    SendMessageW(form->ButtonCancel.Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_TRUE(Application().Terminated);
}

TEST_F(MainFormRunTest, ChecksRefuseBadRectangleEmptyListAndFileInTheWay)
{
    Type(form->EditRight, "-2");
    Enter(form->EditRight);
    form->ButtonRun.Click();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown.back().Text, "クリップ範囲の指定が正しくありません");
    Type(form->EditRight, "639");
    Enter(form->EditRight);
    form->EditSavePath.SetText(dir + "\\a.bmp");
    form->ButtonRun.Click();
    EXPECT_EQ(dialogs->shown.back().Text, "出力先と同じ名前のファイルがあります");
    form->ListViewClip.Clear();
    form->ButtonRun.Click();
    EXPECT_EQ(dialogs->shown.back().Text, "ファイルが指定されていません");
    EXPECT_EQ(dialogs->shown.back().Type, mtError);
}

// ---- the clip list

class MainFormListTest : public MainFormTest {
protected:
    TListView& list() { return form->ListViewClip; }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list().Count(); ++i) texts.push_back(list().ItemText(i));
        return texts;
    }
    void Key(UINT vk, bool ctrl = false)
    {
        BYTE keys[256] = {};
        if (ctrl) keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(list().Handle(), WM_KEYDOWN, vk, 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    // Opens the context menu as a right click does; the keys posted first
    // drive it (Esc closes it).
    void OpenMenu(const std::vector<UINT>& keys)
    {
        for (UINT vk : keys) PostMessageW(list().Handle(), WM_KEYDOWN, vk, 0);
        POINT at{20, 40};
        ClientToScreen(list().Handle(), &at);
        SendMessageW(list().Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list().Handle()),
                     MAKELPARAM(at.x, at.y));
        Pump();
    }
    static void PutClipboardAnsi(const std::string& text)
    {
        OpenClipboard(nullptr);
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }
    static std::string ClipboardAnsi()
    {
        OpenClipboard(nullptr);
        std::string text;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
    static void EmptyTheClipboard()
    {
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
    }
    // A shell drop of these names, as the shell hands it to the window.
    void Drop(const std::vector<std::wstring>& names)
    {
        std::wstring list;
        for (const auto& name : names) list += name + L'\0';
        list += L'\0';
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
        GlobalUnlock(memory);
        SendMessageW(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }
};

TEST_F(MainFormListTest, MenuHasItsCaptionsAndShortcutsAndStartsWithEditingDisabled)
{
    EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EmptyTheClipboard();
    form->AddFiles({"c:\\a.bmp", "c:\\b.bmp"});
    list().SetSelected(0, true);
    Key(VK_DELETE);  // before the menu ever opened: nothing
    EXPECT_EQ(list().Count(), 2);

    OpenMenu({VK_ESCAPE});
    HMENU menu = form->PopupMenuClipList.Handle();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 10);
    const wchar_t* captions[] = {L"追加...\tIns", L"切り取り\tCtrl+X", L"コピー\tCtrl+C", L"貼り付け\tCtrl+V",
                                 L"削除\tDel", L"すべて選択\tCtrl+A", L"選択反転", L"", L"画像を見る",
                                 L"アプリケーションで開く"};
    const bool enabled[] = {true, true, true, false, true, true, true, true, true, true};
    for (int i = 0; i < 10; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), captions[i]) << i;
        if (i == 7) {
            EXPECT_TRUE(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR);
            continue;
        }
        EXPECT_EQ((GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) == 0, enabled[i]) << i;
    }
    Key(VK_DELETE);
    EXPECT_EQ(Texts(), std::vector<std::string>{"c:\\b.bmp"});

    // A real right click in the list opens the menu too; the list takes the
    // button-up itself, and the preview does not stay held.
    int popups = 0;
    auto old = form->PopupMenuClipList.OnPopup;
    form->PopupMenuClipList.OnPopup = [&](TPopupMenu& m) {
        old(m);
        ++popups;
    };
    PostMessageW(list().Handle(), WM_RBUTTONUP, 0, MAKELPARAM(20, 100));
    PostMessageW(list().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(list().Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 100));
    Pump();
    EXPECT_EQ(popups, 1);
    EXPECT_FALSE(form->ClipList.ListMouseDown);
}

TEST_F(MainFormListTest, CopyAndPasteGoThroughThePlainTextClipboard)
{
    form->AddFiles({"c:\\写真\\b.bmp", "c:\\写真\\a.bmp", "c:\\z.bmp"});
    list().SetSelected(1, true);
    list().SetSelected(2, true);
    PutClipboardAnsi("x");
    OpenMenu({VK_ESCAPE});
    Key('C', true);
    // Stored as Unicode, offered to ANSI readers in the system's code page, 932.
    EXPECT_EQ(ClipboardAnsi(), "c:\\\x8E\xCA\x90^\\a.bmp\r\nc:\\\x8E\xCA\x90^\\b.bmp\r\n");  // 写真
    Key('X', true);
    EXPECT_EQ(Texts(), std::vector<std::string>{"c:\\z.bmp"});
    Key('V', true);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"c:\\z.bmp", "c:\\写真\\a.bmp", "c:\\写真\\b.bmp"}));
    PutClipboardAnsi("C:\\Z.BMP\nd:\\q.gif\r\rlast");
    Key('V', true);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"", "c:\\z.bmp", "c:\\写真\\a.bmp", "c:\\写真\\b.bmp",
                                                 "d:\\q.gif", "last"}));
}

TEST_F(MainFormListTest, ChosenMenuItemsRunTheirCommands)
{
    form->AddFiles({"c:\\b.bmp", "c:\\a.bmp"});
    // すべて選択 is the sixth item.
    OpenMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(list().SelectedCount(), 2);
    EXPECT_EQ(GetFocus(), list().Handle());
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), "c:\\a.bmp");
    EXPECT_EQ(form->ButtonImageInfo.Caption(), "Invalid");

    dialogs->choose = {"d:\\in\\n.gif", "c:\\A.BMP"};
    OpenMenu({VK_DOWN, VK_RETURN});  // 追加...
    ASSERT_EQ(dialogs->opened.size(), 1u);
    EXPECT_EQ(dialogs->opened[0].Title, "ｸﾘｯﾌﾟﾌｧｲﾙの追加");
    EXPECT_EQ(dialogs->opened[0].Filter, form->Image.GetFilter());
    EXPECT_TRUE(dialogs->opened[0].Options & ofAllowMultiSelect);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"c:\\a.bmp", "c:\\b.bmp", "d:\\in\\n.gif"}));
    EXPECT_TRUE(list().ItemFocused(2));
    EXPECT_EQ(list().SubItem(2, 1), " ");
}

TEST_F(MainFormListTest, DroppedNamesAreAddedOnceAndCutAt387Characters)
{
    const std::wstring longName = L"c:\\" + std::wstring(500, L'x');
    Drop({L"C:\\A.GIF", L"c:\\a.gif", L"c:\\フォルダ", longName});
    ASSERT_EQ(list().Count(), 3);
    EXPECT_EQ(list().ItemText(0), "C:\\A.GIF");
    EXPECT_EQ(list().ItemText(1), "c:\\" + std::string(384, 'x'));
    EXPECT_EQ(list().ItemText(2), "c:\\フォルダ");
}

TEST_F(MainFormListTest, PreviewFollowsTheSelectionAndDeleteBlanksIt)
{
    const std::string dir = ScratchDir("list_preview");
    WriteBitmap(dir + "\\a.bmp", 64, 32, clRed);
    WriteBitmap(dir + "\\b.bmp", 48, 16, clBlue);
    form->AddFiles({dir + "\\a.bmp", dir + "\\b.bmp"});
    list().SetSelected(1, true);
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\b.bmp");
    EXPECT_EQ(form->ButtonImageInfo.Caption(), "48x16x24");
    list().SetSelected(0, true);  // b is still selected: the preview stays
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\b.bmp");

    // A button held in the list (here below the entries, which deselects
    // them) holds the preview until it comes up.
    BYTE keys[256] = {};
    keys[VK_LBUTTON] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(list().Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 200));
    SendMessageW(list().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 200));
    keys[VK_LBUTTON] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(form->ClipList.ListMouseDown);
    EXPECT_EQ(list().SelectedCount(), 0);
    list().SetSelected(0, true);
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\b.bmp");
    Pump();
    EXPECT_FALSE(form->ClipList.ListMouseDown);
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), dir + "\\a.bmp");

    list().SetSelected(0, true);
    OpenMenu({VK_ESCAPE});
    Key(VK_DELETE);
    EXPECT_EQ(list().Count(), 1);
    EXPECT_EQ(form->GroupBoxImageInfo.Caption(), "");
    EXPECT_EQ(form->Image.Picture().Bitmap().Canvas().Pixel(10, 10), clBlack);
    EXPECT_EQ(form->Image.Picture().Width(), 64);
}

TEST_F(MainFormListTest, EnterOpensThePreviewedEntryAndRestoresTheRectangle)
{
    const std::string dir = ScratchDir("list_enter");
    form->AddFiles({dir + "\\missing.bmp"});
    list().SetSelected(0, true);
    ASSERT_EQ(form->ButtonImageInfo.Caption(), "Invalid");
    form->Editor.SavedClipRect = kxRect(1, 2, 30, 40);
    SendMessageW(list().Handle(), WM_CHAR, 13, 0);
    EXPECT_EQ(form->Job.ClipRect, kxRect(1, 2, 30, 40));
    EXPECT_TRUE(form->Editor.IgnoreNextMouseDown);
    EXPECT_TRUE(dialogs->shown.empty());  // a failed open is silent
}

}  // namespace
