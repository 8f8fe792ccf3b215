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

# XML text, IO and writers
list(APPEND VARNAK_SOURCES
    src/tXMLText.cpp
    src/tcNodeXML.cpp
    src/tcNodeStorage.cpp
    src/tcIO.cpp
    src/tAtomicFile.cpp
    src/tOutput.cpp
    src/tOutputNative.cpp
)
