# Code shared with the maker's other programs; window-free files go to the core library.
list(APPEND LINTRADO_CORE_SOURCES
    Shared/UserPrompts.cpp
    Shared/AppUtils_shared.cpp
    Shared/AppUtils_sharedDTD.cpp
)
list(APPEND LINTRADO_UI_SOURCES
)
