// The main of the GoogleTest programs of Windows, in place of gtest_main: the DPI
// awareness must be declared before the first window is made.
#include <gtest/gtest.h>

#include "dpi_awareness.h"

bool dpiAwarenessDeclaredBeforeMain = false;

int main(int argc, char** argv)
{
    dpiAwarenessDeclaredBeforeMain = !DeclarePerMonitorDpiAwareness();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
