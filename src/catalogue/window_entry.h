// One row of the catalogue: a top-level window, the title it is listed under, and
// whether it was listed as hidden or visible.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>

enum WindowStatus : uint16_t { STATUS_HIDDEN = 1, STATUS_VISIBLE = 2, STATUS_UNKNOWN = 3 };

class WindowEntry {
public:
    // Stores an owned copy. When no memory can be had the old title stays and the
    // result is false.
    bool SetTitle(const char* text);
    // Keeps a title made for this entry as it is, without the copy SetTitle makes.
    void TakeTitle(std::unique_ptr<char[]> text) { displayTitle = std::move(text); }
    // Borrowed: valid until the next SetTitle or TakeTitle, or the entry's end. Empty
    // before any title.
    const char* GetTitle() const;
    bool HasTitle() const { return displayTitle != nullptr; }
    void SetHandle(HWND window) { windowHandle = window; }
    HWND GetHandle() const { return windowHandle; }
    void SetStatus(uint16_t value) { status = value; }
    // Any stored value other than Hidden or Visible reads as Unknown.
    uint16_t GetStatus() const;
    // Whether the display title ends with the hidden suffix that we put there. It comes
    // and goes with the Hidden status, but stays with the title of an entry whose
    // status became Unknown, so that whoever shows the window later can take it off.
    void SetHiddenSuffix(bool suffixed) { hiddenSuffix = suffixed; }
    bool HasHiddenSuffix() const { return hiddenSuffix; }

private:
    HWND windowHandle = nullptr;
    std::unique_ptr<char[]> displayTitle;
    uint16_t status = 0;
    bool hiddenSuffix = false;
};
