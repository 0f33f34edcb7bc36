// The program entry: the application object, the main window, the message loop.
#include <windows.h>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        InstallWin32Platform();
        Application().Title = "TALVERN";
        Application().HelpFile = "TALVERN.HLP";
        TMainForm mainForm;
        mainForm.Show();
        Application().Run();
    } catch (const Exception& error) {
        Application().ShowException(error);
    }
    return 0;
}
