# diagnostics: debug contexts, assertions, the log and its formatter
list(APPEND VARNAK_TEST_SOURCES
    DiagnosticsTest.cpp
    FormatTest.cpp
    LogTest.cpp
    SignalLogTest.cpp
)
