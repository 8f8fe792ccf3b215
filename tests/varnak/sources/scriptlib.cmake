# script-facing coverage
list(APPEND VARNAK_TEST_SOURCES
    LibraryCoverageTest.cpp
    LibraryTextRoutinesTest.cpp
)
