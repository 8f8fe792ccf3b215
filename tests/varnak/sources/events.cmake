# events
list(APPEND VARNAK_TEST_SOURCES
    EventTest.cpp
)
