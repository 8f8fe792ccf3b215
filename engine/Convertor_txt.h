#pragma once

#include "engine/Convertor.h"

#include <wx/string.h>

#include <memory>

class tcPreviewWindowFamily;

// Plain-text documents: the whole file becomes one translation unit holding one text run, which
// segmentation then cuts into sentences. The text is escaped as XML content on import and
// unescaped on export, so "&" and "<" come back as they were. Output is UTF-8 without byte order
// mark with line feeds as line ends, whatever the source's encoding and line ends. Previews share
// one window among the text convertors, apart from the HTML one. Main thread only.
class tcConvertorTXT : public tcConvertor
{
public:
    tcConvertorTXT(tcDocument* pDoc, const wxString& sSourceLanguage);
    ~tcConvertorTXT() override;

    // Reads m_sSourcePath, decoded as tDecodeTextAuto does (byte order mark, else UTF-8 when mostly
    // valid, stray bytes reported with ReportStrayBytes, else Latin-1), with CR LF line ends turned
    // into LF. Characters XML does not allow become U+FFFD, with a warning. A file that cannot be
    // opened or read gives false with the reason in GetFailure, adding no unit. Raises pProgress
    // (may be null) by 500.
    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override;
    // Line feeds as "<br />" and the markers as highlight spans in the family's window under
    // pParent; the text stays escaped, so it shows as written. Null without a window.
    wxWindow* Preview(const wxString& sSkeleton, const wxString& sText, wxWindow* pParent, tcNode* pFile) override;
    wxWindow* ShowLastPreview(wxWindow* pParent) override;
    // Writes the text unescaped; false when the file could not be written.
    bool Export(const wxString& sSkeleton, const wxString& sText, const wxString& sOutputPath, tcNode* pFile) override;

    // The page the last Preview showed.
    const wxString& GetLastPreviewText() const { return m_sLastPreviewText; }

    // The live text convertors and their shared preview window.
    static tcPreviewWindowFamily& PreviewFamily();

private:
    wxString m_sLastPreviewText;
};

// The allocator of the registry row "Text documents".
std::unique_ptr<tcConvertor> AllocateConvertor_TXT(tcDocument* pDoc, const wxString& sSourceLanguage);
