#pragma once
// A window of the program's own built in code (the directory chooser, the help
// window): a caption, child controls in the dialog font, and a modal loop that
// disables its owner until the window closes.
#include <windows.h>

#include <string>

#include "framework/win32/handles.h"

class TModalWindow {
public:
    TModalWindow(const TModalWindow&) = delete;
    TModalWindow& operator=(const TModalWindow&) = delete;
    virtual ~TModalWindow();

    HWND Handle() const { return window_.get(); }
    bool Closed() const { return closed_; }
    // Shows the window and handles messages until it closes.
    void ShowModal();

protected:
    // A window of the given client size, centred over the owner (or the screen).
    TModalWindow(const std::string& title, int clientWidth, int clientHeight, HWND owner);
    HWND AddChild(const wchar_t* className, const std::wstring& text, DWORD style, int x, int y, int width,
                  int height, int id, DWORD exStyle = 0);
    void Close() { closed_ = true; }
    // Resizes the window's client area and centres it again.
    void SetClientSize(int clientWidth, int clientHeight);
    // The width of a line of text in the window's font.
    int TextWidth(const std::wstring& text) const;
    // The window's messages; return true when handled (result in `result`).
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // The window's rectangle for a client area of this size, centred over the
    // owner (or the screen) and kept on the screen.
    RECT Placement(int clientWidth, int clientHeight) const;

    HWND owner_;
    UniqueGdiObject font_;
    UniqueWindow window_;
    bool closed_ = false;
};
