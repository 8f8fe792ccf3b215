#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

#include <vector>

struct SXLIFFDTD;
class CSegmentDoc;
class CVRMemDoc;
class CVRSRXDoc;
class tcAttribute;
class tcConvertorProgress;
class tcDictionary;
class tcDocument;
class tcElement;
class tcNode;
class wxWindow;

// Preview markers. The generated text of a preview carries them around the text of untranslated
// segments and of the selected segment; each convertor turns them into its own highlighting.
inline constexpr wchar_t kszUntranslatedBegin[] = L"__Lintrado_segment_untranslated_begin__";
inline constexpr wchar_t kszUntranslatedEnd[] = L"__Lintrado_segment_untranslated_end__";
inline constexpr wchar_t kszSelectedBegin[] = L"__Lintrado_segment_selected_begin__";
inline constexpr wchar_t kszSelectedEnd[] = L"__Lintrado_segment_selected_end__";

// Highlight colours, six hex digits without "#", and the spans the HTML and text previews use.
inline constexpr wchar_t kszUntranslatedColour[] = L"CAE1F9";
inline constexpr wchar_t kszSelectedColour[] = L"FF0000";
inline constexpr wchar_t kszUntranslatedSpanFormat[] = L"<span style=\"background-color:#%s\">";
inline constexpr wchar_t kszSelectedSpanFormat[] =
    L"<span style=\"border-style: dotted;border-width:1pt;border-color:#%s\">";

// The anchor a preview page carries where the selected segment begins, so the view can show it.
inline constexpr wchar_t kszSelectedAnchor[] = L"lintrado-selected-segment";

// Replaces the four preview markers in sText by the HTML spans above (both end markers by
// "</span>"); the first selected span is preceded by an empty anchor named kszSelectedAnchor.
wxString ReplaceHighlightMarkersWithSpans(const wxString& sText);

// Wraps the text of every text node in and below pNode: text becomes sBegin + text + sEnd. CDATA
// is never wrapped, and nothing inside an inline code (bpt, ept, ph, it), whose sub-flows sit in
// the document's own markup, also when pNode itself lies in one. Null does nothing.
void InsertHighlightMarkers(tcNode* pNode, const wxString& sBegin, const wxString& sEnd);

// Creates or truncates sPath and writes sText as UTF-8 without byte order mark. False when the
// file could not be created or written completely.
bool WriteTextFile(const wxString& sPath, const wxString& sText);

// Decodes sHex (two hex digits a byte) and writes the bytes to sPath, created or truncated. False
// for text that is not hex of even length, or when the file could not be written.
bool WriteHexToBinaryFile(const wxString& sPath, const wxString& sHex);

// Stands between one source document on disk and one `file` element of a project. One instance
// serves one source file; it owns nothing of the project (every node it makes belongs to the
// owner document). Main thread only.
//
// A convertor made for adding a file runs Convert once. One made for preview and output never
// runs Convert: its node pointers are set by OutputTranslation and GeneratePreview.
class tcConvertor
{
public:
    // sTypeName ("txt", "html", "xml", "doc") becomes the file's datatype; pDoc is the project
    // document every node is allocated in; sSourceLanguage is the file's source language.
    tcConvertor(const wxString& sTypeName, tcDocument* pDoc, const wxString& sSourceLanguage);
    virtual ~tcConvertor();
    tcConvertor(const tcConvertor&) = delete;
    tcConvertor& operator=(const tcConvertor&) = delete;

    // Reads the source document (m_sSourcePath) into pSegDoc's units. pProgress may be null.
    // Returns false when the document could not be read, with the reason for the user in
    // GetFailure (set through SetFailure); it shows nothing itself, since the caller tells the
    // user once, naming the file.
    virtual bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) = 0;
    // Shows sText (the generated text with preview markers) in the family's preview window, made
    // a child of pParent; returns that window (owned by its parent), or null when none can be
    // shown. sSkeleton is the internal file's content; pFile the file element.
    virtual wxWindow* Preview(const wxString& sSkeleton, const wxString& sText, wxWindow* pParent, tcNode* pFile) = 0;
    // Shows this convertor's last preview text again in the family's window under pParent and
    // returns it, as Preview does.
    virtual wxWindow* ShowLastPreview(wxWindow* pParent) = 0;
    // Writes the translated document to sOutputPath. False when it could not be written (the
    // caller reports it; the file is never reported as done).
    virtual bool Export(const wxString& sSkeleton, const wxString& sText, const wxString& sOutputPath,
                        tcNode* pFile) = 0;

    // Adds sSourcePath to the project as a new `file` element (attributes, header/skl/internal-file
    // and body) under the first section of pRoot (one named "xliff-placeholder" is made when there
    // is none), reads it with Import and writes its units segmented and looked up in pMemory (may
    // be null) into the body, pre-filling targets in sTargetLanguage at nThreshold (-1: never).
    // Sets pProgress (may be null) to 10000 at the end. When Import fails the file element is
    // taken out again and the result is false, GetFailure telling why: a document that could not
    // be read adds nothing, not even an empty file, and the project's changed mark stays as it
    // was. An exception from reading or segmenting takes the file out the same way and goes on to
    // the caller. False too for a missing root or handle record (an assertion; nothing is added).
    bool Convert(const SXLIFFDTD* pXLIFFDTD, const wxString& sSourcePath, tcDictionary* pRoot, CVRSRXDoc* pRules,
                 CVRMemDoc* pMemory, const wxString& sSourceLanguage, const wxString& sTargetLanguage, int nThreshold,
                 tcConvertorProgress* pProgress);

    // Writes pFile's translation in sLanguage to sOutputPath through Export: every unit's target
    // in that language, else its source. False for a null file or handle record, or when Export
    // fails. pProgress (may be null) advances once per unit; when it reports cancellation nothing
    // is written and the result is false.
    bool OutputTranslation(const SXLIFFDTD* pXLIFFDTD, const wxString& sOutputPath, const wxString& sLanguage,
                           tcNode* pFile, tcConvertorProgress* pProgress = nullptr);

    // Shows pFile in sLanguage with untranslated text and the segment pCurrent (an mrk of a
    // seg-source, or the source of an unsegmented unit; may be null) highlighted, under pParent.
    // The last preview is shown again without regenerating while the file's change stamp, the
    // current node and the language are unchanged and the document has no unsaved changes.
    // Returns the preview window, or null.
    wxWindow* GeneratePreview(const SXLIFFDTD* pXLIFFDTD, wxWindow* pParent, tcNode* pFile, tcNode* pCurrent,
                              const wxString& sLanguage);

    // The text of one trans-unit in sLanguage: the source in the source language; otherwise the
    // first target in that language, merged segment by segment into the seg-source when the unit
    // is segmented, else the source. A target (or target segment) with text that lacks codes or
    // the blanks around the text of its source gets them back (codes before the source's text
    // first, the others last), so pre-filled proposals never cost the document its markup. With bPreview, untranslated
    // text and the text of pCurrent carry the preview markers. Inline elements (bpt, ept, ph, it, sub, mrk) are
    // replaced by their content, and the translator's notes (note) left out; text and CDATA content come out
    // decoded. A unit without source (or, in another language, without seg-source and source) is reported
    // by an assertion and gives "".
    // Needs the handle record (set by Convert, OutputTranslation or GeneratePreview).
    wxString GetTransUnitText(tcNode* pFile, tcNode* pTransUnit, const wxString& sLanguage, bool bPreview,
                              tcNode* pCurrent);

    // Replaces every mrk at or below pNode (a copy of a seg-source) by a copy of the target's
    // direct mrk child with the same mid (given back the codes and blanks of the mrk it replaces,
    // as GetTransUnitText says), and the sub-flow mrks inside that copy's codes likewise (none
    // whose mid is being merged already); with bPreview an mrk without one gets the untranslated
    // markers, and the one whose mid is sSelectedMid the selected markers. pTarget may be null.
    // Returns the node now standing where pNode stood (pNode itself unless it was replaced and
    // deleted).
    tcNode* MergeTargetSegments(tcNode* pNode, tcNode* pTarget, tcElement* pMrkElement, tcAttribute* pMidAttr,
                                tcDocument* pDoc, bool bPreview, const wxString& sSelectedMid);

    // Replaces the internal-file node's children by sXML parsed as XML content. False without an
    // internal-file node or when the text is not well-formed (the children then stay).
    bool SetInternalFileXML(const wxString& sXML);

    // Why the last Convert or Import failed, for the user; empty when nothing failed or no reason
    // was given.
    const wxString& GetFailure() const { return m_sFailure; }
    const wxString& GetTypeName() const { return m_sTypeName; }
    const wxString& GetSourceLanguage() const { return m_sSourceLanguage; }
    const wxString& GetSourcePath() const { return m_sSourcePath; }
    int GetThreshold() const { return m_nThreshold; }
    tcNode* GetBodyNode() const { return m_pBodyNode; }
    tcNode* GetInternalFileNode() const { return m_pInternalFileNode; }
    tcDocument* GetDocument() const { return m_pDoc; }

protected:
    // pFile's header/skl/internal-file, each found by its handle; null when any is missing.
    tcNode* FindInternalFile(tcNode* pFile) const;
    void SetFailure(const wxString& sReason) { m_sFailure = sReason; }
    // Sets the failure for a source that could not be opened or read: whether it is missing or
    // unreadable; logs it too.
    void SetReadFailure();
    // Tells the log and the user (one line, one message) that the source was read as UTF-8 with
    // stray bytes made U+FFFD, the first at byte nFirstStray. npos (nothing stray) says nothing.
    void ReportStrayBytes(size_t nFirstStray) const;

    tcNode* m_pBodyNode = nullptr;
    tcNode* m_pInternalFileNode = nullptr;
    int m_nThreshold = -1;
    const SXLIFFDTD* m_pXLIFFDTD = nullptr;
    wxString m_sSourcePath;
    wxString m_sSourceLanguage;
    CVRSRXDoc* m_pRules = nullptr;
    CVRMemDoc* m_pMemory = nullptr;
    tcDocument* m_pDoc = nullptr;
    wxString m_sTypeName;
    wxDateTime m_LastPreviewStamp;

private:
    wxString GenerateSkeleton(tcNode* pFile);
    // The text of every unit of pFile; false (text incomplete) when pProgress reports cancellation.
    bool GenerateFileText(tcNode* pFile, const wxString& sLanguage, bool bPreview, tcNode* pCurrent,
                          wxString& sText, tcConvertorProgress* pProgress = nullptr);

    // The mids of the target segments MergeTargetSegments is merging into, outermost first.
    std::vector<wxString> m_asMergingMids;
    // The rest of the preview cache key.
    const tcNode* m_pLastPreviewCurrent = nullptr;
    wxString m_sLastPreviewLanguage;
    const tcNode* m_pLastPreviewFile = nullptr;
    bool m_bHavePreview = false;
    wxString m_sFailure;
};
