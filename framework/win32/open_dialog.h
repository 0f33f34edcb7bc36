#pragma once
// The system's open-file dialog for TOpenDialog (framework/dialogs.h).
#include "framework/dialogs.h"

bool ExecuteOpenDialogWin32(TOpenDialog& dialog);
