// WindowEntry owns its display title; the unique_ptr releases it on replacement and at the end.
#include "window_entry.h"

#include "title_text.h"

bool WindowEntry::SetTitle(const char* text)
{
    std::unique_ptr<char[]> copy = CopyText(text);
    if (!copy)
        return false;
    displayTitle = std::move(copy);
    return true;
}

const char* WindowEntry::GetTitle() const
{
    return displayTitle ? displayTitle.get() : "";
}

uint16_t WindowEntry::GetStatus() const
{
    if (status == STATUS_HIDDEN)
        return STATUS_HIDDEN;
    if (status == STATUS_VISIBLE)
        return STATUS_VISIBLE;
    return STATUS_UNKNOWN;
}
