# Types every group shares
list(APPEND VARNAK_TEST_SOURCES
    TextFailureTest.cpp
)
