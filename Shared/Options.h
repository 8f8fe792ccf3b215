#pragma once

#include "varnak/include/tGUID.h"
#include "varnak/include/tcProperties.h"

#include <wx/confbase.h>
#include <wx/string.h>

#include <vector>

// The program's configuration store: null before tCreateConfigStore and after tDeleteConfigStore,
// so code that can run outside that span tests it first. Not owned by its users.
//
// The store's current group (SetPath) is kept per thread, and each single read or write is done
// under the store's lock, so "SetPath then Read/Write" is safe even while another thread (the
// network layer) writes options. Values are text in the C locale; environment variables in values
// are never expanded.
extern wxConfigBase* g_pConfig;

// Creates the store over the per-user file ($XDG_CONFIG_HOME/Korvendel/Lintrado.conf, the folder
// made when missing) with the machine-wide file (/etc/xdg/Korvendel/Lintrado.conf) as read-only
// fallback, and sets g_pConfig. A store that exists already is deleted first. Main thread.
void tCreateConfigStore();
// The same over the given files; an empty sGlobalFile means no machine-wide fallback.
void tCreateConfigStore(const wxString& sLocalFile, const wxString& sGlobalFile);
// Flushes and deletes the store and sets g_pConfig to null; nothing happens without a store.
void tDeleteConfigStore();

// Answers whether a font face is installed. The check needs the GUI toolkit, so the application
// installs kvFontExists before LoadOptions. Without a check, faces are not judged: stored faces are
// kept as they are and the default face is "Arial". Null uninstalls it.
using tFontExistsFn = bool (*)(const wxString& sFaceName);
void tSetFontExistsCheck(tFontExistsFn pfnCheck);
// The installed check; null when none.
tFontExistsFn tGetFontExistsCheck();

// A keyboard shortcut that inserts a text. Key code and the three modifiers are unique in the list.
struct CKeyboardShortcut
{
    int nKeyCode = 0;
    wxString sText;
    bool bCtrl = false;
    bool bAlt = false;
    bool bShift = false;
};

// The font of one named part of the user interface. sFont may be empty and fSize 0 (the
// toolkit's choice).
struct CUIFontItem
{
    tGUID id;
    wxString sGroup;
    wxString sName;
    wxString sFont;
    float fSize = 0.0f;
};

// One replace-as-you-type rule.
struct CRAYTEntry
{
    wxString sKey;
    wxString sReplacement;
    wxString sDescription;
    bool bLettersOnly = false;
    wxString sSection;
};

// The application's options: loaded once at start-up (LoadOptions), written once at shutdown
// (SaveOptions). Main thread only.
class COptions
{
public:
    wxString m_sProjectFolder;
    wxString m_sBackupFolder;
    int m_nAutomaticBackupInterval = 3600; // seconds
    bool m_bDoAutomaticBackups = true;
    std::vector<CKeyboardShortcut> m_aKeyboardShortcuts;
    std::vector<CUIFontItem> m_aUIItems;
    bool m_bEnableRAYT = true;
    std::vector<CRAYTEntry> m_aRAYTEntries;
    bool m_bUseColoursInAttributesWindow = true;
    bool m_bWideToolsWindow = false;
    bool m_bTreeViewDragAndDrop = false;
    bool m_bPreviewSelectedOnly = false;
    bool m_bPreviewSelectedSubtree = false;
    bool m_bUnderlineLinks = true;
    bool m_bPreviewAllStyleSets = true;
    bool m_bHighlightSelected = true;
    bool m_bClickToSelect = true;

    // Keyboard shortcuts.

    // Replaces the text of the entry with the same key code and modifiers, or appends one.
    void AddShortcut(int nKeyCode, const wxString& sText, bool bCtrl, bool bAlt, bool bShift);
    // Adds the sixteen built-in shortcuts.
    void LoadDefaultKeyboardShortcuts();
    // Reads a shortcut file ("Cfg_KeyboardShortcuts.vrkeys" format). False, with the list
    // unchanged, when the file cannot be opened or its header is wrong. A file that ends early
    // gives the entries read completely up to there.
    bool LoadKeyboardSettings(const wxString& sPath, bool bClear);
    // Fills the list from the store ("/Keyboard"), else from the shortcut file in g_sAppPath,
    // else with the built-ins. Without a store only the last two apply.
    bool LoadKeyboardSettingsFromConfig();
    // Writes the list to "/Keyboard" and flushes; does nothing without a store.
    bool SaveKeyboardSettingsToConfig();

    // Font items.

    // Appends an item. A null szName is reported as a failed assertion and stored as empty.
    void AddUIItem(const tGUID& id, const wchar_t* szGroup, const wchar_t* szName, const wchar_t* szFont, float fSize);
    // Sets font and size of the item with this id, or appends one named "?" in group "?".
    void SetUIItem(const tGUID& id, const wxString& sFont, float fSize);
    void ClearUIItems();
    // Adds the three built-in items; sDefaultFont is the face of the default item.
    void AddDefaultUIItems(const wxString& sDefaultFont);
    // Applies the stored items of "/UserInterface/Fonts"; does nothing without a store.
    bool LoadFontSettings();
    // Writes the items to "/UserInterface/Fonts" and flushes; does nothing without a store.
    bool SaveFontSettings();

    // Replace-as-you-type lists.

    // Appends the entries of one file; an empty path does nothing, a file that cannot be opened
    // is logged as an error.
    void LoadRAYTFile(const wxString& sPath);
    // Clears the entries and loads every file in the search order (data folder, its
    // "chardata/replace", "custom-replace" in the documents folder, the application folder).
    void LoadRAYTFiles();
};

// The one options record, constructed before start-up.
extern COptions g_Options;

// Loads g_Options from the store, the shortcut file and the replace-as-you-type files; call after
// the catalogs (font items take localised names). Does nothing without a store.
void LoadOptions();
// Writes g_Options to the store and flushes; does nothing without a store.
void SaveOptions();

// The user's documents folder (XDG), with the application property "DefaultUserDocumentsFolder"
// appended when set; g_sAppPath + "/Projects" when the system names no documents folder.
wxString GetDefaultAppDocumentsFolder();

// A property set that mirrors every property into the store: a declared property takes the stored
// value, or writes its default into the store at once; each later change is written through and
// flushed. Without a store values stay in memory only. Properties live until the process ends.
// Declarations belong to the main thread; value changes may come from any thread that holds the
// set to itself (the store is locked per operation).
class tcOptions : public tcProperties
{
public:
    void OnPropertyValueChanged(int nIndex) override;
    void OnPropertyAdded(int nIndex) override;

    // True only while a stored value is being copied into a property.
    bool IsLoading() const { return m_bLoading; }

private:
    bool m_bLoading = false;
};

// Never null; the objects live until the process ends.
tcOptions* tGetOptions();
// The application property set, read here only ("DefaultUserDocumentsFolder").
tcProperties* tGetAppProperties();
