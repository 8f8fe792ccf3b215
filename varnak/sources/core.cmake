# Types every group shares
list(APPEND VARNAK_SOURCES
    src/TextFailure.cpp
    src/tObjectLife.cpp
)
