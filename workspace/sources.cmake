# workspace: project windows, part of lintrado_ui.
list(APPEND LINTRADO_UI_SOURCES
    workspace/DlgMemDoc.cpp
    workspace/VRLoadProgress.cpp
    workspace/VRAttributeSelector.cpp
    workspace/VRFilesFrame.cpp
    workspace/VRNotesFrame.cpp
    workspace/VRPreviewPanel.cpp
    workspace/VRGridLayout.cpp
    workspace/VRGrid.cpp
    workspace/SegmentDisplay.cpp
    workspace/VRSegmentEditor.cpp
    workspace/SegmentTagTip.cpp
    workspace/SegmentXML.cpp
    workspace/Suggestions.cpp
    workspace/PaneImages.cpp
    workspace/VRSourceFrame.cpp
    workspace/VRTranslationFrame.cpp
    workspace/VRSuggestedTranslationFrame.cpp
    workspace/VRDocLayout.cpp
    workspace/VRDocFrame.cpp
    workspace/DlgNewDoc.cpp
    workspace/VRDocSplitter.cpp
    workspace/VRDocFrameSave.cpp
)
