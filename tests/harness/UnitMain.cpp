// Entry point of every window-free test program.
#include "tests/harness/TempHome.h"

int main(int argc, char** argv)
{
    InitTestProcess(&argc, argv);
    return RUN_ALL_TESTS();
}
