# app: application object and windows, part of lintrado_ui.
list(APPEND LINTRADO_UI_SOURCES
    app/WxUserPrompts.cpp
    app/AppPaths.cpp
    app/AppVersion.cpp
    app/BrindovaApp.cpp
    app/ProgramServices.cpp
    app/StartupScripts.cpp
    app/SystemInfoBlock.cpp
    app/WindowGeometry.cpp
    app/MessageBox.cpp
    app/WidgetDialog.cpp
    app/DlgAbout.cpp
    app/StatisticsPages.cpp
    app/ViewLayouts.cpp
    app/BrindovaFrame.cpp
    app/BrindovaFrameLayouts.cpp
    app/AssertHandlerApp.cpp
    app/FatalReport.cpp
)
# The version the program reports comes from the project's own.
set_source_files_properties(app/AppVersion.cpp PROPERTIES COMPILE_DEFINITIONS "LINTRADO_VERSION=\"${PROJECT_VERSION}\"")
