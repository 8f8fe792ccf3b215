# events
list(APPEND VARNAK_SOURCES
)
