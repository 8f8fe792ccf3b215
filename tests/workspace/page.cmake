# Tests of the project page, new-project dialog and selectors.
lintrado_test_program(page_tests unit VRProjectModelTest.cpp)
if(TARGET page_tests)
    target_link_libraries(page_tests PRIVATE lintrado_core)
endif()
lintrado_test_program(page_gui_tests gui VRDocFrameGuiTest.cpp VRDocLayoutGuiTest.cpp SelectorsGuiTest.cpp DlgNewDocGuiTest.cpp
    VRDocFrameSaveGuiTest.cpp GridTestSupport.cpp PagePreviewGuiTest.cpp)
if(TARGET page_gui_tests)
    target_compile_definitions(page_gui_tests PRIVATE LINTRADO_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
endif()
# Word documents in project pages, with the in-memory Word.
lintrado_test_program(page_word_gui_tests gui WordPreviewPageGuiTest.cpp)
if(TARGET page_word_gui_tests)
    target_link_libraries(page_word_gui_tests PRIVATE lintrado_fake_word)
endif()
