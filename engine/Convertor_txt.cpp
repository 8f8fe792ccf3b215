#include "engine/Convertor_txt.h"

#include "engine/ConvertorPreview.h"
#include "engine/ConvertorProgress.h"
#include "engine/Convertor_segment.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcTextFileInputStream.h"

#include <wx/defs.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

tcConvertorTXT::tcConvertorTXT(tcDocument* pDoc, const wxString& sSourceLanguage)
    : tcConvertor(L"txt", pDoc, sSourceLanguage)
{
    PreviewFamily().Join();
}

tcConvertorTXT::~tcConvertorTXT()
{
    PreviewFamily().Leave();
}

tcPreviewWindowFamily& tcConvertorTXT::PreviewFamily()
{
    static tcPreviewWindowFamily family;
    return family;
}

bool tcConvertorTXT::Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress)
{
    if (!pSegDoc)
        return false;
    const std::optional<std::string> sBytes = tReadFileBytes(m_sSourcePath);
    if (!sBytes)
    {
        SetReadFailure();
        return false;
    }

    size_t nFirstStray = std::string_view::npos;
    wxString sText(tDecodeTextAuto(*sBytes, nullptr, nullptr, &nFirstStray));
    ReportStrayBytes(nFirstStray);
    tStrReplace(sText, L"\r\n", L"\n");
    int nReplaced = 0;
    for (auto it = sText.begin(); it != sText.end(); ++it)
    {
        if (!tIsXMLChar(static_cast<uint32_t>((*it).GetValue())))
        {
            *it = wxUniChar(0xFFFD);
            ++nReplaced;
        }
    }
    if (nReplaced > 0)
        kvLogVisibleWarning(L"%s holds %d characters that XML does not allow; each was replaced by U+FFFD.",
                            m_sSourcePath, nReplaced);

    CSegmentUnit* pUnit = pSegDoc->AddUnit();
    auto pRun = std::make_unique<CSegmentText>();
    if (pProgress)
        pProgress->SetValue(pProgress->GetValue() + 500);
    // Escaped as XML content, a lone carriage return as a reference, which the writer's parser
    // would otherwise turn into a line feed.
    pRun->SetText(tEscapeXMLCharacters_PCDATA(sText));
    AddTUChild(pUnit, std::move(pRun));
    return true;
}

wxWindow* tcConvertorTXT::Preview(const wxString&, const wxString& sText, wxWindow* pParent, tcNode*)
{
    wxString sPage = sText;
    tStrReplace(sPage, L"\n", L"<br />");
    m_sLastPreviewText = ReplaceHighlightMarkersWithSpans(sPage);
    return PreviewFamily().Show(pParent, m_sLastPreviewText);
}

wxWindow* tcConvertorTXT::ShowLastPreview(wxWindow* pParent)
{
    return PreviewFamily().Show(pParent, m_sLastPreviewText);
}

bool tcConvertorTXT::Export(const wxString&, const wxString& sText, const wxString& sOutputPath, tcNode*)
{
    return WriteTextFile(sOutputPath, tUnescapeXMLCharacters(sText));
}

std::unique_ptr<tcConvertor> AllocateConvertor_TXT(tcDocument* pDoc, const wxString& sSourceLanguage)
{
    return std::make_unique<tcConvertorTXT>(pDoc, sSourceLanguage);
}
