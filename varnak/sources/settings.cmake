# settings
list(APPEND VARNAK_SOURCES
)
