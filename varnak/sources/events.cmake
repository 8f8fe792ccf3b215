# events: named events and the library's Evt_* objects
list(APPEND VARNAK_SOURCES
    src/tcEvent.cpp
)
