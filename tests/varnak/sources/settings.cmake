# settings
list(APPEND VARNAK_TEST_SOURCES
    PropertiesTest.cpp
    LocalisationTest.cpp
    LanguageDatabaseTest.cpp
)
