// The main dialog's procedure: start-up, closing, and the command dispatch.
//
// The dialog thread handles messages sent from other threads whenever it waits, also
// inside a rebuild (reading the title of another thread's window), inside start-up,
// and inside a command (while it waits for a window of another thread to be shown or
// placed). A refresh or a close arriving then would free the entries that the running
// work holds, so both are deferred until that work is over, and other commands
// arriving then are dropped.
#include "main_dialog.h"

#include "../catalogue/catalogue.h"
#include "../platform/window_requests.h"
#include "../platform/window_system.h"
#include "../resources/resource.h"
#include "../settings/auto_refresh.h"
#include "../settings/settings_dialogs.h"
#include "../settings/user_settings.h"
#include "animation.h"
#include "program_state.h"
#include "selection.h"
#include "step_geometry.h"

namespace {

bool busy;            // a rebuild or a command on the selected window is running
bool refreshPending;  // a refresh arrived while busy
bool closePending;    // a close arrived while busy
bool closing;         // the catalogue is gone for good: refreshes are dropped

void RunDeferredWork(HWND dialog);

// Untitled windows are listed only when the filters say so.
bool ListBlankTitles()
{
    return (UserSettings.GetFilterFlags() & FILTER_SHOW_BLANK_TITLES) != 0;
}

void RefreshList(HWND dialog)
{
    RefreshCatalogue(Control(dialog, IDC_WINDOW_LIST), ListBlankTitles());
    catalogueInvalid = 0;
    FollowSelectionAfterRebuild(dialog);
}

// Work that holds entries of the catalogue brackets itself with these two; false means
// other such work is running, or the catalogue is gone, and nothing may start.
bool BeginWork()
{
    if (busy || closing)
        return false;
    busy = true;
    return true;
}

void EndWork(HWND dialog)
{
    busy = false;
    RunDeferredWork(dialog);
}

void OnRefresh(HWND dialog)
{
    if (busy) {
        refreshPending = true;
        return;
    }
    if (!BeginWork())
        return;
    refreshPending = false;
    RefreshList(dialog);
    // One more rebuild for any request made meanwhile; later ones would find the
    // same windows, and looping on them could starve the user.
    if (refreshPending && !closePending)
        RefreshList(dialog);
    refreshPending = false;
    EndWork(dialog);
}

void OnClose(HWND dialog)
{
    if (busy) {
        closePending = true;
        return;
    }
    if (closing)
        return;
    closing = true;
    HandOverRequestsUnderWay();
    StopAutoRefreshWorker();
    FreeCatalogue();
    catalogueInvalid = 1;
    PlayClosingAnimation(dialog);
    EndDialogRun(dialog);
}

void RunDeferredWork(HWND dialog)
{
    if (closePending) {
        closePending = false;
        OnClose(dialog);
    } else if (refreshPending) {
        OnRefresh(dialog);
    }
}

// Commands on the selected entry: refreshes and closes wait until they are done.
void RunOnSelection(HWND dialog, void (*command)(HWND))
{
    if (BeginWork()) {
        command(dialog);
        EndWork(dialog);
    }
}

void RunOnSelection(HWND dialog, void (*step)(HWND, int16_t), int16_t direction)
{
    if (BeginWork()) {
        step(dialog, direction);
        EndWork(dialog);
    }
}

void OnInitDialog(HWND dialog)
{
    // Any program can send WM_INITDIALOG. Starting up again would start a second worker
    // and rebuild over the live catalogue, whose entries a command may be holding.
    if (dialog == mainDialog)
        return;
    mainDialog = dialog;
    detailsWindow = reselectWindow = nullptr;
    busy = refreshPending = closePending = closing = false;
    // Showing and activating the dialog can wait on other programs' windows; a refresh
    // or close that arrives meanwhile, before there is a catalogue, waits like one
    // that arrives during a command.
    BeginWork();
    workerThread = StartAutoRefreshWorker(dialog, &UserSettings, &workerThreadId);
    PlayOpeningAnimation(dialog);
    RebuildCatalogue(Control(dialog, IDC_WINDOW_LIST), ListBlankTitles(), 0);
    catalogueInvalid = 0;
    EndWork(dialog);
}

void RunSmallDialog(HWND dialog, int templateId, DLGPROC procedure)
{
    // A modal loop inside a running command would let the user start another one.
    if (busy || closing)
        return;
    RunDialog(nullptr, templateId, dialog, procedure);
}

void OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDC_WINDOW_LIST:  RunOnSelection(dialog, OnListNotification); break;
    case IDC_HIDE:         RunOnSelection(dialog, HideSelectedWindow); break;
    case IDC_RESTORE:      RunOnSelection(dialog, RestoreSelectedWindow); break;
    case IDC_MINIMIZE:     RunOnSelection(dialog, MinimizeSelectedWindow); break;
    case IDC_MAXIMIZE:     RunOnSelection(dialog, MaximizeSelectedWindow); break;
    case IDC_SET_POSITION: RunOnSelection(dialog, SetSelectedWindowPosition); break;
    case IDC_MOVE_UP:      RunOnSelection(dialog, StepMoveSelectedWindow, MOVE_UP); break;
    case IDC_MOVE_DOWN:    RunOnSelection(dialog, StepMoveSelectedWindow, MOVE_DOWN); break;
    case IDC_MOVE_RIGHT:   RunOnSelection(dialog, StepMoveSelectedWindow, MOVE_RIGHT); break;
    case IDC_MOVE_LEFT:    RunOnSelection(dialog, StepMoveSelectedWindow, MOVE_LEFT); break;
    case IDC_TALLER:       RunOnSelection(dialog, StepResizeSelectedWindow, RESIZE_TALLER); break;
    case IDC_SHORTER:      RunOnSelection(dialog, StepResizeSelectedWindow, RESIZE_SHORTER); break;
    case IDC_NARROWER:     RunOnSelection(dialog, StepResizeSelectedWindow, RESIZE_NARROWER); break;
    case IDC_WIDER:        RunOnSelection(dialog, StepResizeSelectedWindow, RESIZE_WIDER); break;
    case IDC_REFRESH:
    case ID_FILE_REFRESH:  SendRefresh(dialog); break;
    case ID_FILE_EXIT:     SendClose(dialog); break;
    case IDC_ABOUT:
    case ID_HELP_ABOUT:    RunSmallDialog(dialog, IDD_ABOUT, AboutDialogProc); break;
    case ID_OPTIONS_SIZE_STEP:     RunSmallDialog(dialog, IDD_SIZE_STEP, SizeStepDialogProc); break;
    case ID_OPTIONS_POSITION_STEP: RunSmallDialog(dialog, IDD_POSITION_STEP, PositionStepDialogProc); break;
    case ID_OPTIONS_REFRESH_RATE:
        RunSmallDialog(dialog, IDD_AUTO_REFRESH, AutoRefreshDialogProc);
        SendRefresh(dialog);
        break;
    case ID_OPTIONS_FILTERS:
        RunSmallDialog(dialog, IDD_FILTERS, FiltersDialogProc);
        SendRefresh(dialog);
        break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); break;
    case WM_CLOSE:      OnClose(dialog); break;
    case WM_COMMAND:    OnCommand(dialog, LOWORD(wParam)); break;
    case WMU_REFRESH:   OnRefresh(dialog); break;
    default: break;
    }
    return 0;
}
