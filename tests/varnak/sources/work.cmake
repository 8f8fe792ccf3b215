# work
list(APPEND VARNAK_TEST_SOURCES
    WorkQueueTest.cpp
    ThreadsTest.cpp
    ShellTest.cpp
    SystemTest.cpp
)
