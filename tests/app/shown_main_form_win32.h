#pragma once
// The program's window made and shown for a test, with the test's own dialog
// service installed before it; the window is gone, and the application ready
// for the next test, afterwards.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/win32/win32_platform.h"

template <typename Dialogs>
class ShownMainForm : public ::testing::Test {
protected:
    Dialogs* dialogs = nullptr;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        InstallWin32Platform();
        auto owned = std::make_unique<Dialogs>();
        dialogs = owned.get();
        Application().SetDialogs(std::move(owned));
        Application().Terminated = false;
        form = std::make_unique<TMainForm>();
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        form.reset();
        Pump();
        Application().Terminated = false;
    }
    static void Pump()
    {
        for (int i = 0; i < 3; ++i) Application().ProcessMessages();
    }
};
