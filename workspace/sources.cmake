# workspace: project windows, part of lintrado_ui.
list(APPEND LINTRADO_UI_SOURCES
    workspace/DlgMemDoc.cpp
    workspace/VRLoadProgress.cpp
    workspace/VRAttributeSelector.cpp
    workspace/VRDocFrame.cpp
    workspace/DlgNewDoc.cpp
    workspace/VRDocSplitter.cpp
)
