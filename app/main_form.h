#pragma once
// TMainForm: the program's one window. Its controls are built from the form
// description; it shows the clip job (the batch run) and the clip rectangle's
// editor, supplying what both need of a window.
#include <map>
#include <string>

#include "app/clip_job.h"
#include "app/clip_list.h"
#include "app/clip_rect_editor.h"
#include "app/main_form_description.h"
#include "framework/label.h"
#include "framework/shape.h"
#include "framework/win32/forms.h"
#include "framework/win32/list_view.h"
#include "framework/win32/menus.h"
#include "framework/win32/panels.h"
#include "framework/win32/status_bar.h"
#include "framework/win32/std_controls.h"
#include "image/kxv_super_image.h"

// The preview's component: the multi-format loader, through which the preview
// and the batch run load every file.
using TPreviewImage = kxvSuperImage;

class TMainForm : public TForm, public TClipJobHost, public TClipRectView, public TClipListHost {
public:
    TMainForm();
    ~TMainForm() override;

    TPanel PanelImageOut;
    TPanel PanelImage;
    TPreviewImage Image;
    TShape ShapeClip;
    TGroupBox GroupBoxImageInfo;
    TButton ButtonImageInfo;
    TGroupBox GroupBox1;
    TEdit EditLeft, EditTop, EditRight, EditBottom, EditWidth, EditHeight;
    TLabel Label1, Label2, Label3, Label4, Label6, Label8;
    TListView ListViewClip;
    TLabel Label5;
    TEdit EditSavePath;
    TButton ButtonBrowse;
    TCheckBox CheckGV;
    TButton ButtonGV;
    TCheckBox CheckSusie;
    TButton ButtonSusie;
    TButton ButtonRun;
    TButton ButtonCancel;
    TButton ButtonHelp;
    TStatusBar StatusBar;
    TPopupMenu PopupMenuClipList;

    TClipJob Job{*this, Image};
    TClipRectEditor Editor{*this, Job.ClipRect};
    TClipList ClipList{ListViewClip, *this};
    std::function<void(TMessage&)> OldShapeWndProc;
    std::function<void(TMessage&)> OldListWndProc;

    // Event handlers, named after control and event.
    void ButtonRunClick(TControl& sender);
    void ButtonCancelClick(TControl& sender);
    void FormKeyPress(TControl& sender, char& key);
    void EditClipExit(TControl& sender);
    void EditClipKeyPress(TControl& sender, char& key);
    void ImageMouseDown(TControl& sender, TMouseButton button, TShiftState shift, int x, int y);
    void ImageMouseMove(TControl& sender, TShiftState shift, int x, int y);
    void ImageMouseUp(TControl& sender, TMouseButton button, TShiftState shift, int x, int y);
    void ImageDblClick(TControl& sender);
    void ImagePaint(kxvImage& sender, TCanvas& canvas);
    void ShapeWndProc(TMessage& message);
    void CheckGVClick(TControl& sender);
    void CheckSusieClick(TControl& sender);
    void ButtonGVClick(TControl& sender);
    void ButtonSusieClick(TControl& sender);
    void ButtonBrowseClick(TControl& sender);
    void ButtonHelpClick(TControl& sender);

    // The clip list and its context menu.
    void PopupMenuClipListPopup(TPopupMenu& sender);
    void KAddClick(TMenuItem& sender);
    void KCutClick(TMenuItem& sender);
    void KCopyClick(TMenuItem& sender);
    void KPasteClick(TMenuItem& sender);
    void KDeleteClick(TMenuItem& sender);
    void KAllSelectClick(TMenuItem& sender);
    void KReveseSelectClick(TMenuItem& sender);
    void KViewClick(TMenuItem& sender);
    void ListViewClipDblClick(TControl& sender);
    void ListViewClipKeyPress(TControl& sender, char& key);
    void ListViewClipChange(TControl& sender, int index, TItemChange change);
    void ListViewClipMouseUp(TControl& sender, TMouseButton button, TShiftState shift, int x, int y);
    void AddFiles(const std::vector<std::string>& names) { ClipList.AddFiles(names); }
    void ViewItem(TListEntry entry) { ClipList.ViewItem(entry); }
    void OpenItem(TListEntry entry) { ClipList.OpenItem(entry); }
    // Registers the window with the shell as a target for dropped files.
    void SetDragAccept(bool on);
    void WMDropFiles(TMessage& message);
    void ListWndProc(TMessage& message);
    void WndProc(TMessage& message) override;

    bool ClipChange(TControl* sender);

    // The control of the form description with this name, or none.
    TControl* FindControl(const std::string& name) const;

    // TClipJobHost
    void ProcessMessages() override;
    void ShowError(const std::string& message) override;
    TConfirmAnswer Confirm(const std::string& message) override;
    int EntryCount() override;
    std::string EntryText(int index) override;
    void FocusList() override;
    void SetEntryFocused(int index, bool focused) override;
    void SetEntrySelected(int index, bool selected) override;
    void ClearEntryResult(int index) override;
    void SetEntryResult(int index, const std::string& result) override;
    void MakeEntryVisible(int index) override;
    void RepaintList() override;
    void ClearAllSelections() override;
    void SetStatusText(const std::string& text) override;
    void SetImageInfoPath(const std::string& path) override;
    void SetImageInfoText(const std::string& text) override;
    std::string OutputDirectory() override;
    void CloseWindow() override;

    // TClipRectView
    std::string EditText(TClipInput edit) override;
    void SetEditText(TClipInput edit, const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void RepaintImage() override;
    int PictureWidth() override;
    int PictureHeight() override;
    double Zoom() override;
    TPoint DrawOrigin() override;
    TRect ShapeBounds() override;
    void SetShapeBounds(const TRect& bounds) override;
    TCursor ShapeCursor() override;
    void SetShapeCursor(TCursor cursor) override;
    void SetCoordinateText(const std::string& text) override;
    void OpenPreviewItem() override;

    // TClipListHost
    bool LoadPreview(const std::string& path) override { return Job.LoadPreview(path); }
    void BlankPreview() override;
    std::string OpenFilter() override;
    bool ClipboardHasText() override;
    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(const std::string& text) override;
    void ShellOpen(const std::string& path) override;
    void PreviewDblClick() override;

protected:
    void CreateWnd() override;

private:
    void BuildFromDescription();
    void BindEvent(TControl& control, const std::string& event, const std::string& handler);
    void BuildPopupMenu(const TPopupMenuDescription& description);
    void BindMenuItem(TMenuItem& item, const std::string& handler);
    TClipInput InputOf(const TControl* sender) const;
    TEdit& EditOf(TClipInput input);
    TPoint ImagePointOf(TControl& sender, int x, int y);

    std::map<std::string, TControl*> controls_;
};
