// What the list shows: which windows are listed and how.
#include "harness.h"

#include "catalogue/catalogue.h"
#include "resources/resource.h"

TEST(Catalogue, ListsVisibleAndHiddenWindowsWithSuffix)
{
    HWND shown = CreateFixture("Catalogue shown", true);
    HWND hidden = CreateFixture("Catalogue hidden", false);
    MainDialog dialog;
    EXPECT_GE(dialog.RowOf("Catalogue shown"), 0);
    EXPECT_GE(dialog.RowOf("Catalogue hidden               (HIDDEN)"), 0);
    EXPECT_EQ(dialog.SelectedRow(), 0);
    DestroyWindow(shown);
    DestroyWindow(hidden);
}
