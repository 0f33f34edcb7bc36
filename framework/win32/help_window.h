#pragma once
// The help window: the help file's topics listed on the left, the chosen
// topic's text on the right.
#include <string>
#include <vector>

#include "framework/help_file.h"
#include "framework/win32/modal_window.h"

class THelpWindow final : public TModalWindow {
public:
    THelpWindow(const std::string& helpFile, HWND owner);

    HWND Contents() const { return list_; }
    HWND TopicText() const { return text_; }
    void ShowTopic(int index);

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::vector<THelpTopic> topics_;
    HWND list_ = nullptr;
    HWND text_ = nullptr;
};
