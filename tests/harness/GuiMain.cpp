// Entry point of the window test programs (filled in by the window harness).
#include "tests/harness/TempHome.h"

int main(int argc, char** argv)
{
    InitTestProcess(&argc, argv);
    return RUN_ALL_TESTS();
}
