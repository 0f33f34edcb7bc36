#include "app/main_form_description.h"

namespace {

using K = TControlKind;

std::vector<TEventBinding> ImageMouse()
{
    return {{"OnMouseDown", "ImageMouseDown"}, {"OnMouseMove", "ImageMouseMove"}, {"OnMouseUp", "ImageMouseUp"}};
}

std::vector<TEventBinding> ClipEdit() { return {{"OnExit", "EditClipExit"}, {"OnKeyPress", "EditClipKeyPress"}}; }

TControlDescription Edit(const char* name, int left, int top, const char* text, int tabOrder)
{
    return {.Name = name, .Kind = K::Edit, .Parent = "GroupBox1", .Left = left, .Top = top, .Width = 41, .Height = 20,
            .Caption = text, .Hint = "", .TabOrder = tabOrder, .Events = ClipEdit()};
}

TControlDescription Label(const char* name, int left, int top, int width, int height, const char* text,
                          bool centered, bool autoSize)
{
    return {.Name = name, .Kind = K::Label, .Parent = "GroupBox1", .Left = left, .Top = top, .Width = width,
            .Height = height, .Caption = text, .Hint = "", .TabOrder = -1, .Events = {}, .Centered = centered,
            .AutoSize = autoSize};
}

TFormDescription Build()
{
    TFormDescription form{.Name = "MainForm",
                          .Caption = "TALVERN Ver.1.10",
                          .Width = 480,
                          .Height = 384,
                          .ClientWidth = 472,
                          .ClientHeight = 357,
                          .FontName = "ＭＳ Ｐゴシック",
                          .FontHeight = -12,
                          .FontCharset = 128,
                          .ActiveControl = "ListViewClip",
                          .OnKeyPress = "FormKeyPress",
                          .Controls = {},
                          .PopupMenus = {}};
    auto& c = form.Controls;
    c.push_back({.Name = "PanelImageOut", .Kind = K::Panel, .Parent = "", .Left = 8, .Top = 8, .Width = 185,
                 .Height = 145, .Caption = "", .Hint = "縮小画像とクリッピング範囲を表示", .TabOrder = 7,
                 .Events = ImageMouse()});
    c.push_back({.Name = "PanelImage", .Kind = K::Panel, .Parent = "PanelImageOut", .Left = 7, .Top = 7,
                 .Width = 170, .Height = 130, .Caption = "", .Hint = "", .TabOrder = 0, .Events = ImageMouse(),
                 .Lowered = true, .Black = true});
    auto imageEvents = ImageMouse();
    imageEvents.push_back({"OnDblClick", "ImageDblClick"});
    imageEvents.push_back({"OnPaint", "ImagePaint"});
    c.push_back({.Name = "Image", .Kind = K::Image, .Parent = "PanelImage", .Left = 1, .Top = 1, .Width = 168,
                 .Height = 128, .Caption = "", .Hint = "", .TabOrder = -1, .Events = imageEvents});
    c.push_back({.Name = "ShapeClip", .Kind = K::Shape, .Parent = "PanelImage", .Left = 16, .Top = 16, .Width = 137,
                 .Height = 97, .Caption = "", .Hint = "", .TabOrder = -1, .Events = ImageMouse()});
    c.push_back({.Name = "GroupBoxImageInfo", .Kind = K::GroupBox, .Parent = "", .Left = 8, .Top = 156,
                 .Width = 185, .Height = 41, .Caption = "", .Hint = "", .TabOrder = 11, .Events = {}});
    c.push_back({.Name = "ButtonImageInfo", .Kind = K::Button, .Parent = "GroupBoxImageInfo", .Left = 16, .Top = 16,
                 .Width = 153, .Height = 17, .Caption = "640x480", .Hint = "クリッピング範囲を設定", .TabOrder = 0,
                 .Events = {{"OnClick", "EditClipExit"}}});
    c.push_back({.Name = "GroupBox1", .Kind = K::GroupBox, .Parent = "", .Left = 8, .Top = 200, .Width = 185,
                 .Height = 97, .Caption = "Clipping", .Hint = "クリッピング範囲を指定", .TabOrder = 3,
                 .Events = {}});
    c.push_back(Edit("EditLeft", 40, 16, "0", 0));
    c.push_back(Edit("EditTop", 128, 16, "0", 1));
    c.push_back(Edit("EditRight", 40, 40, "639", 2));
    c.push_back(Edit("EditBottom", 128, 40, "479", 3));
    c.push_back(Edit("EditWidth", 40, 64, "640", 4));
    c.push_back(Edit("EditHeight", 128, 64, "480", 5));
    c.push_back(Label("Label2", 8, 20, 25, 17, "Left", true, false));
    c.push_back(Label("Label1", 88, 20, 33, 17, "Top", true, false));
    c.push_back(Label("Label4", 8, 44, 27, 12, "Right", true, true));
    c.push_back(Label("Label3", 82, 44, 37, 12, "Bottom", true, true));
    c.push_back(Label("Label6", 8, 68, 28, 12, "Width", false, true));
    c.push_back(Label("Label8", 88, 68, 33, 12, "Height", false, true));
    c.push_back({.Name = "ListViewClip", .Kind = K::ListView, .Parent = "", .Left = 200, .Top = 8, .Width = 265,
                 .Height = 241, .Caption = "", .Hint = "右クリックでメニュー表示", .TabOrder = 4,
                 .Events = {{"OnDblClick", "ListViewClipDblClick"},
                            {"OnChange", "ListViewClipChange"},
                            {"OnMouseUp", "ListViewClipMouseUp"},
                            {"OnKeyPress", "ListViewClipKeyPress"}},
                 .Parts = {{"クリップファイル", 206}, {"結果", 38}}, .PopupMenu = "PopupMenuClipList"});
    c.push_back({.Name = "Label5", .Kind = K::Label, .Parent = "", .Left = 200, .Top = 269, .Width = 36,
                 .Height = 12, .Caption = "出力先", .Hint = "", .TabOrder = -1, .Events = {}, .Centered = true});
    c.push_back({.Name = "EditSavePath", .Kind = K::Edit, .Parent = "", .Left = 248, .Top = 264, .Width = 161,
                 .Height = 20, .Caption = "", .Hint = "出力先ディレクトリを指定", .TabOrder = 5, .Events = {}});
    c.push_back({.Name = "ButtonBrowse", .Kind = K::Button, .Parent = "", .Left = 416, .Top = 262, .Width = 49,
                 .Height = 25, .Caption = "参照...", .Hint = "出力先ディレクトリを指定", .TabOrder = 6,
                 .Events = {{"OnClick", "ButtonBrowseClick"}}});
    c.push_back({.Name = "CheckGV", .Kind = K::CheckBox, .Parent = "", .Left = 8, .Top = 308, .Width = 16,
                 .Height = 17, .Caption = "", .Hint = "ＧＶを使用", .TabOrder = 12,
                 .Events = {{"OnClick", "CheckGVClick"}}});
    c.push_back({.Name = "ButtonGV", .Kind = K::Button, .Parent = "", .Left = 24, .Top = 304, .Width = 73,
                 .Height = 25, .Caption = "GV...", .Hint = "ＧＶの場所を指定", .TabOrder = 8,
                 .Events = {{"OnClick", "ButtonGVClick"}}});
    c.push_back({.Name = "CheckSusie", .Kind = K::CheckBox, .Parent = "", .Left = 104, .Top = 308, .Width = 16,
                 .Height = 17, .Caption = "", .Hint = "Susieプラグイン使用", .TabOrder = 13,
                 .Events = {{"OnClick", "CheckSusieClick"}}});
    c.push_back({.Name = "ButtonSusie", .Kind = K::Button, .Parent = "", .Left = 120, .Top = 304, .Width = 73,
                 .Height = 25, .Caption = "SusiePlugin...", .Hint = "Susieプラグインの場所を指定", .TabOrder = 9,
                 .Events = {{"OnClick", "ButtonSusieClick"}}});
    c.push_back({.Name = "ButtonRun", .Kind = K::Button, .Parent = "", .Left = 232, .Top = 304, .Width = 73,
                 .Height = 25, .Caption = "実行", .Hint = "クリッピングの実行", .TabOrder = 0,
                 .Events = {{"OnClick", "ButtonRunClick"}}});
    c.push_back({.Name = "ButtonCancel", .Kind = K::Button, .Parent = "", .Left = 312, .Top = 304, .Width = 73,
                 .Height = 25, .Caption = "キャンセル", .Hint = "クリッピングの中止／終了", .TabOrder = 1,
                 .Events = {{"OnClick", "ButtonCancelClick"}}, .Cancel = true});
    c.push_back({.Name = "ButtonHelp", .Kind = K::Button, .Parent = "", .Left = 392, .Top = 304, .Width = 73,
                 .Height = 25, .Caption = "ヘルプ", .Hint = "ヘルプを表示", .TabOrder = 2,
                 .Events = {{"OnClick", "ButtonHelpClick"}}});
    c.push_back({.Name = "StatusBar", .Kind = K::StatusBar, .Parent = "", .Left = 0, .Top = 335, .Width = 472,
                 .Height = 22, .Caption = "", .Hint = "", .TabOrder = -1, .Events = {},
                 .Parts = {{"0000,0000", 64}, {"ファイルをドラッグ＆ドロップして下さい", 0}}});
    form.PopupMenus.push_back({"PopupMenuClipList", "PopupMenuClipListPopup",
                               {{"KAdd", "追加...", 45, true, "KAddClick"},
                                {"KCut", "切り取り", 16472, false, "KCutClick"},
                                {"KCopy", "コピー", 16451, false, "KCopyClick"},
                                {"KPaste", "貼り付け", 16470, false, "KPasteClick"},
                                {"KDelete", "削除", 46, false, "KDeleteClick"},
                                {"KAllSelect", "すべて選択", 16449, true, "KAllSelectClick"},
                                {"KReveseSelect", "選択反転", 0, true, "KReveseSelectClick"},
                                {"N1", "-", 0, true, ""},
                                {"KView", "画像を見る", 0, true, "KViewClick"},
                                {"KOpen", "アプリケーションで開く", 0, true, "ListViewClipDblClick"}}});
    return form;
}

}  // namespace

const TFormDescription& MainFormDescription()
{
    static const TFormDescription description = Build();
    return description;
}
