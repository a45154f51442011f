// Each settings dialog fills its controls from the settings record, and OK stores what
// the user left in them; Cancel and the close box store nothing. OK and Cancel are
// not IDOK and IDCANCEL, so Enter and Escape end no dialog.
#include "settings_dialogs.h"

#include "../platform/window_system.h"
#include "../resources/resource.h"
#include "user_settings.h"

namespace {

// ---- Size step and position step ---------------------------------------------

void OnSizeStepOk(HWND dialog)
{
    UserSettings.SetSizeStep(ReadNumber(dialog, IDC_SIZE_STEP_EDIT));
    EndDialogRun(dialog);
}

void OnPositionStepOk(HWND dialog)
{
    UserSettings.SetPositionStep(ReadNumber(dialog, IDC_POSITION_STEP_EDIT));
    EndDialogRun(dialog);
}

// ---- Filters -------------------------------------------------------------------

void OnFiltersInit(HWND dialog)
{
    int32_t flags = UserSettings.GetFilterFlags();
    if (flags & FILTER_SHOW_VISIBLE)
        CheckBox(dialog, IDC_SHOW_VISIBLE);
    if (flags & FILTER_SHOW_HIDDEN)
        CheckBox(dialog, IDC_SHOW_HIDDEN);
    if (flags & FILTER_SHOW_BLANK_TITLES)
        CheckBox(dialog, IDC_SHOW_BLANK);
}

void OnFiltersOk(HWND dialog)
{
    // The whole field is rebuilt from the boxes, so only the three bits can be set.
    int32_t flags = 0;
    if (IsBoxChecked(dialog, IDC_SHOW_VISIBLE))
        flags = FILTER_SHOW_VISIBLE;
    if (IsBoxChecked(dialog, IDC_SHOW_HIDDEN))
        flags |= FILTER_SHOW_HIDDEN;
    if (IsBoxChecked(dialog, IDC_SHOW_BLANK))
        flags |= FILTER_SHOW_BLANK_TITLES;
    UserSettings.SetFilterFlags(flags);
    EndDialogRun(dialog);
}

// ---- Auto refresh -------------------------------------------------------------

void OnAutoRefreshInit(HWND dialog)
{
    ShowNumber(dialog, IDC_REFRESH_INTERVAL, UserSettings.GetRefreshInterval());
    if (UserSettings.GetAutoRefresh() == 1)
        CheckBox(dialog, IDC_AUTO_REFRESH_ON);
}

void OnAutoRefreshOk(HWND dialog)
{
    UserSettings.SetAutoRefresh(IsBoxChecked(dialog, IDC_AUTO_REFRESH_ON) ? 1 : 0);
    UserSettings.SetRefreshInterval(ReadNumber(dialog, IDC_REFRESH_INTERVAL));
    EndDialogRun(dialog);
}

// ---- Shared dispatch ---------------------------------------------------------------

using Handler = void (*)(HWND);

// The four settings dialogs differ only in how they fill their controls and what OK stores.
void DispatchSettingsDialog(HWND dialog, UINT message, WPARAM wParam, Handler onInit, Handler onOk)
{
    switch (message) {
    case WM_INITDIALOG:
        onInit(dialog);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK_BUTTON)
            onOk(dialog);
        else if (LOWORD(wParam) == IDC_CANCEL_BUTTON)
            EndDialogRun(dialog);
        break;
    case WM_CLOSE:
        EndDialogRun(dialog);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        EndDialogRun(dialog);
    return 0;
}

INT_PTR CALLBACK SizeStepDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    DispatchSettingsDialog(dialog, message, wParam,
                           [](HWND d) { ShowNumber(d, IDC_SIZE_STEP_EDIT, UserSettings.GetSizeStep()); },
                           OnSizeStepOk);
    return 0;
}

INT_PTR CALLBACK PositionStepDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    DispatchSettingsDialog(dialog, message, wParam,
                           [](HWND d) { ShowNumber(d, IDC_POSITION_STEP_EDIT, UserSettings.GetPositionStep()); },
                           OnPositionStepOk);
    return 0;
}

INT_PTR CALLBACK FiltersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    DispatchSettingsDialog(dialog, message, wParam, OnFiltersInit, OnFiltersOk);
    return 0;
}

INT_PTR CALLBACK AutoRefreshDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    DispatchSettingsDialog(dialog, message, wParam, OnAutoRefreshInit, OnAutoRefreshOk);
    return 0;
}
