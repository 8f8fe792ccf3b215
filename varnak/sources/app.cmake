# app
list(APPEND VARNAK_SOURCES
    src/tcAppContext.cpp
)
