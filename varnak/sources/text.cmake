# text
list(APPEND VARNAK_SOURCES
    src/tString.cpp
    src/tUTF8.cpp
    src/tNumber.cpp
    src/tRegex.cpp
    src/tGUID.cpp
    src/tPath.cpp
    src/tTextFile.cpp
    src/tcTextFileInputStream.cpp
    src/tTextEncoding.cpp
    src/tDateTime.cpp
)
