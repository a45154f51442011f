// What the user sees of a rebuild: the same rows, the view where it was, one repaint.
#include "harness.h"

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "resources/resource.h"

namespace {

std::vector<HWND> CreateMany(const char* prefix, int count)
{
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i)
        windows.push_back(CreateFixture((std::string(prefix) + std::to_string(i)).c_str(), false));
    return windows;
}

void DestroyAll(const std::vector<HWND>& windows)
{
    for (HWND window : windows)
        DestroyWindow(window);
}

// The list as drawn, frame and scroll bar included.
std::vector<COLORREF> PixelsOf(HWND list)
{
    RECT rect;
    GetWindowRect(list, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC window = GetWindowDC(list);
    HDC copy = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, window, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(copy, x, y));
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(list, window);
    return pixels;
}

// What a rebuild left on the screen, against the list repainted whole afterwards.
bool DrawnAsAFullRepaintWould(HWND list)
{
    std::vector<COLORREF> left = PixelsOf(list);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return PixelsOf(list) == left;
}

// The selected row is wholly in view: LB_SETCURSEL scrolls a row only partly shown.
bool SelectionInView(HWND list)
{
    RECT client, row;
    GetClientRect(list, &client);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return SendMessageA(list, LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&row)) != LB_ERR
           && row.top >= client.top && row.bottom <= client.bottom;
}

}  // namespace

TEST(ListView, ARefreshGivesTheRowsAndSelectionOfAPlainRebuild)
{
    std::vector<HWND> windows = CreateMany("Plain rebuild ", 5);
    MainDialog dialog;
    SendMessageA(dialog.List(), LB_SETCURSEL, 3, 0);
    dialog.Refresh();
    std::vector<std::string> refreshed = dialog.Rows();
    int selected = dialog.SelectedRow();

    // The same rebuild without switching the list's redraw off and on.
    FreeCatalogue();
    SendMessageA(dialog.List(), LB_RESETCONTENT, 0, 0);
    RebuildCatalogue(dialog.List(), false, 3);
    EXPECT_EQ(dialog.Rows(), refreshed);
    EXPECT_EQ(dialog.SelectedRow(), selected);
    DestroyAll(windows);
}

// The view stays where the user left it while the selection is in it, and follows the
// selection when it is not, on either side of the boundary.
TEST(ListView, TheFirstVisibleRowStaysWhileTheSelectionIsInView)
{
    std::vector<HWND> windows = CreateMany("Long list ", 40);
    MainDialog dialog;
    HWND list = dialog.List();
    RECT client;
    GetClientRect(list, &client);
    int fullRows = client.bottom / int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const struct {
        int selected;
        bool viewStays;
    } cases[] = {{12, true}, {14, true}, {12 + fullRows - 1, true}, {12 + fullRows, false}, {11, false}};
    for (const auto& c : cases) {
        SendMessageA(list, LB_SETCURSEL, c.selected, 0);
        SendMessageA(list, LB_SETTOPINDEX, 12, 0);
        ASSERT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12);
        for (int i = 0; i < 2; ++i) {
            dialog.Refresh();
            EXPECT_EQ(dialog.SelectedRow(), c.selected);
            EXPECT_TRUE(SelectionInView(list)) << "row " << c.selected << ", refresh " << i;
            if (c.viewStays) {
                EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12) << "row " << c.selected << ", refresh " << i;
            }
        }
    }
    DestroyAll(windows);
}

TEST(ListView, TheListIsPaintedOnceWithinTheRebuild)
{
    MainDialog dialog;
    HWND list = dialog.List();
    UpdateWindow(list);
    MessageCounter counter(list);
    SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
    EXPECT_EQ(counter.Count(WM_PAINT), 1) << "one repaint for the whole rebuild";
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(list, &pending, FALSE)) << "no paint is left waiting in the queue";
}

TEST(ListView, ARebuildLeavesTheRowsAndScrollBarAsAFullRepaintDrawsThem)
{
    MainDialog dialog;
    HWND list = dialog.List();
    UpdateWindow(list);
    std::vector<HWND> windows = CreateMany("Scroll bar ", 40);
    // Sent, not pumped: what is on the screen when the rebuild returns.
    SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
    EXPECT_TRUE(DrawnAsAFullRepaintWould(list)) << "rows added";
    SendMessageA(list, LB_SETTOPINDEX, 10, 0);
    UpdateWindow(list);
    SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
    EXPECT_TRUE(DrawnAsAFullRepaintWould(list)) << "the same rows, scrolled";
    DestroyAll(windows);
    SendMessageA(dialog.Handle(), WM_USER + 100, 0, 0);
    EXPECT_TRUE(DrawnAsAFullRepaintWould(list)) << "rows removed";
}
