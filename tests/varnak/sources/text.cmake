# text
list(APPEND VARNAK_TEST_SOURCES
    StringTest.cpp
    NumberTest.cpp
    RegexTest.cpp
    GuidTest.cpp
    PathTest.cpp
    TextFileTest.cpp
    DateTimeTest.cpp
)
