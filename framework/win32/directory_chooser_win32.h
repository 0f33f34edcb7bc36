#pragma once
// The directory chooser: a path edit over the tree of drives and directories,
// with OK, cancel and help. A directory that does not exist may be typed; OK
// confirms and creates it (DirectoryChooserAccepts), and No or a failure to
// create it keeps the chooser open.
#include <optional>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "framework/win32/modal_window.h"

class TDirectoryChooserWindow final : public TModalWindow {
public:
    TDirectoryChooserWindow(const std::string& title, const std::string& directory, HWND owner);

    HWND PathEdit() const { return edit_; }
    HWND Tree() const { return tree_; }
    // The directory chosen with OK; none before, or when cancelled.
    const std::optional<std::string>& Result() const { return result_; }

    static constexpr int kHelpButton = 100;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void AddDrives();
    // Fills a directory's item with its subdirectories, once.
    void FillChildren(HTREEITEM item);
    std::wstring ItemPath(HTREEITEM item) const;
    // Opens the tree along the existing part of the path.
    void RevealPath(const std::wstring& path);
    void Ok();

    HWND edit_ = nullptr;
    HWND tree_ = nullptr;
    bool revealing_ = false;
    std::optional<std::string> result_;
};

// Shows the chooser until it closes. The chosen directory, which exists, or none.
std::optional<std::string> RunDirectoryChooser(TDirectoryChooserWindow& chooser);
