# diagnostics: debug contexts, assertions, the log and its formatter
list(APPEND VARNAK_SOURCES
    src/kvFormat.cpp
    src/kvLog.cpp
    src/kvSignalLog.cpp
    src/tAssert.cpp
    src/tcDebugInfo.cpp
)
