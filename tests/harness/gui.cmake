# The window test harness: a test application, an event pump, the modal-dialog hook and seams.
add_library(lintrado_gui_harness STATIC GuiMain.cpp)
target_link_libraries(lintrado_gui_harness PUBLIC lintrado_test_support lintrado_ui wx_gui PRIVATE lintrado_warnings)
