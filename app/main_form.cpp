#include "app/main_form.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "app/main_form_description.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/screen.h"
#include "framework/sysutils.h"
#include "framework/win32/clipboard.h"
#include "framework/win32/shell.h"
#include "image/path_helpers.h"

namespace {

// The plug-ins this build can load: 32-bit ones on the 32-bit build, 64-bit
// and 32-bit ones on the 64-bit build.
#ifdef _WIN64
const char* const kPluginFilter = "プラグイン(*.sph;*.spi)|*.SPH;*.SPI|全てのファイル(*.*)|*.*";
const char* const kPluginPattern = "*.sph";
#else
const char* const kPluginFilter = "プラグイン(*.spi)|*.SPI|全てのファイル(*.*)|*.*";
const char* const kPluginPattern = "*.spi";
#endif

}  // namespace

TMainForm::TMainForm()
{
    controls_ = {
        {"PanelImageOut", &PanelImageOut}, {"PanelImage", &PanelImage},     {"Image", &Image},
        {"ShapeClip", &ShapeClip},         {"GroupBoxImageInfo", &GroupBoxImageInfo},
        {"ButtonImageInfo", &ButtonImageInfo}, {"GroupBox1", &GroupBox1},   {"EditLeft", &EditLeft},
        {"EditTop", &EditTop},             {"EditRight", &EditRight},       {"EditBottom", &EditBottom},
        {"EditWidth", &EditWidth},         {"EditHeight", &EditHeight},     {"Label1", &Label1},
        {"Label2", &Label2},               {"Label3", &Label3},             {"Label4", &Label4},
        {"Label6", &Label6},               {"Label8", &Label8},             {"ListViewClip", &ListViewClip},
        {"Label5", &Label5},               {"EditSavePath", &EditSavePath}, {"ButtonBrowse", &ButtonBrowse},
        {"CheckGV", &CheckGV},             {"ButtonGV", &ButtonGV},         {"CheckSusie", &CheckSusie},
        {"ButtonSusie", &ButtonSusie},     {"ButtonRun", &ButtonRun},       {"ButtonCancel", &ButtonCancel},
        {"ButtonHelp", &ButtonHelp},       {"StatusBar", &StatusBar},
    };
    // 1. The window and its controls; the form description switches both
    // outside decoders on, and each stays on only where it found what it needs.
    BuildFromDescription();
    Image.SetGVEnable(true);
    Image.SetSusieEnable(true);

    // The preview: centred, fitting only pictures larger than itself, on black.
    Image.SetAutoAlign(aaCenter);
    Image.SetAutoZoom(azLarge);
    Image.Zoom = 1.0;
    Image.SetColor(clBlack);
    ShapeClip.Brush.Style = bsClear;
    ShapeClip.Pen.Color = clWhite;
    ShapeClip.Pen.Mode = pmXor;

    OnClose = [](TControl&) { Application().Terminate(); };

    // 2. The help file lies beside the program, under its name.
    FileSetHelp("");
    // 3.
    Screen().SetCursorHandle(crHandMove, LoadCursorW(GetModuleHandleW(nullptr), L"HANDMOVE"));

    // 4. The start rectangle comes from the edge edits.
    kxRect& clip = Job.ClipRect;
    clip.Left = StrToInt(EditLeft.Text());
    clip.Top = StrToInt(EditTop.Text());
    clip.Right = StrToInt(EditRight.Text()) + 1;
    clip.Bottom = StrToInt(EditBottom.Text()) + 1;

    // 5, 6. The preview starts as a black picture of the rectangle's size.
    TBitmap& picture = Image.Picture().Bitmap();
    picture.Canvas().Brush.Color = clBlack;
    picture.PixelFormat = pf24bit;
    picture.SetWidth(clip.Width());
    picture.SetHeight(clip.Height());
    Image.Zoom = static_cast<double>(Image.Width()) / clip.Width();

    // 7. The decoder switches show whether each decoder really is on.
    CheckGV.SetChecked(Image.GVEnable);
    CheckSusie.SetChecked(Image.SusieEnable);

    // 8. Drop registration goes with the window's handle (CreateWnd).

    // 9. The window-procedure hooks.
    OldListWndProc = ListViewClip.WindowProc;
    ListViewClip.WindowProc = [this](TMessage& message) { ListWndProc(message); };
    OldShapeWndProc = ShapeClip.WindowProc;
    ShapeClip.WindowProc = [this](TMessage& message) { ShapeWndProc(message); };
}

// Drop registration goes with the window, whenever it is made.
void TMainForm::CreateWnd()
{
    TForm::CreateWnd();
    SetDragAccept(true);
}

TMainForm::~TMainForm() = default;

TControl* TMainForm::FindControl(const std::string& name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void TMainForm::BuildFromDescription()
{
    const TFormDescription& form = MainFormDescription();
    Name = form.Name;
    caption_ = form.Caption;
    Font.Name = form.FontName;
    Font.Height = form.FontHeight;
    Font.Charset = form.FontCharset;
    Position = poScreenCenter;
    KeyPreview = true;
    SetClientSize(form.ClientWidth, form.ClientHeight);
    for (const TPopupMenuDescription& menu : form.PopupMenus) BuildPopupMenu(menu);

    for (const TControlDescription& d : form.Controls) {
        TControl* control = FindControl(d.Name);
        if (!control) throw std::logic_error("form description names an unknown control: " + d.Name);
        control->Name = d.Name;
        control->SetBounds(d.Left, d.Top, d.Width, d.Height);
        control->Hint = d.Hint;
        control->ShowHint = !d.Hint.empty();
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            windowed->TabOrder = d.TabOrder;
            windowed->SetCaption(d.Caption);
        }
        switch (d.Kind) {
        case TControlKind::Panel: {
            auto& panel = dynamic_cast<TPanel&>(*control);
            panel.BevelOuter = d.Lowered ? bvLowered : bvNone;
            if (d.Black) panel.Color = clBlack;
            break;
        }
        case TControlKind::Label: {
            auto& label = dynamic_cast<TLabel&>(*control);
            label.Alignment = d.Centered ? taCenter : taLeftJustify;
            label.SetCaption(d.Caption);
            label.SetAutoSize(d.AutoSize);
            break;
        }
        case TControlKind::Button: dynamic_cast<TButton&>(*control).SetCancel(d.Cancel); break;
        case TControlKind::ListView: {
            auto& list = dynamic_cast<TListView&>(*control);
            for (const auto& [caption, width] : d.Parts) list.Columns.push_back({caption, width});
            list.SortedByText = true;
            list.MultiSelect = true;
            list.HideSelection = false;
            list.ReadOnly = true;
            list.ColumnClick = false;
            break;
        }
        case TControlKind::StatusBar: {
            auto& bar = dynamic_cast<TStatusBar&>(*control);
            bar.SizeGrip = false;
            for (size_t i = 0; i < d.Parts.size(); ++i)
                bar.Panels.push_back({d.Parts[i].second, i == 0 ? taCenter : taLeftJustify, d.Parts[i].first});
            break;
        }
        default: break;
        }
        if (!d.PopupMenu.empty()) {
            if (d.PopupMenu != PopupMenuClipList.Name)
                throw std::logic_error("form description names an unknown menu: " + d.PopupMenu);
            dynamic_cast<TWinControl&>(*control).PopupMenu = &PopupMenuClipList;
        }
        TWinControl* parent = this;
        if (!d.Parent.empty()) parent = dynamic_cast<TWinControl*>(FindControl(d.Parent));
        if (!parent) throw std::logic_error("form description names an unknown parent: " + d.Parent);
        parent->InsertControl(*control);
        for (const TEventBinding& binding : d.Events) BindEvent(*control, binding.Event, binding.Handler);
    }
    if (form.OnKeyPress == "FormKeyPress")
        OnKeyPress = [this](TControl& sender, char& key) { FormKeyPress(sender, key); };
    SetActiveControlLink(dynamic_cast<TWinControl*>(FindControl(form.ActiveControl)));
}

void TMainForm::BuildPopupMenu(const TPopupMenuDescription& description)
{
    if (description.Name != "PopupMenuClipList")
        throw std::logic_error("form description names an unknown menu: " + description.Name);
    TPopupMenu& menu = PopupMenuClipList;
    menu.Name = description.Name;
    menu.Items.clear();
    for (const TMenuItemDescription& d : description.Items)
        menu.Items.push_back({.Name = d.Name, .Caption = d.Caption, .ShortCut = d.ShortCut, .Enabled = d.Enabled,
                              .OnClick = {}});
    for (size_t i = 0; i < description.Items.size(); ++i)
        if (!description.Items[i].OnClick.empty()) BindMenuItem(menu.Items[i], description.Items[i].OnClick);
    if (description.OnPopup != "PopupMenuClipListPopup")
        throw std::logic_error("form description names an unknown handler: " + description.OnPopup);
    menu.OnPopup = [this](TPopupMenu& sender) { PopupMenuClipListPopup(sender); };
}

void TMainForm::BindMenuItem(TMenuItem& item, const std::string& handler)
{
    using Handler = void (TMainForm::*)(TMenuItem&);
    static const std::map<std::string, Handler> handlers = {
        {"KAddClick", &TMainForm::KAddClick},       {"KCutClick", &TMainForm::KCutClick},
        {"KCopyClick", &TMainForm::KCopyClick},     {"KPasteClick", &TMainForm::KPasteClick},
        {"KDeleteClick", &TMainForm::KDeleteClick}, {"KAllSelectClick", &TMainForm::KAllSelectClick},
        {"KReveseSelectClick", &TMainForm::KReveseSelectClick}, {"KViewClick", &TMainForm::KViewClick},
    };
    if (handler == "ListViewClipDblClick") {
        item.OnClick = [this](TMenuItem&) { ListViewClipDblClick(ListViewClip); };
        return;
    }
    const auto it = handlers.find(handler);
    if (it == handlers.end()) throw std::logic_error("form description names an unknown handler: " + handler);
    item.OnClick = [this, method = it->second](TMenuItem& sender) { (this->*method)(sender); };
}

void TMainForm::BindEvent(TControl& control, const std::string& event, const std::string& handler)
{
    // Handlers of the decoder settings, the output directory chooser and help
    // come with the start-up work; until then their controls do nothing.
    static const char* const kNotYetBuilt[] = {"ButtonBrowseClick", "CheckGVClick",      "ButtonGVClick",
                                               "CheckSusieClick",   "ButtonSusieClick", "ButtonHelpClick"};
    if (event == "OnMouseDown" && handler == "ImageMouseDown")
        control.OnMouseDown = [this](TControl& s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageMouseDown(s, b, sh, x, y);
        };
    else if (event == "OnMouseMove" && handler == "ImageMouseMove")
        control.OnMouseMove = [this](TControl& s, TShiftState sh, int x, int y) { ImageMouseMove(s, sh, x, y); };
    else if (event == "OnMouseUp" && handler == "ImageMouseUp")
        control.OnMouseUp = [this](TControl& s, TMouseButton b, TShiftState sh, int x, int y) {
            ImageMouseUp(s, b, sh, x, y);
        };
    else if (event == "OnDblClick" && handler == "ImageDblClick")
        control.OnDblClick = [this](TControl& s) { ImageDblClick(s); };
    else if (event == "OnPaint" && handler == "ImagePaint")
        dynamic_cast<kxvImage&>(control).OnPaint = [this](kxvImage& s, TCanvas& c) { ImagePaint(s, c); };
    else if (event == "OnClick" && handler == "EditClipExit")
        control.OnClick = [this](TControl& s) { EditClipExit(s); };
    else if (event == "OnClick" && handler == "ButtonRunClick")
        control.OnClick = [this](TControl& s) { ButtonRunClick(s); };
    else if (event == "OnClick" && handler == "ButtonCancelClick")
        control.OnClick = [this](TControl& s) { ButtonCancelClick(s); };
    else if (event == "OnClick" && handler == "CheckGVClick")
        control.OnClick = [this](TControl& s) { CheckGVClick(s); };
    else if (event == "OnClick" && handler == "CheckSusieClick")
        control.OnClick = [this](TControl& s) { CheckSusieClick(s); };
    else if (event == "OnClick" && handler == "ButtonGVClick")
        control.OnClick = [this](TControl& s) { ButtonGVClick(s); };
    else if (event == "OnClick" && handler == "ButtonSusieClick")
        control.OnClick = [this](TControl& s) { ButtonSusieClick(s); };
    else if (event == "OnClick" && handler == "ButtonBrowseClick")
        control.OnClick = [this](TControl& s) { ButtonBrowseClick(s); };
    else if (event == "OnClick" && handler == "ButtonHelpClick")
        control.OnClick = [this](TControl& s) { ButtonHelpClick(s); };
    else if (event == "OnExit" && handler == "EditClipExit")
        dynamic_cast<TWinControl&>(control).OnExit = [this](TControl& s) { EditClipExit(s); };
    else if (event == "OnKeyPress" && handler == "EditClipKeyPress")
        dynamic_cast<TWinControl&>(control).OnKeyPress = [this](TControl& s, char& k) { EditClipKeyPress(s, k); };
    else if (event == "OnDblClick" && handler == "ListViewClipDblClick")
        control.OnDblClick = [this](TControl& s) { ListViewClipDblClick(s); };
    else if (event == "OnChange" && handler == "ListViewClipChange")
        dynamic_cast<TListView&>(control).OnChange = [this](TControl& s, int i, TItemChange c) {
            ListViewClipChange(s, i, c);
        };
    else if (event == "OnMouseUp" && handler == "ListViewClipMouseUp")
        control.OnMouseUp = [this](TControl& s, TMouseButton b, TShiftState sh, int x, int y) {
            ListViewClipMouseUp(s, b, sh, x, y);
        };
    else if (event == "OnKeyPress" && handler == "ListViewClipKeyPress")
        dynamic_cast<TWinControl&>(control).OnKeyPress = [this](TControl& s, char& k) { ListViewClipKeyPress(s, k); };
    else if (event != "OnClick" || std::find(std::begin(kNotYetBuilt), std::end(kNotYetBuilt), handler) ==
                                       std::end(kNotYetBuilt))
        throw std::logic_error("form description binds an unknown handler: " + event + " -> " + handler);
}

// ---- handlers

void TMainForm::ButtonRunClick(TControl&) { Job.ButtonRunClick(); }

void TMainForm::ButtonCancelClick(TControl&) { Job.ButtonCancelClick(); }

void TMainForm::FormKeyPress(TControl&, char& key) { Job.FormKeyPress(key); }

TClipInput TMainForm::InputOf(const TControl* sender) const
{
    if (sender == &EditLeft) return TClipInput::Left;
    if (sender == &EditTop) return TClipInput::Top;
    if (sender == &EditRight) return TClipInput::Right;
    if (sender == &EditBottom) return TClipInput::Bottom;
    if (sender == &EditWidth) return TClipInput::Width;
    if (sender == &EditHeight) return TClipInput::Height;
    if (sender == &ButtonImageInfo) return TClipInput::ImageInfo;
    return TClipInput::None;
}

TEdit& TMainForm::EditOf(TClipInput input)
{
    switch (input) {
    case TClipInput::Left: return EditLeft;
    case TClipInput::Top: return EditTop;
    case TClipInput::Right: return EditRight;
    case TClipInput::Bottom: return EditBottom;
    case TClipInput::Width: return EditWidth;
    case TClipInput::Height: return EditHeight;
    default: throw std::logic_error("no edit for this input");
    }
}

bool TMainForm::ClipChange(TControl* sender) { return Editor.ClipChange(InputOf(sender)); }

void TMainForm::EditClipExit(TControl& sender) { ClipChange(&sender); }

void TMainForm::EditClipKeyPress(TControl& sender, char& key)
{
    if (key != 13) return;
    if (!ClipChange(&sender)) return;
    SelectNext(dynamic_cast<TWinControl*>(&sender), true);
    key = 0;
}

TPoint TMainForm::ImagePointOf(TControl& sender, int x, int y)
{
    return Image.ScreenToClient(sender.ClientToScreen(TPoint{x, y}));
}

void TMainForm::ImageMouseDown(TControl& sender, TMouseButton, TShiftState, int x, int y)
{
    Editor.MouseDown(&sender == &ShapeClip, TPoint{x, y}, ImagePointOf(sender, x, y));
}

void TMainForm::ImageMouseMove(TControl& sender, TShiftState, int x, int y)
{
    Editor.MouseMove(&sender == &ShapeClip, TPoint{x, y}, ImagePointOf(sender, x, y));
}

void TMainForm::ImageMouseUp(TControl& sender, TMouseButton, TShiftState, int x, int y)
{
    Editor.MouseUp(&sender == &ShapeClip, TPoint{x, y}, ImagePointOf(sender, x, y));
}

void TMainForm::ImageDblClick(TControl&) { Editor.DblClick(); }

void TMainForm::ImagePaint(kxvImage&, TCanvas&) { Editor.ImagePaint(); }

void TMainForm::ShapeWndProc(TMessage& message)
{
    if (message.Msg == WM_LBUTTONDBLCLK_) ImageDblClick(ShapeClip);
    OldShapeWndProc(message);
}

// ---- decoder settings, output directory, help

// A switch that refuses to go on (its decoder is missing) leaves its box ticked:
// the box says what was asked for, the next dialog what was found.
void TMainForm::CheckGVClick(TControl&) { Image.SetGVEnable(CheckGV.Checked()); }

void TMainForm::CheckSusieClick(TControl&) { Image.SetSusieEnable(CheckSusie.Checked()); }

void TMainForm::ButtonGVClick(TControl&)
{
    TOpenDialog dialog;
    dialog.Filter = "プログラム(*.exe)|*.EXE|全てのファイル(*.*)|*.*";
    dialog.FilterIndex = 1;
    dialog.Title = "GVのある場所";
    dialog.FileName = Image.GetGVPath();
    dialog.Options = (dialog.Options | ofFileMustExist) & ~ofAllowMultiSelect;
    if (!dialog.Execute()) return;
    Image.SetGVPath(dialog.FileName);
    CheckGV.SetChecked(Image.GVEnable);
}

void TMainForm::ButtonSusieClick(TControl&)
{
    TOpenDialog dialog;
    dialog.Filter = kPluginFilter;
    dialog.FilterIndex = 1;
    dialog.Title = "Susie PlagInのある場所";
    dialog.FileName = Image.GetSusiePath() + "\\" + kPluginPattern;
    dialog.Options = (dialog.Options | ofFileMustExist) & ~ofAllowMultiSelect;
    if (!dialog.Execute()) return;
    const std::string& file = dialog.FileName;
    Image.SetSusiePath(file.substr(0, file.size() - std::min(file.size(), FileNamePart(file).size() + 1)));
    CheckSusie.SetChecked(Image.SusieEnable);
}

void TMainForm::ButtonBrowseClick(TControl&)
{
    if (auto directory = Application().Dialogs().SelectDirectory("ﾃﾞｨﾚｸﾄﾘの選択", EditSavePath.Text()))
        EditSavePath.SetText(*directory);
}

void TMainForm::ButtonHelpClick(TControl&) { Application().Dialogs().ShowHelp(Application().HelpFile); }

// ---- TClipJobHost

void TMainForm::ProcessMessages() { Application().ProcessMessages(); }

void TMainForm::ShowError(const std::string& message) { MessageDlg(message, mtError, mbOK); }

TConfirmAnswer TMainForm::Confirm(const std::string& message)
{
    switch (MessageDlg(message, mtConfirmation, mbYesNoCancel)) {
    case mrYes: return TConfirmAnswer::Yes;
    case mrNo: return TConfirmAnswer::No;
    default: return TConfirmAnswer::Cancel;
    }
}

int TMainForm::EntryCount() { return ListViewClip.Count(); }
std::string TMainForm::EntryText(int index) { return ListViewClip.ItemText(index); }
void TMainForm::FocusList() { ListViewClip.SetFocus(); }
void TMainForm::SetEntryFocused(int index, bool focused) { ListViewClip.SetItemFocused(index, focused); }
void TMainForm::SetEntrySelected(int index, bool selected) { ListViewClip.SetSelected(index, selected); }
void TMainForm::ClearEntryResult(int index) { ListViewClip.SetSubItem(index, 1, ""); }
void TMainForm::SetEntryResult(int index, const std::string& result) { ListViewClip.SetSubItem(index, 1, result); }
void TMainForm::MakeEntryVisible(int index) { ListViewClip.MakeVisible(index); }
void TMainForm::RepaintList() { ListViewClip.Repaint(); }
void TMainForm::ClearAllSelections() { ListViewClip.ClearSelection(); }
void TMainForm::SetStatusText(const std::string& text) { StatusBar.SetPanelText(1, text); }
void TMainForm::SetImageInfoPath(const std::string& path) { GroupBoxImageInfo.SetCaption(path); }
void TMainForm::SetImageInfoText(const std::string& text) { ButtonImageInfo.SetCaption(text); }
std::string TMainForm::OutputDirectory() { return EditSavePath.Text(); }
void TMainForm::CloseWindow() { Close(); }

// ---- TClipRectView

std::string TMainForm::EditText(TClipInput edit) { return EditOf(edit).Text(); }
void TMainForm::SetEditText(TClipInput edit, const std::string& text) { EditOf(edit).SetText(text); }
void TMainForm::ShowMessage(const std::string& text) { ::ShowMessage(text); }
void TMainForm::RepaintImage() { Image.Invalidate(); }
int TMainForm::PictureWidth() { return Image.Picture().Width(); }
int TMainForm::PictureHeight() { return Image.Picture().Height(); }
double TMainForm::Zoom() { return Image.Zoom; }
TPoint TMainForm::DrawOrigin() { return TPoint{Image.DrawRect.Left, Image.DrawRect.Top}; }
TRect TMainForm::ShapeBounds() { return ShapeClip.BoundsRect(); }
void TMainForm::SetShapeBounds(const TRect& b) { ShapeClip.SetBounds(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top); }
TCursor TMainForm::ShapeCursor() { return ShapeClip.Cursor(); }
void TMainForm::SetShapeCursor(TCursor cursor) { ShapeClip.SetCursor(cursor); }
void TMainForm::SetCoordinateText(const std::string& text) { StatusBar.SetPanelText(0, text); }
void TMainForm::OpenPreviewItem() { ClipList.OpenPreviewItem(); }

// ---- the clip list

void TMainForm::PopupMenuClipListPopup(TPopupMenu& sender)
{
    ClipList.MenuPopup();
    for (TMenuItem& item : sender.Items)
        if (const auto command = TClipList::CommandOf(item.Name)) item.Enabled = ClipList.Enabled(*command);
}

void TMainForm::KAddClick(TMenuItem&) { ClipList.Execute(TClipCommand::Add); }
void TMainForm::KCutClick(TMenuItem&) { ClipList.Execute(TClipCommand::Cut); }
void TMainForm::KCopyClick(TMenuItem&) { ClipList.Execute(TClipCommand::Copy); }
void TMainForm::KPasteClick(TMenuItem&) { ClipList.Execute(TClipCommand::Paste); }
void TMainForm::KDeleteClick(TMenuItem&) { ClipList.Execute(TClipCommand::Delete); }
void TMainForm::KAllSelectClick(TMenuItem&) { ClipList.Execute(TClipCommand::AllSelect); }
void TMainForm::KReveseSelectClick(TMenuItem&) { ClipList.Execute(TClipCommand::ReverseSelect); }
void TMainForm::KViewClick(TMenuItem&) { ClipList.Execute(TClipCommand::View); }
void TMainForm::ListViewClipDblClick(TControl&) { ClipList.ListDblClick(); }
void TMainForm::ListViewClipKeyPress(TControl&, char& key) { ClipList.ListKeyPress(key); }

void TMainForm::ListViewClipChange(TControl&, int, TItemChange change)
{
    // A run's own selection changes do not reload the preview.
    if (Job.Running()) return;
    ClipList.ListChange(change == ctState);
}

void TMainForm::ListViewClipMouseUp(TControl&, TMouseButton, TShiftState, int, int) { ClipList.ListMouseUp(); }

void TMainForm::SetDragAccept(bool on) { ::SetDragAccept(Handle(), on); }

void TMainForm::WMDropFiles(TMessage& message)
{
    AddFiles(TakeDroppedFiles(reinterpret_cast<HDROP>(message.WParam), TClipList::kDropNameBuffer));
    message.Result = 0;
}

void TMainForm::WndProc(TMessage& message)
{
    if (message.Msg == WM_DROPFILES) {
        WMDropFiles(message);
        return;
    }
    TForm::WndProc(message);
}

void TMainForm::ListWndProc(TMessage& message)
{
    ClipList.ListMessage(message.Msg);
    OldListWndProc(message);
    const int button = message.Msg == WM_RBUTTONDOWN ? VK_RBUTTON : VK_LBUTTON;
    ClipList.ListMessageHandled(message.Msg, GetKeyState(button) < 0);
}

// ---- TClipListHost

void TMainForm::BlankPreview()
{
    TBitmap& picture = Image.Picture().Bitmap();
    picture.Canvas().Brush.Color = clBlack;
    picture.Canvas().Brush.Style = bsSolid;
    picture.Canvas().FillRect(TRect{0, 0, picture.Width(), picture.Height()});
    GroupBoxImageInfo.SetCaption("");
    Image.Invalidate();
}

std::string TMainForm::OpenFilter() { return Image.GetFilter(); }
bool TMainForm::ClipboardHasText() { return ::ClipboardHasText(); }
std::optional<std::string> TMainForm::ClipboardText() { return ::ClipboardText(); }
void TMainForm::SetClipboardText(const std::string& text) { ::SetClipboardText(Handle(), text); }
void TMainForm::ShellOpen(const std::string& path) { ::ShellOpen(Handle(), path); }
void TMainForm::PreviewDblClick() { ImageDblClick(Image); }
