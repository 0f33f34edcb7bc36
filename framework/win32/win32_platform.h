#pragma once
// Puts the Win32 halves of the application object and the screen in place:
// the real message loop and timers, message boxes for dialogs and exceptions,
// and the system cursors under the framework's cursor numbers.
#include <memory>

#include "framework/application.h"
#include "framework/dialogs.h"

std::unique_ptr<TMessageBackend> MakeWin32Backend();
std::unique_ptr<TDialogService> MakeWin32Dialogs();
void InstallScreenCursors();

// All three at once, for the program and the Win32 tests.
void InstallWin32Platform();
