#include "engine/Convertor.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/Localisation.h"
#include "Shared/UserPrompts.h"
#include "engine/ConvertorProgress.h"
#include "engine/Convertor_segment.h"
#include "engine/InlineMarkup.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tDateTime.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/filename.h>
#include <wx/stopwatch.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string_view>
#include <vector>

#ifndef LINTRADO_VERSION
#define LINTRADO_VERSION "0.0.0.0"
#endif

namespace
{

// The XLIFF elements that wrap text inside a unit; output replaces each by its content.
bool IsInlineElement(const tcNode* pNode)
{
    const tcElement* pElement = pNode->GetElement();
    if (!pElement)
        return false;
    const wxString& sName = pElement->GetName();
    return sName == L"bpt" || sName == L"ept" || sName == L"ph" || sName == L"it" || sName == L"sub" || sName == L"mrk";
}

// The inline codes: their content is the document's own markup, never highlighted.
bool IsCodeElement(const tcNode* pNode)
{
    const tcElement* pElement = pNode->GetElement();
    if (!pElement)
        return false;
    const wxString& sName = pElement->GetName();
    return sName == L"bpt" || sName == L"ept" || sName == L"ph" || sName == L"it";
}

// The translator's notes, kept inside a segment's mrk or source: never part of the document text.
bool IsNoteElement(const tcNode* pNode)
{
    const tcElement* pElement = pNode->GetElement();
    return pElement && pElement->GetName() == L"note";
}

void AppendEscapedText(wxString& sOut, const wxString& sText)
{
    for (wxUniChar c : sText)
    {
        if (c == L'&')
            sOut += L"&amp;";
        else if (c == L'<')
            sOut += L"&lt;";
        else if (c == L'>')
            sOut += L"&gt;";
        else
            sOut += c;
    }
}

// The document text of a unit's content: text escaped as markup text, CDATA and the text directly
// inside a code (the code's native markup, as other tools write it) as they stand, inline elements
// replaced by their content, notes left out. Walking the tree keeps a document's own tags that happen to be named
// like XLIFF elements.
void AppendOutputText(const tcNode* pNode, bool bInCode, wxString& sOut)
{
    switch (pNode->GetClassType())
    {
    case NODE_TEXTNODE:
        if (bInCode)
            sOut += static_cast<const tcText*>(pNode)->GetText();
        else
            AppendEscapedText(sOut, static_cast<const tcText*>(pNode)->GetText());
        return;
    case NODE_CDATA:
        sOut += static_cast<const tcCDATA*>(pNode)->GetText();
        return;
    default:
        break;
    }
    if (IsNoteElement(pNode))
        return;
    if (!pNode->IsElementNode() || !IsInlineElement(pNode))
    {
        // Not made by our convertors (another tool's element): kept as XML.
        sOut += pNode->GenerateXML(true, true);
        return;
    }
    const bool bCode = IsCodeElement(pNode);
    for (const tcNode* pChild : pNode->GetChildren())
        AppendOutputText(pChild, bCode, sOut);
}

wxString ChildrenOutputText(const tcNode* pNode)
{
    wxString sOut;
    for (const tcNode* pChild : pNode->GetChildren())
        AppendOutputText(pChild, false, sOut);
    return sOut;
}

tcNode* FindChildOfKind(const tcNode* pParent, const tcElement* pElement)
{
    if (!pParent || !pElement)
        return nullptr;
    return pParent->FindChildElementInChildNodes(pElement);
}

// The child of that kind, made (with its required children) and inserted in DTD order when there is
// none yet.
tcNode* EnsureChild(tcNode* pParent, const tcElement* pElement, tcDocument* pDoc)
{
    if (!pParent || !pElement)
        return nullptr;
    if (tcNode* pExisting = pParent->FindChildElementInChildNodes(pElement))
        return pExisting;
    tcNode* pChild = AllocateElementByIDHelper(pElement->GetID(), pDoc);
    if (pChild && !pParent->AddChildOrdered(pChild))
    {
        pDoc->DeleteTreeFromMem(pChild);
        return nullptr;
    }
    return pChild;
}

// A copy of pSource (attributes and subtree), unattached, allocated in pDoc without marking it
// changed. Null when the kind cannot be copied.
tcNode* CopyTree(const tcNode* pSource, tcDocument* pDoc)
{
    tcNode* pCopy = pSource->Clone(pDoc);
    if (!pCopy)
        return nullptr;
    tcCloneContext context(pDoc, pDoc);
    context.bOverwriteAttributes = true;
    pCopy->CloneTree(pSource, &context);
    return pCopy;
}

bool IsBlank(const wxString& sText)
{
    for (wxUniChar c : sText)
        if (!std::iswspace(c))
            return false;
    return true;
}

// A child that carries the segment's text: anything but a code, a note or blank text.
bool IsTextChild(const tcNode* pNode)
{
    if (pNode->IsClass(NODE_TEXTNODE))
        return !IsBlank(static_cast<const tcText*>(pNode)->GetText());
    return !IsCodeElement(pNode) && !IsNoteElement(pNode);
}

wxString LeadingBlanks(const wxString& sText)
{
    size_t n = 0;
    while (n < sText.length() && std::iswspace(sText[n]))
        ++n;
    return sText.Left(n);
}

wxString TrailingBlanks(const wxString& sText)
{
    size_t n = sText.length();
    while (n > 0 && std::iswspace(sText[n - 1]))
        --n;
    return sText.Mid(n);
}

// A code's native markup, which identifies it whatever its kind or identifier.
wxString CodeMarkup(const tcNode* pCode)
{
    wxString s;
    AppendOutputText(pCode, false, s);
    return s;
}

// A blank run of the source that stands between two codes (or between a code and an edge of the
// segment): an indentation or a line's end around markup, which the translator never sees.
bool IsBlankBetweenCodes(const std::vector<tcNode*>& apChildren, size_t i)
{
    if (!apChildren[i]->IsClass(NODE_TEXTNODE) || static_cast<const tcText*>(apChildren[i])->GetText().empty() ||
        !IsBlank(static_cast<const tcText*>(apChildren[i])->GetText()))
        return false;
    const bool bCodeBefore = i == 0 || IsCodeElement(apChildren[i - 1]);
    const bool bCodeAfter = i + 1 == apChildren.size() || IsCodeElement(apChildren[i + 1]);
    return bCodeBefore && bCodeAfter && apChildren.size() > 1;
}

// Whether the target child at nIndex is a code with that markup; an empty markup stands for the
// segment's edge, which "matches" the index just outside the children.
bool CodeAt(const tcNode* pTarget, int nIndex, const wxString& sMarkup)
{
    if (sMarkup.empty())
        return nIndex < 0 || nIndex >= pTarget->GetNumChildren();
    if (nIndex < 0 || nIndex >= pTarget->GetNumChildren() || !IsCodeElement(pTarget->GetChild(nIndex)))
        return false;
    return CodeMarkup(pTarget->GetChild(nIndex)) == sMarkup;
}

// Puts the source's blank runs between codes into the target wherever the target has the same two
// codes side by side with nothing between them, in the source's order. Where the translator put
// anything between them, it stays as typed.
void RestoreBlanksBetweenCodes(const tcNode* pSource, tcNode* pTarget, tcDocument* pDoc)
{
    const std::vector<tcNode*>& apSource = pSource->GetChildren();
    int nFrom = 0;
    for (size_t i = 0; i < apSource.size(); ++i)
    {
        if (!IsBlankBetweenCodes(apSource, i))
            continue;
        const wxString sBefore = i > 0 ? CodeMarkup(apSource[i - 1]) : wxString();
        const wxString sAfter = i + 1 < apSource.size() ? CodeMarkup(apSource[i + 1]) : wxString();
        for (int nGap = nFrom; nGap <= pTarget->GetNumChildren(); ++nGap)
        {
            const bool bEdgeBefore = sBefore.empty() != (nGap == 0);
            const bool bEdgeAfter = sAfter.empty() != (nGap == pTarget->GetNumChildren());
            if (bEdgeBefore || bEdgeAfter || !CodeAt(pTarget, nGap - 1, sBefore) || !CodeAt(pTarget, nGap, sAfter))
                continue;
            tcNode* pBlank = pDoc->AllocateTextNode(static_cast<const tcText*>(apSource[i])->GetText());
            if (pBlank && pTarget->InsertChild(pBlank, nGap))
                nFrom = nGap + 1;
            break;
        }
    }
}

// Gives a target (a segment or a unit's target, a working copy) the edges of its source: the
// source's codes that the target lacks (a proposal pre-filled from the memory has none), the
// blanks around the source's text and the blanks between its codes. Codes before the source's first
// text go first, all others last, so a translated document keeps its markup and its line and word
// breaks. An empty target, or a source without text, is left as it is.
void RestoreSourceEdges(const tcNode* pSource, tcNode* pTarget, tcDocument* pDoc)
{
    const std::vector<tcNode*>& apSource = pSource->GetChildren();
    int nFirst = -1;
    int nLast = -1;
    for (int i = 0; i < static_cast<int>(apSource.size()); ++i)
    {
        if (IsTextChild(apSource[i]))
        {
            if (nFirst < 0)
                nFirst = i;
            nLast = i;
        }
    }
    int nTargetFirst = -1;
    for (int i = 0; i < pTarget->GetNumChildren() && nTargetFirst < 0; ++i)
        if (IsTextChild(pTarget->GetChild(i)))
            nTargetFirst = i;
    if (nFirst < 0 || nTargetFirst < 0)
        return;

    // Blanks around the text, where the target has none.
    tcNode* pTargetFirst = pTarget->GetChild(nTargetFirst);
    const wxString sLead = apSource[nFirst]->IsClass(NODE_TEXTNODE)
                               ? LeadingBlanks(static_cast<const tcText*>(apSource[nFirst])->GetText())
                               : wxString();
    if (!sLead.empty() && pTargetFirst->IsClass(NODE_TEXTNODE))
    {
        tcText* pText = static_cast<tcText*>(pTargetFirst);
        if (LeadingBlanks(pText->GetText()).empty())
            pText->SetText(sLead + pText->GetText());
    }
    int nTargetLast = nTargetFirst;
    for (int i = pTarget->GetNumChildren() - 1; i > nTargetFirst; --i)
    {
        if (IsTextChild(pTarget->GetChild(i)))
        {
            nTargetLast = i;
            break;
        }
    }
    const wxString sTrail = apSource[nLast]->IsClass(NODE_TEXTNODE)
                                ? TrailingBlanks(static_cast<const tcText*>(apSource[nLast])->GetText())
                                : wxString();
    tcNode* pTargetLast = pTarget->GetChild(nTargetLast);
    if (!sTrail.empty() && pTargetLast->IsClass(NODE_TEXTNODE))
    {
        tcText* pText = static_cast<tcText*>(pTargetLast);
        if (TrailingBlanks(pText->GetText()).empty())
            pText->SetText(pText->GetText() + sTrail);
    }

    // The source's codes the target lacks, matched by their markup.
    std::vector<tcNode*> apTargetCodes;
    CollectInlineTags(pTarget, apTargetCodes);
    std::vector<wxString> asPresent;
    for (const tcNode* pCode : apTargetCodes)
        asPresent.push_back(CodeMarkup(pCode));
    int nInsertAt = 0;
    for (int i = 0; i < static_cast<int>(apSource.size()); ++i)
    {
        if (!IsCodeElement(apSource[i]))
            continue;
        const auto it = std::find(asPresent.begin(), asPresent.end(), CodeMarkup(apSource[i]));
        if (it != asPresent.end())
        {
            asPresent.erase(it);
            continue;
        }
        tcNode* pCopy = CopyTree(apSource[i], pDoc);
        if (!pCopy)
            continue;
        if (i < nFirst)
            pTarget->InsertChild(pCopy, nInsertAt++);
        else
            pTarget->AddChildLast(pCopy);
    }
    RestoreBlanksBetweenCodes(pSource, pTarget, pDoc);
}

bool SameStamp(const wxDateTime& a, const wxDateTime& b)
{
    if (!a.IsValid() || !b.IsValid())
        return a.IsValid() == b.IsValid();
    return a == b;
}

void InsertMarkersBelow(tcNode* pNode, const wxString& sBegin, const wxString& sEnd)
{
    if (pNode->IsClass(NODE_TEXTNODE))
    {
        tcText* pText = static_cast<tcText*>(pNode);
        pText->SetText(sBegin + pText->GetText() + sEnd);
        return;
    }
    if (IsCodeElement(pNode))
        return;
    for (tcNode* pChild : pNode->GetChildren())
        InsertMarkersBelow(pChild, sBegin, sEnd);
}

} // namespace

wxString ReplaceHighlightMarkersWithSpans(const wxString& sText)
{
    wxString sOut(sText);
    tStrReplace(sOut, kszUntranslatedBegin, wxString::Format(kszUntranslatedSpanFormat, kszUntranslatedColour));
    const wxString sSelected = wxString::Format(kszSelectedSpanFormat, kszSelectedColour);
    // A segment cut by codes is marked piece by piece: the view goes to its first piece.
    const size_t nFirst = sOut.find(kszSelectedBegin);
    if (nFirst != wxString::npos)
        sOut.replace(nFirst, wcslen(kszSelectedBegin),
                     wxString::Format(L"<a name=\"%s\"></a>", kszSelectedAnchor) + sSelected);
    tStrReplace(sOut, kszSelectedBegin, sSelected);
    tStrReplace(sOut, kszUntranslatedEnd, L"</span>");
    tStrReplace(sOut, kszSelectedEnd, L"</span>");
    return sOut;
}

void InsertHighlightMarkers(tcNode* pNode, const wxString& sBegin, const wxString& sEnd)
{
    if (!pNode)
        return;
    // A sub-flow inside a code sits in the document's markup (an attribute value, a comment): a
    // marker there would break that markup.
    for (const tcNode* pAncestor = pNode->GetParent(); pAncestor; pAncestor = pAncestor->GetParent())
        if (IsCodeElement(pAncestor))
            return;
    InsertMarkersBelow(pNode, sBegin, sEnd);
}

bool WriteTextFile(const wxString& sPath, const wxString& sText)
{
    wxString sError;
    if (!tWriteFileAtomically(sPath, tToUTF8(sText), &sError))
    {
        kvLogError(L"Could not write %s: %s", sPath, sError);
        return false;
    }
    return true;
}

bool WriteHexToBinaryFile(const wxString& sPath, const wxString& sHex)
{
    std::vector<uint8_t> aBytes;
    if (!tHexToBin(sHex, aBytes))
    {
        kvLogError(L"Not hexadecimal data, %s not written", sPath);
        return false;
    }
    wxString sError;
    if (!tWriteFileAtomically(sPath, std::string(aBytes.begin(), aBytes.end()), &sError))
    {
        kvLogError(L"Could not write %s: %s", sPath, sError);
        return false;
    }
    return true;
}

void tcConvertor::ReportStrayBytes(size_t nFirstStray) const
{
    if (nFirstStray == std::string_view::npos)
        return;
    const wxString sOffset = wxString::Format("%zu", nFirstStray);
    kvLog(L"%s was read as UTF-8 although some bytes are not UTF-8 (the first at byte offset %s); each "
          L"became U+FFFD.",
          m_sSourcePath, sOffset);
    tUserPrompts().ShowMessage(tLocalisedWith("SOURCE_STRAY_BYTES", m_sSourcePath, sOffset),
                               g_LocEngine.FindTranslation("MESSAGETITLE_WARNING"), wxOK | wxICON_WARNING, nullptr);
}

tcConvertor::tcConvertor(const wxString& sTypeName, tcDocument* pDoc, const wxString& sSourceLanguage)
    : m_sSourceLanguage(sSourceLanguage), m_pDoc(pDoc), m_sTypeName(sTypeName), m_LastPreviewStamp(wxDateTime::Now())
{
}

tcConvertor::~tcConvertor() = default;

bool tcConvertor::Convert(const SXLIFFDTD* pXLIFFDTD, const wxString& sSourcePath, tcDictionary* pRoot,
                          CVRSRXDoc* pRules, CVRMemDoc* pMemory, const wxString& sSourceLanguage,
                          const wxString& sTargetLanguage, int nThreshold, tcConvertorProgress* pProgress)
{
    m_pXLIFFDTD = pXLIFFDTD;
    m_pRules = pRules;
    m_pMemory = pMemory;
    m_sSourcePath = sSourcePath;
    m_nThreshold = nThreshold;

    if (!pXLIFFDTD || !pRoot || !m_pDoc || !pXLIFFDTD->m_pFileElement)
    {
        tAssert(__FILE__, __LINE__, "pXLIFFDTD && pRoot && m_pDoc");
        return false;
    }
    const SXLIFFDTD& dtd = *pXLIFFDTD;

    tcNode* pSection = pRoot->GetNumSections() > 0 ? pRoot->GetSection(0) : pRoot->AddLanguage(L"xliff-placeholder");
    tcNode* pFile = AllocateElementByIDHelper(dtd.m_pFileElement->GetID(), m_pDoc);
    if (!pSection || !pFile || !pSection->AddChildLast(pFile))
    {
        tAssert(__FILE__, __LINE__, "pSection && pFile");
        if (pFile)
            m_pDoc->DeleteTreeFromMem(pFile);
        return false;
    }

    pFile->SetAttributeDisplayByString(dtd.m_pFileOriginalAttr, sSourcePath);
    pFile->SetAttributeDisplayByString(dtd.m_pFileDatatypeAttr, m_sTypeName);
    pFile->SetAttributeDisplayByString(dtd.m_pFileSourceLanguageAttr, sSourceLanguage);
    pFile->SetAttributeDisplayByString(dtd.m_pFileTargetLanguageAttr, sTargetLanguage);
    pFile->SetAttributeDisplayByString(dtd.m_pFileToolIdAttr, g_sAppName);
    pFile->SetAttributeDisplayByString(dtd.m_pFileToolNameAttr, g_sAppName);
    pFile->SetAttributeDisplayByString(dtd.m_pFileToolVersionAttr, wxString(LINTRADO_VERSION));
    pFile->SetAttributeDisplayByString(dtd.m_pFileToolCompanyAttr, L"Korvendel HLT");
    // The vocabulary keeps no handle for `date`.
    pFile->SetAttributeDisplayByString(L"date", tDateTimeToStr(wxDateTime::Now()));
    pFile->SetAttributeDisplayByString(dtd.m_pFileCategoryAttr, L"General");

    tcNode* pHeader = EnsureChild(pFile, dtd.m_pHeaderElement, m_pDoc);
    tcNode* pSkl = EnsureChild(pHeader, dtd.m_pSklElement, m_pDoc);
    m_pInternalFileNode = EnsureChild(pSkl, dtd.m_pInternalFileElement, m_pDoc);
    m_pBodyNode = EnsureChild(pFile, dtd.m_pBodyElement, m_pDoc);

    // Nobody has seen the file yet: it goes without an event, a deletion record or a changed mark.
    const auto takeOut = [&]()
    {
        pSection->RemoveChild(pFile);
        m_pDoc->DeleteTreeFromMem(pFile);
        m_pBodyNode = nullptr;
        m_pInternalFileNode = nullptr;
    };
    m_sFailure.clear();
    try
    {
        CSegmentDoc segDoc(pXLIFFDTD, m_pDoc, pRules, pMemory, m_sSourceLanguage, m_pBodyNode, nThreshold,
                           sTargetLanguage);
        if (!Import(&segDoc, pProgress))
        {
            takeOut();
            return false;
        }

        kvLogN(L"<%s>", L"SEGMENT");
        wxStopWatch watch;
        segDoc.Segment(pProgress);
        const long long nMicro = watch.TimeInMicro().GetValue();
        kvLog(L"<~%s:%d,%d>", L"SEGMENT", static_cast<int>(nMicro / 1000), static_cast<int>(nMicro));
    }
    catch (...)
    {
        takeOut();
        throw;
    }

    if (pProgress)
        pProgress->SetValue(tcConvertorProgress::kMaximum);
    return true;
}

void tcConvertor::SetReadFailure()
{
    kvLogError(L"Could not read %s", m_sSourcePath);
    SetFailure(
        g_LocEngine.FindTranslation(wxFileName::Exists(m_sSourcePath) ? "FILE_COULD_NOT_OPEN" : "FILE_DOES_NOT_EXIST"));
}

tcNode* tcConvertor::FindInternalFile(tcNode* pFile) const
{
    if (!m_pXLIFFDTD || !pFile)
        return nullptr;
    tcNode* pHeader = FindChildOfKind(pFile, m_pXLIFFDTD->m_pHeaderElement);
    tcNode* pSkl = FindChildOfKind(pHeader, m_pXLIFFDTD->m_pSklElement);
    return FindChildOfKind(pSkl, m_pXLIFFDTD->m_pInternalFileElement);
}

wxString tcConvertor::GenerateSkeleton(tcNode* pFile)
{
    m_pInternalFileNode = FindInternalFile(pFile);
    return m_pInternalFileNode ? m_pInternalFileNode->GenerateXMLChildren(false, false) : wxString();
}

bool tcConvertor::GenerateFileText(tcNode* pFile, const wxString& sLanguage, bool bPreview, tcNode* pCurrent,
                                   wxString& sText, tcConvertorProgress* pProgress)
{
    sText.clear();
    if (!m_pXLIFFDTD->m_pTransUnitElement)
        return true;
    std::vector<tcNode*> apUnits;
    pFile->FindDescendantsOfElementType(m_pXLIFFDTD->m_pTransUnitElement->GetID(), apUnits);
    for (size_t i = 0; i < apUnits.size(); ++i)
    {
        if (pProgress)
        {
            if (pProgress->WasCancelled())
                return false;
            pProgress->SetValue(static_cast<int>(i * tcConvertorProgress::kMaximum / apUnits.size()));
        }
        sText += GetTransUnitText(pFile, apUnits[i], sLanguage, bPreview, pCurrent);
    }
    return !pProgress || !pProgress->WasCancelled();
}

bool tcConvertor::OutputTranslation(const SXLIFFDTD* pXLIFFDTD, const wxString& sOutputPath, const wxString& sLanguage,
                                    tcNode* pFile, tcConvertorProgress* pProgress)
{
    m_pXLIFFDTD = pXLIFFDTD;
    if (!pXLIFFDTD || !pFile)
        return false;
    const wxString sSkeleton = GenerateSkeleton(pFile);
    wxString sText;
    if (!GenerateFileText(pFile, sLanguage, false, nullptr, sText, pProgress))
        return false;
    return Export(sSkeleton, sText, sOutputPath, pFile);
}

wxWindow* tcConvertor::GeneratePreview(const SXLIFFDTD* pXLIFFDTD, wxWindow* pParent, tcNode* pFile, tcNode* pCurrent,
                                       const wxString& sLanguage)
{
    m_pXLIFFDTD = pXLIFFDTD;
    if (!pXLIFFDTD || !pFile)
        return nullptr;

    const wxDateTime stamp = tStrToDateTime(pFile->GetAttributeS(pXLIFFDTD->m_pFileLastModifiedAttr));
    const bool bClean = m_pDoc && !m_pDoc->IsDirty();
    if (m_bHavePreview && bClean && SameStamp(stamp, m_LastPreviewStamp) && pFile == m_pLastPreviewFile &&
        pCurrent == m_pLastPreviewCurrent && sLanguage == m_sLastPreviewLanguage)
        return ShowLastPreview(pParent);

    const wxString sSkeleton = GenerateSkeleton(pFile);
    kvLogN(L"<%s>", L"GENPREVIEW");
    wxStopWatch watch;
    wxString sText;
    GenerateFileText(pFile, sLanguage, true, pCurrent, sText);
    const long long nMicro = watch.TimeInMicro().GetValue();
    kvLog(L"<~%s:%d,%d>", L"GENPREVIEW", static_cast<int>(nMicro / 1000), static_cast<int>(nMicro));

    m_LastPreviewStamp = stamp;
    m_pLastPreviewFile = pFile;
    m_pLastPreviewCurrent = pCurrent;
    m_sLastPreviewLanguage = sLanguage;
    m_bHavePreview = true;
    return Preview(sSkeleton, sText, pParent, pFile);
}

wxString tcConvertor::GetTransUnitText(tcNode* pFile, tcNode* pTransUnit, const wxString& sLanguage, bool bPreview,
                                       tcNode* pCurrent)
{
    if (!m_pXLIFFDTD || !pTransUnit || !m_pDoc)
        return wxString();
    const SXLIFFDTD& dtd = *m_pXLIFFDTD;

    if (sLanguage == m_sSourceLanguage)
    {
        tcNode* pSource = FindChildOfKind(pTransUnit, dtd.m_pSourceElement);
        if (!pSource)
        {
            tAssert(__FILE__, __LINE__, "pSource");
            return wxString();
        }
        return ChildrenOutputText(pSource);
    }

    tcNode* pSourceSide = FindChildOfKind(pTransUnit, dtd.m_pSegSourceElement);
    const bool bSegSource = pSourceSide != nullptr;
    if (!pSourceSide)
        pSourceSide = FindChildOfKind(pTransUnit, dtd.m_pSourceElement);
    if (!pSourceSide)
    {
        tAssert(__FILE__, __LINE__, "pSegSource");
        return wxString();
    }

    tcNode* pTarget = nullptr;
    if (dtd.m_pTargetElement)
    {
        for (tcNode* pChild : pTransUnit->GetChildren())
        {
            if (pChild->GetElement() != dtd.m_pTargetElement)
                continue;
            wxString sLang =
                dtd.m_pTargetLangAttr ? pChild->GetAttributeRawAsString(dtd.m_pTargetLangAttr) : wxString();
            if (sLang.empty() && pFile)
                sLang = pFile->GetAttributeDisplayAsString(dtd.m_pFileTargetLanguageAttr);
            if (sLang.empty())
                tAssert(__FILE__, __LINE__, "(sLang!=L\"\")");
            if (sLang == sLanguage)
            {
                pTarget = pChild;
                break;
            }
        }
    }

    const bool bCurrentInUnit = bPreview && pCurrent && pCurrent->GetParent() == pTransUnit;
    tcNode* pCopy = nullptr;
    if (bSegSource && dtd.m_pMrkElement && pSourceSide->HasDescendantsOfElementType(dtd.m_pMrkElement->GetID()))
    {
        pCopy = CopyTree(pSourceSide, m_pDoc);
        wxString sSelectedMid;
        if (bPreview && pCurrent && pCurrent->GetElement() == dtd.m_pMrkElement && pCurrent->IsDescendantOf(pTransUnit))
            sSelectedMid = pCurrent->GetAttributeDisplayAsString(dtd.m_pMrkMidAttr);
        if (pCopy)
            MergeTargetSegments(pCopy, pTarget, dtd.m_pMrkElement, dtd.m_pMrkMidAttr, m_pDoc, bPreview, sSelectedMid);
    }
    else if (pTarget)
    {
        pCopy = CopyTree(pTarget, m_pDoc);
        if (pCopy)
            RestoreSourceEdges(pSourceSide, pCopy, m_pDoc);
        if (pCopy && bCurrentInUnit)
            InsertHighlightMarkers(pCopy, kszSelectedBegin, kszSelectedEnd);
    }
    else
    {
        pCopy = CopyTree(pSourceSide, m_pDoc);
        if (pCopy && bPreview)
        {
            InsertHighlightMarkers(pCopy, kszUntranslatedBegin, kszUntranslatedEnd);
            if (bCurrentInUnit)
                InsertHighlightMarkers(pCopy, kszSelectedBegin, kszSelectedEnd);
        }
    }
    if (!pCopy)
        return wxString();

    wxString sText = ChildrenOutputText(pCopy);
    if (bPreview)
        tStrReplace(sText, wxString(kszUntranslatedEnd) + kszUntranslatedBegin, wxString());
    // The copy was never part of the project: deleted without marking the document changed.
    m_pDoc->DeleteTreeFromMem(pCopy);
    return sText;
}

tcNode* tcConvertor::MergeTargetSegments(tcNode* pNode, tcNode* pTarget, tcElement* pMrkElement, tcAttribute* pMidAttr,
                                         tcDocument* pDoc, bool bPreview, const wxString& sSelectedMid)
{
    if (!pNode || !pDoc)
        return pNode;
    tcNode* pResult = pNode;
    // Read before the node may be replaced (and freed).
    wxString sMid;
    if (pMrkElement && pNode->GetElement() == pMrkElement)
    {
        sMid = pNode->GetAttributeDisplayAsString(pMidAttr);
        tcNode* pSegment = nullptr;
        if (pTarget)
        {
            for (tcNode* pChild : pTarget->GetChildren())
            {
                if (pChild->GetElement() == pMrkElement && pChild->GetAttributeDisplayAsString(pMidAttr) == sMid)
                {
                    pSegment = pChild;
                    break;
                }
            }
        }
        tcNode* pParent = pNode->GetParent();
        tcNode* pCopy = pSegment && pParent ? CopyTree(pSegment, pDoc) : nullptr;
        if (pCopy && pParent->ReplaceChild(pNode, pCopy))
        {
            RestoreSourceEdges(pNode, pCopy, pDoc);
            pDoc->DeleteTreeFromMem(pNode);
            pResult = pCopy;
        }
        else
        {
            if (pCopy)
                pDoc->DeleteTreeFromMem(pCopy);
            if (bPreview)
                InsertHighlightMarkers(pNode, kszUntranslatedBegin, kszUntranslatedEnd);
        }
        if (bPreview && !sSelectedMid.empty() && sMid == sSelectedMid)
            InsertHighlightMarkers(pResult, kszSelectedBegin, kszSelectedEnd);
    }
    // A target segment that took the node's place may hold the source's codes, and with them the
    // sub-flows inside them (an attribute value): those take their own targets too. A segment
    // nesting its own mid, or one that holds it, is merged once only, so the walk ends. A
    // replacement keeps its index, so walking by index visits every child once.
    if (pResult != pNode)
    {
        if (std::find(m_asMergingMids.begin(), m_asMergingMids.end(), sMid) != m_asMergingMids.end())
            return pResult;
        m_asMergingMids.push_back(sMid);
    }
    for (int i = 0; i < pResult->GetNumChildren(); ++i)
        MergeTargetSegments(pResult->GetChild(i), pTarget, pMrkElement, pMidAttr, pDoc, bPreview, sSelectedMid);
    if (pResult != pNode)
        m_asMergingMids.pop_back();
    return pResult;
}

bool tcConvertor::SetInternalFileXML(const wxString& sXML)
{
    if (!m_pInternalFileNode || !m_pDoc)
        return false;
    return m_pInternalFileNode->ParseXML(sXML, m_pDoc, 0, 0);
}
