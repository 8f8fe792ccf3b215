#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

class tcConvertor;
class tcDocument;

// Makes a new convertor for one source file of the project document pDoc, in sSourceLanguage.
using tConvertorAllocateProc = std::unique_ptr<tcConvertor> (*)(tcDocument* pDoc, const wxString& sSourceLanguage);

// The table of convertor kinds, in registration order. The main window fills it; the new-project
// dialog builds its file filter from it and the project page asks it for a convertor by extension.
// Rows are only added. Main thread only.
class ConvertorRegistry
{
public:
    struct Row
    {
        int m_nID = 0;
        float m_fWeight = 1.0f;
        wxString m_sDescription;
        // Items separated by ";", each a star, a dot and the extension ("*.html;*.htm").
        wxString m_sExtensions;
        wxString m_sName;
        tConvertorAllocateProc m_pAllocateProc = nullptr;
    };

    ConvertorRegistry() = default;
    ~ConvertorRegistry();
    ConvertorRegistry(const ConvertorRegistry&) = delete;
    ConvertorRegistry& operator=(const ConvertorRegistry&) = delete;

    // Appends a row. A name already registered (case-sensitive) is logged and reported by an
    // assertion, and the row is appended all the same (lookups find the first). A null procedure
    // is reported and the row is not added: false.
    bool Register(int nID, const wxString& sName, const wxString& sExtensions, const wxString& sDescription,
                  float fWeight, tConvertorAllocateProc pAllocateProc);

    // A new convertor (owned by the caller) from the first row with an item matching sExtension
    // (".html", dot included; see FindConvertor), or null when none matches.
    std::unique_ptr<tcConvertor> CreateConvertor(const wxString& sExtension, tcDocument* pDoc,
                                                 const wxString& sSourceLanguage) const;
    // Index of the first row with an item that, without its first character, equals sExtension
    // case-sensitively ("*.txt" matches ".txt", not ".TXT"); -1 when none does. Empty items and an
    // empty extension never match.
    int FindConvertor(const wxString& sExtension) const;

    int GetNumConvertors() const { return static_cast<int>(m_apRows.size()); }
    // Accessors of row nIndex. An index out of range is reported by an assertion and gives 0 or "".
    float GetWeight(int nIndex) const;
    wxString GetName(int nIndex) const;
    wxString GetExtensions(int nIndex) const;
    wxString GetDescription(int nIndex) const;
    int GetID(int nIndex) const;

    // The extension of a file name as the registry compares it: from the last "." of the name after
    // the last slash or backslash (".html"), or "" when that name has none ("x.d/file").
    static wxString ExtensionOf(const wxString& sFileName);

private:
    const Row* GetRow(int nIndex) const;

    std::vector<std::unique_ptr<Row>> m_apRows;
};

// The program's registry: made and filled by the main window and deleted with it; null before and
// after (and in tests that make their own).
extern ConvertorRegistry* g_pConvertorRegistry;
