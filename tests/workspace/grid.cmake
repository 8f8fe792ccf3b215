# Tests of the row grid and segment editor: the layout arithmetic, the tag lexer and the tip text in
# workspace_grid_unit_tests, the windows themselves in workspace_grid_tests.
lintrado_test_program(workspace_grid_unit_tests unit
    GridLayoutTest.cpp
    SegmentLexerTest.cpp
    SegmentDisplayTest.cpp
)
if(TARGET workspace_grid_unit_tests)
    target_link_libraries(workspace_grid_unit_tests PRIVATE lintrado_ui)
endif()
lintrado_test_program(workspace_grid_tests gui
    GridTestSupport.cpp
    GridGuiTest.cpp
    SegmentEditorGuiTest.cpp
)
