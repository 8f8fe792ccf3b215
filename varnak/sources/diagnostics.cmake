# diagnostics
list(APPEND VARNAK_SOURCES
)
