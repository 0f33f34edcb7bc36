#include "framework/win32/help_window.h"

#include <algorithm>
#include <vector>

#include "framework/streams.h"
#include "framework/win32/wide.h"

namespace {

constexpr int kContents = 101;
constexpr int kCloseButton = IDCANCEL;

std::string ReadWholeFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    bytes.resize(static_cast<std::size_t>(file.Read(bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    return bytes;
}

}  // namespace

THelpWindow::THelpWindow(const std::string& helpFile, HWND owner) : TModalWindow("TALVERN ヘルプ", 600, 400, owner)
{
    try {
        topics_ = ParseHelpFile(ReadWholeFile(helpFile));
    } catch (...) {
        topics_.clear();
    }
    if (topics_.empty())
        topics_.push_back({"ヘルプ", "ヘルプファイルが見つかりません: " + helpFile});

    // The contents list fits its longest topic, and the text its longest line,
    // as far as the screen allows: the text's own line breaks and indents stay,
    // and a line still too long scrolls instead of wrapping.
    int titleWidth = 0, lineWidth = 0;
    for (const THelpTopic& topic : topics_) {
        titleWidth = std::max(titleWidth, TextWidth(Utf8ToWide(topic.Title)));
        for (std::size_t start = 0; start < topic.Text.size();) {
            const std::size_t end = std::min(topic.Text.find("\r\n", start), topic.Text.size());
            lineWidth = std::max(lineWidth, TextWidth(Utf8ToWide(topic.Text.substr(start, end - start))));
            start = end + 2;
        }
    }
    const int chrome = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    RECT screen;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    const int listWidth = std::max(160, titleWidth + chrome);
    const int textWidth =
        std::clamp(lineWidth + chrome, 416, std::max(416, int(screen.right - screen.left) - listWidth - 64));
    const int clientWidth = listWidth + textWidth + 24;
    SetClientSize(clientWidth, 400);
    list_ = AddChild(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 8, 8, listWidth, 352,
                     kContents, WS_EX_CLIENTEDGE);
    text_ = AddChild(L"EDIT", L"",
                     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                     listWidth + 16, 8, textWidth, 352, 102, WS_EX_CLIENTEDGE);
    AddChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, clientWidth - 83, 367, 75, 25, kCloseButton);
    for (const THelpTopic& topic : topics_)
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(topic.Title).c_str()));
    ShowTopic(0);
}

void THelpWindow::ShowTopic(int index)
{
    if (index < 0 || index >= static_cast<int>(topics_.size())) return;
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowTextW(text_, Utf8ToWide(topics_[static_cast<std::size_t>(index)].Text).c_str());
}

bool THelpWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&)
{
    if (msg != WM_COMMAND) return false;
    if (LOWORD(wParam) == kContents && HIWORD(wParam) == LBN_SELCHANGE) {
        ShowTopic(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
        return true;
    }
    if (LOWORD(wParam) == kCloseButton || LOWORD(wParam) == IDOK) {
        Close();
        return true;
    }
    return false;
}
