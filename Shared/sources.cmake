# Code shared with the maker's other programs; window-free files go to the core library.
list(APPEND LINTRADO_CORE_SOURCES
    Shared/UserPrompts.cpp
    Shared/ErrorBoundary.cpp
    Shared/AppUtils_shared.cpp
    Shared/AppUtils_sharedDTD.cpp
    Shared/AppUtils_sharedText.cpp
    Shared/AppUtils_sharedDistance.cpp
    Shared/AppUtils_sharedTestText.cpp
    Shared/AppUtils_sharedStyle.cpp
    Shared/ImportXML.cpp
    Shared/ImportXML_Start.cpp
    Shared/ImportXML_Content.cpp
    Shared/ImportXML_Native.cpp
    Shared/ImportXML_Text.cpp
    Shared/ImportXML_DTD.cpp
    Shared/ImportXML_CrossRefs.cpp
    Shared/ImportXML_Snapshot.cpp
    Shared/XercesMemory.cpp
    Shared/Options.cpp
    Shared/OptionsKeyboard.cpp
    Shared/OptionsFonts.cpp
    Shared/OptionsRAYT.cpp
    Shared/Localisation.cpp
    Shared/VRSRXDoc.cpp
    Shared/Internet.cpp
    Shared/InternetSendFile.cpp
)
list(APPEND LINTRADO_UI_SOURCES
    Shared/AppUtils_sharedMenu.cpp
    Shared/HTMLPreview.cpp
    Shared/HTMLViewWx.cpp
    Shared/FrmFileSelector.cpp
    Shared/FrmLangSelector.cpp
)
