// Definitions of the main window's program-wide state.
#include "program_state.h"

HINSTANCE appInstance = nullptr;
HWND mainDialog = nullptr;
int32_t selectedIndex = 0;
HWND detailsWindow = nullptr;
HWND reselectWindow = nullptr;
int32_t catalogueInvalid = 0;
HANDLE workerThread = nullptr;
unsigned workerThreadId = 0;
std::unique_ptr<char[]> scratchTitle;
