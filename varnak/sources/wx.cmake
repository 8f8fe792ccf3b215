# GUI-bound parts of the library
list(APPEND VARNAK_WX_SOURCES
    src/kvFont.cpp
    src/kvLogWx.cpp
)
