// The real tarnavel.exe in a process of its own, driven from outside with the messages
// a user's clicks produce: its main dialog, its list and its Auto Refresh dialog.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "cross_process.h"
#include "platform/window_system.h"
#include "processes.h"
#include "resources/resource.h"

extern const wchar_t MAIN_CAPTION[];
extern const wchar_t AUTO_REFRESH_CAPTION[];
// What a hidden window's row carries after its title.
extern const wchar_t HIDDEN_SUFFIX[];

class Tarnavel {
public:
    Tarnavel() = default;
    // Still running: ended by its handle.
    ~Tarnavel();
    Tarnavel(const Tarnavel&) = delete;
    Tarnavel& operator=(const Tarnavel&) = delete;

    // Starts the exe and waits until its list has rows. False when it did not get
    // there within startMs; Error() says what was missing.
    bool Start(const std::wstring& path, DWORD startMs = 60000);
    // Why the last Start, SetAutoRefresh or Exit fell short; empty when nothing did.
    const std::string& Error() const { return error; }

    HWND Dialog() const { return dialog; }
    HWND List() const { return list; }
    const ChildProcess& Process() const { return process; }
    DWORD ProcessId() const { return process.Id(); }
    bool Running() const { return process.Running(); }

    // A button or menu command, as a click delivers it; false when unanswered.
    bool Command(WORD id) const { return Click(dialog, id); }
    // The private refresh message: answered once the list is rebuilt.
    bool Refresh(UINT timeoutMs = SEND_TIMEOUT_MS) const
    {
        return Send(dialog, WMU_REFRESH, 0, 0, nullptr, timeoutMs);
    }
    int RowCount() const { return ListCount(list); }
    // "<no row>" when the row could not be read.
    std::wstring Row(int row) const;
    std::vector<std::wstring> Rows() const { return ListRows(list); }
    int RowOf(const std::wstring& text) const { return ListRowOf(list, text); }
    int SelectedRow() const { return ListSelection(list); }
    // Selects as a click does; true when the row was taken and the dialog answered.
    bool Select(int row) const;
    std::wstring Text(int controlId) const { return ControlText(GetDlgItem(dialog, controlId)); }

    // Switches auto refresh on or off through the Auto Refresh dialog, as a user would:
    // the menu command, the box, the interval, OK. A dialog that has not become visible
    // within appearMs is still used, if it exists, so that a run can go on;
    // *stayedHidden then says so, since a user could not have.
    bool SetAutoRefresh(bool on, const wchar_t* intervalText, DWORD appearMs, bool* stayedHidden);

    // File > Exit; true when the process ended by itself within graceMs. It is ended by
    // its handle if not.
    bool Exit(DWORD graceMs);

private:
    ChildProcess process;
    HWND dialog = nullptr;
    HWND list = nullptr;
    std::string error;
};
