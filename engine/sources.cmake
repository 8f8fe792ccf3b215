# engine: window-free, part of lintrado_core.
list(APPEND LINTRADO_CORE_SOURCES
    engine/XLIFFDTD.cpp
    engine/Convertor_segment.cpp
    engine/VRMemDocStatistics.cpp
    engine/InlineMarkup.cpp
    engine/VRMemDoc.cpp
    engine/VRMemDocIndex.cpp
    engine/MemDocQuery.cpp
    engine/MemDocLookupPool.cpp
    engine/VRMemDocManager.cpp
    engine/Convertor.cpp
    engine/ConvertorRegistry.cpp
    engine/ConvertorPreview.cpp
    engine/Convertor_html.cpp
    engine/Convertor_txt.cpp
    engine/VRProjectModel.cpp
    engine/OutputName.cpp
)
# engine windows: the convertors' preview windows, part of lintrado_ui.
list(APPEND LINTRADO_UI_SOURCES
    engine/ConvertorPreviewWx.cpp
)
# A new memory names the program's version in its header.
set_source_files_properties(engine/VRMemDoc.cpp PROPERTIES COMPILE_DEFINITIONS "LINTRADO_VERSION=\"${PROJECT_VERSION}\"")
# A new project file names the program's version as its tool-version.
set_source_files_properties(engine/Convertor.cpp PROPERTIES COMPILE_DEFINITIONS "LINTRADO_VERSION=\"${PROJECT_VERSION}\"")
# The Word convertor over our own automation interface, and its preview panel.
list(APPEND LINTRADO_CORE_SOURCES
    engine/Convertor_word.cpp
    engine/EmbedWord.cpp
)
list(APPEND LINTRADO_UI_SOURCES
    engine/EmbedWordWx.cpp
)
