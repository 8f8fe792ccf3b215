#pragma once

#include "engine/Convertor.h"

#include <wx/string.h>

#include <memory>

class IWordDocument;

// The code text of every code a Word import makes: this marker, the position of the placeholder
// the following text run left in the skeleton, and "]".
inline constexpr wchar_t kszWordPosition[] = L"__Lintrado_wordposition__";
// Reserved beside it; not used.
inline constexpr wchar_t kszWordDocument[] = L"__Lintrado_worddocument__";
// The code text standing for a character of a run that XML does not allow (Word's manual line
// break, for one): this marker, the character's code and "]".
inline constexpr wchar_t kszWordCharacter[] = L"__Lintrado_wordcharacter__";

// The style name of a formatting code the template reports: "4"/"5" "Bold", "6"/"7" "Italic",
// "8"/"9" "Underline", anything else "".
wxString WordFormattingToStyle(const wxString& sCode);

// Word documents (".doc", ".docx", ".rtf"), through Word automation (platform/WordAutomation.h)
// and the macros of the template "Lintrado.dot". Import opens a working copy of the source in a
// hidden Word, takes each translatable run out of it (leaving one space in its place and the
// place's position in a code before the run), and keeps the document with its placeholders as the
// file's skeleton, as hexadecimal text in internal-file. Export and preview put the translations
// back at their positions. Run texts are escaped as XML content in the units and unescaped before
// they go back into Word. Without a Word provider nothing can be read or written.
//
// The preview is the translated document, read-only, in one embedded Word window on a panel that
// all Word convertors share; the panel is made under the first preview panel that asks, moved into
// each later one, and deleted (host first) with the last Word convertor. Main thread only.
class tcConvertorWORD : public tcConvertor
{
public:
    tcConvertorWORD(tcDocument* pDoc, const wxString& sSourceLanguage);
    // Closes this convertor's preview when it is on show and deletes its preview file; the last
    // Word convertor takes the embedded window and its panel with it.
    ~tcConvertorWORD() override;

    // Reads m_sSourcePath through Word. False, with no unit added, when no provider is available,
    // Word cannot be started, the source cannot be copied or opened, or the template cannot be
    // loaded; false too when the skeleton could not be saved. Each failure leaves its reason in
    // GetFailure and shows nothing. Word is quit and the temporary files are deleted on every path.
    // Raises pProgress (may be null) by 17, then 8850 over the chunks, then 940.
    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override;
    // Shows sText in the embedded Word window on the shared panel, moved under pParent; returns the
    // panel, or null without a provider or a panel maker, or when the preview file cannot be
    // written.
    wxWindow* Preview(const wxString& sSkeleton, const wxString& sText, wxWindow* pParent, tcNode* pFile) override;
    // Shows this convertor's last preview again: when another document is on show, reopens the
    // preview file and writes the last preview text into it. Null before the first preview.
    wxWindow* ShowLastPreview(wxWindow* pParent) override;
    // Writes the skeleton to sOutputPath and the translations into it through Word. False, writing
    // nothing, for an empty or malformed skeleton or without a provider; false too when Word cannot
    // be started, open or save the file (the file is then removed).
    bool Export(const wxString& sSkeleton, const wxString& sText, const wxString& sOutputPath, tcNode* pFile) override;

    // Takes the text of the range nStart - nShift to nEnd - nShift out of pDoc, leaves one space in
    // its place and adds the text's length minus 1 to nShift. An empty text or a failed write is
    // reported by an assertion.
    static wxString GetRangeText(IWordDocument& doc, long nStart, long nEnd, long& nShift);
    // Writes generated text (pieces, each after a position marker) into doc at the pieces'
    // placeholders, in ascending position order; a piece that is empty or one space leaves its
    // placeholder. Preview markers become shading (untranslated) and a dotted border (selected).
    static void WriteRanges(IWordDocument& doc, const wxString& sText);

    // The preview file, empty before the first preview; the text of the last preview.
    const wxString& GetPreviewPath() const { return m_sPreviewPath; }
    const wxString& GetLastPreviewText() const { return m_sLastPreviewText; }

    // The number of live Word convertors.
    static int GetFamilyCount();
    // The shared preview panel while it exists, else null.
    static wxWindow* GetPreviewPanel();

private:
    wxString m_sPreviewPath;
    wxString m_sLastPreviewText;
};

// The allocator of the registry row "Microsoft Word documents".
std::unique_ptr<tcConvertor> AllocateConvertor_WORD(tcDocument* pDoc, const wxString& sSourceLanguage);
