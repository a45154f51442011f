// Definitions of the program-wide state and the settings record.
#include "program_state.h"

#include "user_settings.h"

SettingsRecord UserSettings;

HINSTANCE appInstance = nullptr;
std::atomic<HWND> mainDialog{nullptr};
int32_t selectedIndex = 0;
int32_t catalogueInvalid = 0;
HANDLE workerThread = nullptr;
unsigned workerThreadId = 0;
std::unique_ptr<char[]> scratchTitle;

HWND MainDialogHandle()
{
    return mainDialog.load(std::memory_order_relaxed);
}
