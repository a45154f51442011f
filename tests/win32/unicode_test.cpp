// Titles in any script reach the list whole: the program runs with UTF-8 as its
// 8-bit code page, so the same 8-bit calls carry every character.
#include "harness.h"

#include <string>

#include "resources/resource.h"

namespace {

const std::wstring SUFFIX_W = L"               (HIDDEN)";
// Cyrillic, CJK, an accented Latin word and an emoji outside the basic plane.
const std::wstring MIXED = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u4F60\u597D caf\u00E9 \U0001F389";

std::wstring RowW(const MainDialog& dialog, int row)
{
    int length = static_cast<int>(SendMessageW(dialog.List(), LB_GETTEXTLEN, row, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(dialog.List(), LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return text;
}

int RowOfW(const MainDialog& dialog, const std::wstring& title)
{
    int count = static_cast<int>(SendMessageW(dialog.List(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (RowW(dialog, i) == title)
            return i;
    return -1;
}

std::wstring NameTextW(const MainDialog& dialog)
{
    wchar_t text[512] = L"";
    GetWindowTextW(GetDlgItem(dialog.Handle(), IDC_WINDOW_NAME), text, 512);
    return text;
}

}  // namespace

TEST(UnicodeTitles, TheProgramRunsWithUtf8AsItsCodePage)
{
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}

TEST(UnicodeTitles, AMixedScriptTitleIsListedShownHiddenAndRestoredWhole)
{
    HWND window = CreateFixtureW(MIXED.c_str(), true);
    MainDialog dialog;
    int row = RowOfW(dialog, MIXED);
    ASSERT_GE(row, 0) << "the title came through damaged";
    SendMessageA(dialog.List(), LB_SETCURSEL, row, 0);
    dialog.Command(IDC_WINDOW_LIST, LBN_SELCHANGE);
    EXPECT_EQ(NameTextW(dialog), MIXED);

    dialog.Command(IDC_HIDE);
    EXPECT_EQ(RowW(dialog, row), MIXED + SUFFIX_W);
    EXPECT_EQ(NameTextW(dialog), MIXED + SUFFIX_W);
    dialog.Command(IDC_RESTORE);
    EXPECT_EQ(RowW(dialog, row), MIXED);
    EXPECT_TRUE(IsWindowVisible(window));
    DestroyWindow(window);
}

TEST(UnicodeTitles, ALongTitleIsCutAtACharacterWithinTheReadLimit)
{
    // 300 two-byte characters: 600 bytes, of which the read keeps at most 254.
    std::wstring title(300, L'\u0436');
    HWND shown = CreateFixtureW(title.c_str(), true);
    // Three-byte characters: 254 is not a multiple of 3, so the cut falls inside one.
    std::wstring wide(100, L'\u4E2D');
    HWND hidden = CreateFixtureW(wide.c_str(), false);
    MainDialog dialog;
    EXPECT_GE(RowOfW(dialog, title.substr(0, 127)), 0);
    EXPECT_GE(RowOfW(dialog, wide.substr(0, 84) + SUFFIX_W), 0) << "a partial character is dropped, not shown";
    DestroyWindow(shown);
    DestroyWindow(hidden);
}
