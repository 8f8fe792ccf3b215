# Tests of the files pane, notes pages and preview panel.
set(FILES_GUI_TEST_SOURCES
    PaneTestSupport.cpp
    VRFilesFrameGuiTest.cpp
    VRNotesPageGuiTest.cpp
    VRPreviewPanelGuiTest.cpp
)
lintrado_test_program(files_gui_tests gui ${FILES_GUI_TEST_SOURCES})
if(TARGET files_gui_tests)
    target_compile_definitions(files_gui_tests PRIVATE LINTRADO_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
endif()
