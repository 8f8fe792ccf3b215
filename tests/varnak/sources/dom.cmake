# dom
list(APPEND VARNAK_TEST_SOURCES
    # document model
    DocumentTest.cpp
    DTDTest.cpp
    NodeTest.cpp
    NodeStorageTest.cpp
    ObjectLifeTest.cpp
    IndexBoundsTest.cpp
)

# XML text, IO and writers
list(APPEND VARNAK_TEST_SOURCES
    XMLTextTest.cpp
    NodeXMLTest.cpp
    XMLTestLoader.cpp
    OutputTest.cpp
    IORegistryTest.cpp
)
