# text
list(APPEND VARNAK_TEST_SOURCES
    StringTest.cpp
    UTF8Test.cpp
    NumberTest.cpp
    RegexTest.cpp
    GuidTest.cpp
    PathTest.cpp
    TextFileTest.cpp
    TextFileInputStreamTest.cpp
    TextEncodingTest.cpp
    DateTimeTest.cpp
)
