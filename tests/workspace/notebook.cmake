# Tests of the notebook of projects.
lintrado_test_program(notebook_gui_tests gui VRDocSplitterGuiTest.cpp)
