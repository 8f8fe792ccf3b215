# diagnostics
list(APPEND VARNAK_TEST_SOURCES
)
