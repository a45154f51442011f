// Tarnavel's entry point: run the main dialog until it ends.
#include <windows.h>

#include "../resources/resource.h"
#include "../platform/window_system.h"
#include "main_dialog.h"
#include "program_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    appInstance = instance;
    RunDialog(appInstance, IDD_MAIN, nullptr, MainDialogProc);
    return 0;
}
