// Entry point of the window test programs.
#include "tests/harness/GuiTestApp.h"
#include "tests/harness/TempHome.h"

int main(int argc, char** argv)
{
    InitTestProcess(&argc, argv);
    // Listing the tests (as the build does to register them) needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    return RunGuiTests(argc, argv);
}
