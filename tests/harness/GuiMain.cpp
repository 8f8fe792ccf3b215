// Entry point of the window test programs.
#include "tests/harness/GuiTestApp.h"
#include "tests/harness/TempHome.h"

// Read by LeakSanitizer in sanitizer builds: fontconfig keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    InitTestProcess(&argc, argv);
    // Listing the tests (as the build does to register them) needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    return RunGuiTests(argc, argv);
}
