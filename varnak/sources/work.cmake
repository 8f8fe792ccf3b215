# work
list(APPEND VARNAK_SOURCES
    src/tcWork.cpp
    src/tcThreads.cpp
    src/tShell.cpp
    src/tSystem.cpp
    src/tLua.cpp
    src/tErrorReport.cpp
)
