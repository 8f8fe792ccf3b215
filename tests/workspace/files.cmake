# Tests of the files pane, notes pages and preview panel.
set(FILES_GUI_TEST_SOURCES
    FilesTestSupport.cpp
    VRFilesFrameGuiTest.cpp
    VRNotesPageGuiTest.cpp
    VRPreviewPanelGuiTest.cpp
)
lintrado_test_program(files_gui_tests gui ${FILES_GUI_TEST_SOURCES})
if(TARGET files_gui_tests)
    target_compile_definitions(files_gui_tests PRIVATE LINTRADO_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
    # The click test moves the display's one mouse pointer, which a window of another test program
    # could take from it: it runs alone. ctest reads this after the program's tests were listed.
    set(files_serial_script ${CMAKE_CURRENT_BINARY_DIR}/files_gui_tests_serial.cmake)
    file(WRITE ${files_serial_script}
        "set_tests_properties(FilesPaneGui.EachChoiceOfAnotherFileMakesOneSwitch PROPERTIES RUN_SERIAL TRUE)\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${files_serial_script})
endif()
