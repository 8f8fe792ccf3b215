# Tests of the source, translation and suggestions panes: window-free routines in panes_tests,
# the panes themselves in panes_gui_tests.
lintrado_test_program(panes_tests unit
    PaneTestSupport.cpp
    SegmentXMLTest.cpp
    SuggestionsTest.cpp
    TypedTargetRoundTripTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/engine/ConvertTestSupport.cpp
)
if(TARGET panes_tests)
    target_link_libraries(panes_tests PRIVATE lintrado_ui)
    target_compile_definitions(panes_tests PRIVATE LINTRADO_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
endif()
lintrado_test_program(panes_gui_tests gui
    PaneTestSupport.cpp
    VRSourceFrameGuiTest.cpp
    VRTranslationFrameGuiTest.cpp
    TypingGuiTest.cpp
    VRSuggestedTranslationFrameGuiTest.cpp
)
if(TARGET panes_gui_tests)
    target_compile_definitions(panes_gui_tests PRIVATE LINTRADO_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
endif()
