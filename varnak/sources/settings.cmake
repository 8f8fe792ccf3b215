# settings: typed properties, localisation and the language-tag database
list(APPEND VARNAK_SOURCES
    src/tcProperties.cpp
    src/tcLocalisationEngine.cpp
    src/tcLanguageDatabase.cpp
)
