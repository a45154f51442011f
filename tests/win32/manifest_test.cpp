// The embedded manifest: real pixels, visual styles, no elevation, UTF-8 titles.
#include "harness.h"

#include <string>

namespace {

std::string ManifestText()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (!found)
        return "";
    HGLOBAL loaded = LoadResource(nullptr, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

}  // namespace

TEST(Manifest, DeclaresDpiAwarenessStylesPrivilegesSystemsAndCodePage)
{
    std::string text = ManifestText();
    ASSERT_FALSE(text.empty());
    for (const char* expected : {
             "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor<",
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
             "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8<"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST(Manifest, TheProcessIsPerMonitorDpiAware)
{
    // Looked up at run time: older import libraries lack these.
    HMODULE user = GetModuleHandleA("user32.dll");
    using GetContext = HANDLE(WINAPI*)();
    using GetAwareness = int(WINAPI*)(HANDLE);
    using AnyFunction = void (*)();
    auto getContext = reinterpret_cast<GetContext>(
        reinterpret_cast<AnyFunction>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
    auto getAwareness = reinterpret_cast<GetAwareness>(
        reinterpret_cast<AnyFunction>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    if (!getContext || !getAwareness)
        GTEST_SKIP() << "this system cannot report DPI awareness";
    const int DPI_AWARENESS_PER_MONITOR_AWARE = 2;
    EXPECT_EQ(getAwareness(getContext()), DPI_AWARENESS_PER_MONITOR_AWARE);
}
