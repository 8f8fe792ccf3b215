# dom
list(APPEND VARNAK_SOURCES
    # document model
    src/tcDTD.cpp
    src/tcNode.cpp
    src/tcDictionary.cpp
    src/tcDocument.cpp
    src/tcStyles.cpp
    src/tDTDHelpers.cpp
    src/tNodeHelpers.cpp
)
