# The window test harness: a test application, an event pump, the modal-dialog script, scripted
# user prompts and screenshots.
add_library(lintrado_gui_harness STATIC
    GuiMain.cpp
    GuiTestApp.cpp
    EventPump.cpp
    ModalDialogScript.cpp
    ScriptedUserPrompts.cpp
    GuiTest.cpp
    Screenshot.cpp
)
target_link_libraries(lintrado_gui_harness PUBLIC lintrado_test_support lintrado_ui wx_gui PRIVATE lintrado_warnings)
