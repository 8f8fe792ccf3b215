# app
list(APPEND VARNAK_TEST_SOURCES
    AppContextTest.cpp
)
