# import: window-free, part of lintrado_core.
list(APPEND LINTRADO_CORE_SOURCES
    import/XMLFormatImporter.cpp
    import/SRXImporter.cpp
    import/TMXImporter.cpp
    import/XLIFFImporter.cpp
)
