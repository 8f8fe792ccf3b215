# app: application object and windows, part of lintrado_ui.
list(APPEND LINTRADO_UI_SOURCES
    app/WxUserPrompts.cpp
)
