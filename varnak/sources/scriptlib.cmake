# script-facing coverage: current items, sort methods, records and the routines scripts call
list(APPEND VARNAK_SOURCES
    src/tGlobals.cpp
    src/tcSort.cpp
    src/tcRecords.cpp
    src/tcDocumentExtras.cpp
    src/tcNodeExtras.cpp
    src/tTextRoutines.cpp
    src/tcDictionaryExtras.cpp
    src/tDocRoutines.cpp
    src/tNodeRoutines.cpp
)
