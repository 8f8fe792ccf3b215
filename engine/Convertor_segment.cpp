// The segment model and the writer of its units as XLIFF trans-units.
#include "engine/Convertor_segment.h"

#include "Shared/AppUtils_shared.h"
#include "Shared/VRSRXDoc.h"
#include "engine/ConvertorProgress.h"
#include "engine/MemDocLookupPool.h"
#include "engine/VRMemDoc.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tRegex.h"
#include "varnak/include/tString.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

namespace
{
// Assertion sites report fixed numbers, not source lines: reports already filed name these, so
// they must not move when the file is edited.
constexpr int kAssertUnknownSegmentKind = 284; // a segment child of no known kind (both walks)
constexpr int kAssertNoMatchQualityAttr = 117;
constexpr int kAssertNoAltTransLangAttr = 118;

// What the writer's recursive routines read instead of taking it as arguments. Each CSegmentDoc
// construction overwrites it.
struct SWriterContext
{
    const SXLIFFDTD* pXLIFFDTD = nullptr;
    tcDocument* pDoc = nullptr;
    CVRSRXDoc* pRules = nullptr;
    CVRMemDoc* pMemory = nullptr;
    wxString sLookupLanguage;
    tcNode* pBody = nullptr;
    int nThreshold = -1;
    wxString sTargetLanguage;
    // Set for a unit whose markup did not parse: text runs are then escaped as they are written.
    bool bEscapeTextRuns = false;
    // While CSegmentDoc::Segment runs with a memory: the look-ups go to the workers, and their
    // proposals are written later, in the order asked, for these trans-units and segment numbers.
    CMemDocLookupPool* pLookups = nullptr;
    std::deque<std::pair<tcNode*, int>> aPendingMatches;
};

SWriterContext& Context()
{
    static SWriterContext context;
    return context;
}

int g_nSegmentIDCounter = 0;

// ---- Text ---------------------------------------------------------------------------------------

// True when a reference the parser understands starts at nPos ("&" followed by a predefined entity
// or a character reference).
bool IsReferenceAt(const wxString& sText, size_t nPos)
{
    const size_t nSemi = sText.find(L';', nPos + 1);
    if (nSemi == wxString::npos || nSemi == nPos + 1 || nSemi - nPos > 12)
        return false;
    const wxString sRef = sText.substr(nPos, nSemi - nPos + 1);
    return tUnescapeXMLCharacters(sRef) != sRef;
}

// Text that was meant to be XML content but is not: "<", ">" and every "&" that starts no
// reference are escaped, characters XML forbids become U+FFFD. References stay as they are.
wxString EscapeTextRun(const wxString& sText)
{
    wxString sOut;
    sOut.reserve(sText.length() + 16);
    for (size_t i = 0; i < sText.length(); ++i)
    {
        const wchar_t c = sText[i];
        if (c == L'&')
            sOut += IsReferenceAt(sText, i) ? L"&" : L"&amp;";
        else if (c == L'<')
            sOut += L"&lt;";
        else if (c == L'>')
            sOut += L"&gt;";
        else if (!tIsXMLChar(static_cast<uint32_t>(c)))
            sOut += wchar_t(0xFFFD);
        else
            sOut += c;
    }
    return sOut;
}

// A text run's text as the writer uses it, in markup and plain text alike.
wxString RunText(const CSegmentTUChild& child)
{
    const wxString& sText = static_cast<const CSegmentText&>(child).GetText();
    return Context().bEscapeTextRuns ? EscapeTextRun(sText) : sText;
}

wxString FormatInt(int n)
{
    return wxString::Format(L"%d", n);
}

// ---- Markup of nodes ----------------------------------------------------------------------------

wxString SubOpeningTag(const CSegmentTUChild& sub)
{
    return L"<sub datatype=\"\" ctype=\"" + tEscapeXMLCharacters(sub.GetStyleName()) + L"\">";
}

void RenderChild(CSegmentTUChild& child, int nSegStart, int nSegEnd, bool bSegmentSubFlows, int* pnCounter,
                 CVRSRXDoc* pRules, tcNode* pTransUnit, wxString& sOut);
wxString SegmentSubFlow(CSegmentTUChild& sub, int* pnCounter, CVRSRXDoc* pRules, tcNode* pTransUnit);

// A sub element with the sub-flow's content.
void AppendSubFlow(CSegmentTUChild& sub, bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules, tcNode* pTransUnit,
                   wxString& sOut)
{
    sOut += SubOpeningTag(sub);
    if (bSegmentSubFlows && pnCounter && pRules)
        sOut += SegmentSubFlow(sub, pnCounter, pRules, pTransUnit);
    else
        sOut += sub.GenerateChildrenXLIFF(bSegmentSubFlows, pnCounter, pRules, pTransUnit);
    sOut += L"</sub>";
}

// The raw text of a code's content gathers in sRaw; a sub-flow ends the CDATA section and is written
// as a sub element. Codes nested in the code give their raw text, so no CDATA section is ever
// nested in another.
void CollectCodeContent(CSegmentTUChild& node, bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules,
                        tcNode* pTransUnit, wxString& sOut, wxString& sRaw, bool& bWroteMarkup)
{
    for (const auto& pChild : node.GetChildren())
    {
        switch (pChild->Kind())
        {
        case teSegmentKind::Text:
            sRaw += static_cast<const CSegmentText&>(*pChild).GetText();
            break;
        case teSegmentKind::Sub:
            if (!sRaw.empty())
                tAppendXMLCDATA(sOut, sRaw);
            sRaw.clear();
            AppendSubFlow(*pChild, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sOut);
            bWroteMarkup = true;
            break;
        case teSegmentKind::Group:
        case teSegmentKind::Start:
        case teSegmentKind::End:
            CollectCodeContent(*pChild, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sOut, sRaw, bWroteMarkup);
            break;
        case teSegmentKind::Other:
            tAssert("Convertor_segment", kAssertUnknownSegmentKind, "0");
            break;
        }
    }
}

wxString CodeContent(CSegmentTUChild& code, bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules,
                     tcNode* pTransUnit)
{
    wxString sOut;
    wxString sRaw;
    bool bWroteMarkup = false;
    CollectCodeContent(code, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sOut, sRaw, bWroteMarkup);
    if (!sRaw.empty() || !bWroteMarkup)
        tAppendXMLCDATA(sOut, sRaw);
    return sOut;
}

void AppendCode(const wchar_t* szName, const wxString& sAttributes, const wxString& sContent, wxString& sOut)
{
    sOut += L"<";
    sOut += szName;
    sOut += sAttributes;
    sOut += L">";
    sOut += sContent;
    sOut += L"</";
    sOut += szName;
    sOut += L">";
}

wxString CtypeAttribute(const CSegmentTUChild& code)
{
    return L" ctype=\"" + tEscapeXMLCharacters(code.GetStyleName()) + L"\"";
}

// One child of a list as GenerateChildrenXLIFF writes it: a sub-flow as a sub element, anything
// else through GenerateXLIFF within the given segment bounds.
void RenderChild(CSegmentTUChild& child, int nSegStart, int nSegEnd, bool bSegmentSubFlows, int* pnCounter,
                 CVRSRXDoc* pRules, tcNode* pTransUnit, wxString& sOut)
{
    if (child.Kind() == teSegmentKind::Sub)
        AppendSubFlow(child, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sOut);
    else
        child.GenerateXLIFF(nSegStart, nSegEnd, bSegmentSubFlows, pnCounter, &sOut, nullptr, nullptr, pRules,
                            pTransUnit);
}

// ---- Segments -----------------------------------------------------------------------------------

// The breaks the rules find in sText, as positions from its start, ascending. The last character
// is never offered, so no break falls right before it.
std::vector<int> FindBreaks(CVRSRXDoc* pRules, const wxString& sText)
{
    std::vector<int> aBreaks;
    if (!pRules)
        return aBreaks;
    pRules->Clear();
    const wchar_t* szText = sText.wc_str();
    const int nLength = static_cast<int>(sText.length());
    int nConsumed = 0;
    for (int j = 1; j < nLength; ++j)
    {
        const int nBreak = pRules->FindNextSegmentBreak(szText + nConsumed, szText + j);
        if (nBreak > 0)
        {
            nConsumed += nBreak;
            aBreaks.push_back(nConsumed);
        }
    }
    return aBreaks;
}

// Cuts a list of children into segments at the breaks, which are positions in the concatenation of
// aLengths (each child's share of the text the breaks were found in). Only text runs are cut; a
// break that falls at the end of a run or inside another child applies at the start of the next
// run, so the codes between two runs close the earlier segment. Each segment goes to fnEmit with
// its number. bSubFlow numbers as sub-flows do: every child examined draws a number from
// *pnCounter, and the first segment closed in a run takes that run's number.
void WalkSegments(const CSegmentChildren& apChildren, const std::vector<int>& aBreaks, const std::vector<int>& aLengths,
                  bool bSubFlow, bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules, tcNode* pTransUnit,
                  const std::function<void(int, const wxString&)>& fnEmit)
{
    const int nChildren = static_cast<int>(apChildren.size());
    size_t iBreak = 0;
    int nPos = 0;
    int nSegStart = 0;
    wxString sSeg;
    for (int k = 0; k < nChildren; ++k)
    {
        const int nExamined = bSubFlow ? (*pnCounter)++ : 0;
        CSegmentTUChild& child = *apChildren[k];
        if (child.Kind() != teSegmentKind::Text)
        {
            nPos += aLengths[k];
            continue;
        }
        const wxString sText = RunText(child);
        const int nLength = static_cast<int>(sText.length());
        if (iBreak >= aBreaks.size() || aBreaks[iBreak] >= nPos + nLength)
        {
            nPos += nLength;
            continue;
        }
        const int nNumber = bSubFlow ? nExamined : (*pnCounter)++;
        for (int j = nSegStart; j < k; ++j)
            RenderChild(*apChildren[j], nSegStart, k, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sSeg);
        int nCut = std::max(0, aBreaks[iBreak++] - nPos);
        sSeg += sText.substr(0, nCut);
        fnEmit(nNumber, sSeg);
        nSegStart = k + 1;
        while (iBreak < aBreaks.size() && aBreaks[iBreak] < nPos + nLength)
        {
            // Breaks that fell inside an earlier child all land on the start of this run.
            const int nNext = std::max(nCut, aBreaks[iBreak++] - nPos);
            if (nNext > nCut)
            {
                fnEmit((*pnCounter)++, sText.substr(nCut, nNext - nCut));
                nCut = nNext;
            }
        }
        sSeg = sText.substr(nCut);
        nPos += nLength;
        if (iBreak >= aBreaks.size())
            break;
    }
    for (int j = nSegStart; j < nChildren; ++j)
        RenderChild(*apChildren[j], nSegStart, -1, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sSeg);
    if (!sSeg.empty())
        fnEmit((*pnCounter)++, sSeg);
}

// A sub-flow's content cut into segments: "<mrk mid=n>" elements, each looked up in the memory.
// Breaks are found over the sub-flow's markup, codes included.
wxString SegmentSubFlow(CSegmentTUChild& sub, int* pnCounter, CVRSRXDoc* pRules, tcNode* pTransUnit)
{
    const CSegmentChildren& apChildren = sub.GetChildren();
    std::vector<int> aLengths;
    wxString sMarkup;
    for (const auto& pChild : apChildren)
    {
        wxString sPart;
        RenderChild(*pChild, -1, -1, false, nullptr, nullptr, nullptr, sPart);
        aLengths.push_back(static_cast<int>(sPart.length()));
        sMarkup += sPart;
    }
    const std::vector<int> aBreaks = FindBreaks(pRules, sMarkup);
    wxString sResult;
    auto emit = [&](int nNumber, const wxString& sSegment)
    {
        sResult += L"<mrk mid=\"" + FormatInt(nNumber) + L"\">" + sSegment + L"</mrk>";
        AddMemoryMatches(pTransUnit, sSegment, nNumber);
    };
    if (aBreaks.empty())
    {
        const wxString sContent = sub.GenerateChildrenXLIFF(true, pnCounter, pRules, pTransUnit);
        emit((*pnCounter)++, sContent);
        return sResult;
    }
    WalkSegments(apChildren, aBreaks, aLengths, true, true, pnCounter, pRules, pTransUnit, emit);
    return sResult;
}

// ---- Nodes of the project document ---------------------------------------------------------------

tcNode* NewNode(const tcElement* pElement)
{
    if (!pElement)
        return nullptr;
    return AllocateElementByIDHelper(pElement->GetID(), Context().pDoc);
}

void ReplaceContentWithText(tcNode* pNode, const wxString& sText)
{
    tcDocument* pDoc = Context().pDoc;
    while (pNode->GetNumChildren() > 0)
        pDoc->DeleteTreeFromMem(pNode->GetChild(pNode->GetNumChildren() - 1));
    pNode->AddChildLast(pDoc->AllocateTextNode(sText));
}

// Parses sMarkup into the node. Markup that does not parse is kept as the node's text, so nothing
// is lost; that is reported, since the writer's own markup should always parse.
void ParseInto(tcNode* pNode, const wxString& sMarkup)
{
    if (!pNode || pNode->ParseXML(sMarkup, Context().pDoc, 0, 0))
        return;
    tAssert(__FILE__, __LINE__, "pNode->ParseXML(sMarkup)");
    kvLogError(L"Markup that does not parse is kept as text: %s", sMarkup);
    ReplaceContentWithText(pNode, sMarkup);
}

bool IsSameLanguage(const wxString& sA, const wxString& sB)
{
    if (sA.empty() || sB.empty())
        return false;
    const wxString a = tStrToLower(sA);
    const wxString b = tStrToLower(sB);
    return a == b || b.StartsWith(a + L"-") || a.StartsWith(b + L"-");
}

// The proposal's target without inline codes. Each code element ends at its own end tag or is
// self-closing, so a self-closing code never takes the text up to a later code with it.
wxString StripCodes(const wxString& sText)
{
    wxString s = sText;
    for (const wchar_t* szName : {L"ph", L"bpt", L"ept", L"it"})
    {
        const wxString sName(szName);
        s = tRegReplace(s, L"<" + sName + L"(?:\\s[^>]*?)?(?:/>|>.*?</" + sName + L">)", wxString(), true);
    }
    return s;
}

// The mrk kind under seg-source with its mtype and mid attributes, declared when missing.
void EnsureMrkKind(tcElement*& pMrk, tcAttribute*& pMtype, tcAttribute*& pMid)
{
    const SWriterContext& ctx = Context();
    pMrk = tEnsureElementExists(ctx.pDoc, L"mrk", ctx.pXLIFFDTD->m_pSegSourceElement, true, CHILD_ZEROORMORE);
    pMtype = tCreateAttribute(ctx.pDoc, pMrk, L"mtype", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    pMid = tCreateAttribute(ctx.pDoc, pMrk, L"mid", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    if (pMrk)
        pMrk->SetFlags(pMrk->GetFlags() | ELEMENTFLAG_PCDATA);
}

// Restores the writer's normal handling of text runs when a unit is done.
class CEscapeModeScope
{
public:
    CEscapeModeScope() = default;
    ~CEscapeModeScope() { Context().bEscapeTextRuns = false; }
    CEscapeModeScope(const CEscapeModeScope&) = delete;
    CEscapeModeScope& operator=(const CEscapeModeScope&) = delete;
};

// The first pass over a unit: its markup, its plain text and each child's share of the plain text.
void FirstPass(const CSegmentUnit& unit, wxString& sMarkup, wxString& sPlain, std::vector<int>& aLengths,
               bool& bSubFlow)
{
    sMarkup.clear();
    sPlain.clear();
    aLengths.clear();
    bSubFlow = false;
    for (const auto& pChild : unit)
    {
        wxString sPart;
        pChild->GenerateXLIFF(-1, -1, false, nullptr, &sMarkup, &sPart, &bSubFlow, nullptr, nullptr);
        aLengths.push_back(static_cast<int>(sPart.length()));
        if (sPlain.empty())
            sPlain.swap(sPart);
        else
            sPlain += sPart;
    }
}
} // namespace

// ---- Model --------------------------------------------------------------------------------------

CSegmentTUChild::~CSegmentTUChild() = default;

int CSegmentTUChild::GetID()
{
    if (m_nID == -1)
        m_nID = ++g_nSegmentIDCounter;
    return m_nID;
}

void CSegmentTUChild::ResetIDCounterForTests()
{
    g_nSegmentIDCounter = 0;
}

bool CSegmentTUChild::HasSubFlow() const
{
    return std::any_of(m_apChildren.begin(), m_apChildren.end(),
                       [](const auto& pChild) { return pChild->Kind() == teSegmentKind::Sub; });
}

CSegmentTUChild* CSegmentTUChild::AppendChild(std::unique_ptr<CSegmentTUChild> pChild)
{
    if (!pChild)
        return nullptr;
    pChild->m_nIndex = static_cast<int>(m_apChildren.size());
    pChild->m_pUnit = m_pUnit;
    m_apChildren.push_back(std::move(pChild));
    return m_apChildren.back().get();
}

CSegmentText* CSegmentStyle::AddText(const wxString& sText)
{
    return static_cast<CSegmentText*>(AddChild(std::make_unique<CSegmentText>(sText)));
}

void CSegmentStyle::SetPartner(CSegmentStyle* pOther)
{
    m_pPartner = pOther;
    if (pOther)
        pOther->m_pPartner = this;
}

int CSegmentStyleEnd::GetID()
{
    // Only a start partner is followed: an end paired with an end would ask back and forth forever.
    CSegmentStyle* pPartner = GetPartner();
    if (pPartner && pPartner->Kind() == teSegmentKind::Start)
        m_nID = pPartner->GetID();
    return CSegmentTUChild::GetID();
}

CSegmentTUChild* AddTUChild(CSegmentUnit* pUnit, std::unique_ptr<CSegmentTUChild> pChild)
{
    if (!pUnit || !pChild)
        return nullptr;
    CSegmentTUChild* pAdded = pChild.get();
    if (pChild->Kind() == teSegmentKind::Sub)
    {
        auto pGroup = std::make_unique<CSegmentStyle>();
        pGroup->m_pUnit = pUnit;
        pGroup->AddChild(std::move(pChild));
        pChild = std::move(pGroup);
    }
    pChild->m_nIndex = static_cast<int>(pUnit->size());
    pChild->m_pUnit = pUnit;
    pUnit->push_back(std::move(pChild));
    return pAdded;
}

namespace
{
// Splits sText at line feeds and carriage returns: fnText gets each piece that is not empty, fnBreak
// the marker text of each break, in order.
void SplitLineBreaks(const wxString& sText, const std::function<void(const wxString&)>& fnText,
                     const std::function<void(const wxString&)>& fnBreak)
{
    size_t nStart = 0;
    while (nStart < sText.length())
    {
        const size_t nBreak = sText.find_first_of(L"\r\n", nStart);
        if (nBreak == wxString::npos)
        {
            fnText(sText.substr(nStart));
            return;
        }
        if (nBreak > nStart)
            fnText(sText.substr(nStart, nBreak - nStart));
        fnBreak(sText[nBreak] == L'\n' ? L"<newline>" : L"<carriagereturn>");
        nStart = nBreak + 1;
    }
}

std::unique_ptr<CSegmentStyleStart> MakeBreakCode(const wxString& sMarker)
{
    auto pCode = std::make_unique<CSegmentStyleStart>();
    pCode->AddText(sMarker);
    return pCode;
}
} // namespace

void AddTextWithLineBreaks(CSegmentUnit* pUnit, const wxString& sText)
{
    SplitLineBreaks(
        sText, [pUnit](const wxString& sPiece) { AddTUChild(pUnit, std::make_unique<CSegmentText>(sPiece)); },
        [pUnit](const wxString& sMarker) { AddTUChild(pUnit, MakeBreakCode(sMarker)); });
}

void CSegmentStyle::AddTextWithLineBreaks(const wxString& sText)
{
    SplitLineBreaks(
        sText, [this](const wxString& sPiece) { AddText(sPiece); },
        [this](const wxString& sMarker) { AddChild(MakeBreakCode(sMarker)); });
}

// ---- Markup -------------------------------------------------------------------------------------

void CSegmentTUChild::GenerateXLIFF(int nSegStart, int nSegEnd, bool bSegmentSubFlows, int* pnCounter,
                                    wxString* psMarkup, wxString* psPlain, bool* pbSubFlow, CVRSRXDoc* pRules,
                                    tcNode* pTransUnit)
{
    const teSegmentKind eKind = Kind();
    switch (eKind)
    {
    case teSegmentKind::Sub:
    case teSegmentKind::Group:
    {
        if (psMarkup || psPlain)
        {
            const wxString sChildren = GenerateChildrenXLIFF(bSegmentSubFlows, pnCounter, pRules, pTransUnit);
            if (psMarkup)
                *psMarkup += sChildren;
            if (psPlain)
                *psPlain += sChildren;
        }
        if (eKind == teSegmentKind::Group && pbSubFlow && HasSubFlow())
            *pbSubFlow = true;
        return;
    }
    case teSegmentKind::Start:
    case teSegmentKind::End:
    {
        if (pbSubFlow && HasSubFlow())
            *pbSubFlow = true;
        if (!psMarkup)
            return;
        const CSegmentStyle* pPartner = static_cast<CSegmentStyle*>(this)->GetPartner();
        const wxString sContent = CodeContent(*this, bSegmentSubFlows, pnCounter, pRules, pTransUnit);
        if (!pPartner)
        {
            AppendCode(L"ph", wxString(), sContent, *psMarkup);
            return;
        }
        const wxString sID = L" id=\"" + FormatInt(GetID()) + L"\"";
        const bool bElsewhere = pPartner->GetUnit() != GetUnit();
        if (eKind == teSegmentKind::Start)
        {
            if (bElsewhere || (nSegEnd != -1 && pPartner->GetIndex() >= nSegEnd))
                AppendCode(L"it", sID + L" pos=\"begin\"" + CtypeAttribute(*this), sContent, *psMarkup);
            else
                AppendCode(L"bpt", sID + CtypeAttribute(*this), sContent, *psMarkup);
        }
        else
        {
            if (bElsewhere || (nSegStart != -1 && pPartner->GetIndex() < nSegStart))
                AppendCode(L"it", sID + L" pos=\"end\"" + CtypeAttribute(*this), sContent, *psMarkup);
            else
                AppendCode(L"ept", sID + CtypeAttribute(*this), sContent, *psMarkup);
        }
        return;
    }
    case teSegmentKind::Text:
    {
        // The run's own text when it needs no escaping, without a copy of it.
        const wxString& sOwn = static_cast<const CSegmentText&>(*this).GetText();
        const wxString sEscaped = Context().bEscapeTextRuns ? EscapeTextRun(sOwn) : wxString();
        const wxString& sText = Context().bEscapeTextRuns ? sEscaped : sOwn;
        if (psPlain)
            *psPlain += sText;
        if (psMarkup)
            *psMarkup += sText;
        return;
    }
    case teSegmentKind::Other:
        break;
    }
    tAssert("Convertor_segment", kAssertUnknownSegmentKind, "0");
}

wxString CSegmentTUChild::GenerateChildrenXLIFF(bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules,
                                                tcNode* pTransUnit)
{
    wxString sResult;
    for (const auto& pChild : m_apChildren)
        RenderChild(*pChild, -1, -1, bSegmentSubFlows, pnCounter, pRules, pTransUnit, sResult);
    return sResult;
}

// ---- Document -----------------------------------------------------------------------------------

CSegmentDoc::CSegmentDoc(const SXLIFFDTD* pXLIFFDTD, tcDocument* pDoc, CVRSRXDoc* pRules, CVRMemDoc* pMemory,
                         const wxString& sLookupLanguage, tcNode* pBody, int nThreshold,
                         const wxString& sTargetLanguage)
{
    SWriterContext& ctx = Context();
    ctx.pXLIFFDTD = pXLIFFDTD;
    ctx.pDoc = pDoc;
    ctx.pRules = pRules;
    ctx.pMemory = pMemory;
    ctx.sLookupLanguage = sLookupLanguage;
    ctx.pBody = pBody;
    ctx.nThreshold = nThreshold;
    ctx.sTargetLanguage = sTargetLanguage;
    ctx.bEscapeTextRuns = false;
}

CSegmentDoc::~CSegmentDoc() = default;

CSegmentUnit* CSegmentDoc::AddUnit(std::unique_ptr<CSegmentUnit> pUnit)
{
    if (!pUnit)
        return nullptr;
    m_apUnits.push_back(std::move(pUnit));
    return m_apUnits.back().get();
}

CSegmentUnit* CSegmentDoc::GetUnit(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetNumUnits())
        return nullptr;
    return m_apUnits[static_cast<size_t>(nIndex)].get();
}

namespace
{
// Look-ups asked and not yet written, beyond which the writer waits for the earliest: enough to keep
// the workers busy, few enough that the proposals held stay small. A fixed number, so that what is
// written (and when, relative to the units) never depends on the number of workers.
constexpr size_t kPendingLookups = 256;

// Writes the proposals of the earliest pending look-up.
void WriteNextMatches(SWriterContext& ctx)
{
    const auto [pTransUnit, nNumber] = ctx.aPendingMatches.front();
    ctx.aPendingMatches.pop_front();
    WriteMemoryMatches(pTransUnit, ctx.pLookups->TakeNext(), nNumber);
}

// Sets the context's pool for the time of a Segment run, and leaves no pending look-up behind.
class CLookupPoolScope
{
public:
    explicit CLookupPoolScope(SWriterContext& ctx) : m_ctx(ctx)
    {
        if (m_ctx.pMemory)
        {
            m_pPool = std::make_unique<CMemDocLookupPool>(*m_ctx.pMemory, m_ctx.sLookupLanguage,
                                                          CMemDocLookupPool::GetDefaultThreads());
            m_ctx.pLookups = m_pPool.get();
        }
    }
    ~CLookupPoolScope()
    {
        m_ctx.pLookups = nullptr;
        m_ctx.aPendingMatches.clear();
    }
    CLookupPoolScope(const CLookupPoolScope&) = delete;
    CLookupPoolScope& operator=(const CLookupPoolScope&) = delete;

private:
    SWriterContext& m_ctx;
    std::unique_ptr<CMemDocLookupPool> m_pPool;
};
} // namespace

void CSegmentDoc::Segment(tcConvertorProgress* pProgress)
{
    SWriterContext& ctx = Context();
    CLookupPoolScope pool(ctx);
    const int nStart = pProgress ? std::max(0, pProgress->GetValue()) : 0;
    const size_t nUnits = m_apUnits.size();
    int nShown = nStart;
    for (size_t i = 0; i < nUnits; ++i)
    {
        if (pProgress && pProgress->WasCancelled())
            return;
        SegmentTranslationUnit(*m_apUnits[i]);
        while (ctx.aPendingMatches.size() > kPendingLookups)
            WriteNextMatches(ctx);
        if (!pProgress)
            continue;
        // Moved in steps of at least 1%: every update of a dialog redraws it.
        const int nValue = nStart + static_cast<int>((tcConvertorProgress::kHighest - nStart) * (i + 1) / nUnits);
        if (nValue - nShown >= tcConvertorProgress::kMaximum / 100)
        {
            pProgress->SetValue(nValue);
            nShown = nValue;
        }
    }
    while (!ctx.aPendingMatches.empty())
    {
        if (pProgress && pProgress->WasCancelled())
            return;
        WriteNextMatches(ctx);
    }
}

// ---- Units --------------------------------------------------------------------------------------

void SegmentTranslationUnit(const CSegmentUnit& unit)
{
    SWriterContext& ctx = Context();
    if (unit.empty() || !ctx.pDoc || !ctx.pXLIFFDTD || !ctx.pBody)
        return;
    const SXLIFFDTD& dtd = *ctx.pXLIFFDTD;
    tcNode* pTransUnit = NewNode(dtd.m_pTransUnitElement);
    if (!pTransUnit)
        return;
    ctx.pBody->AddChildLast(pTransUnit);
    CEscapeModeScope escapeScope;

    wxString sMarkup;
    wxString sPlain;
    std::vector<int> aLengths;
    bool bSubFlow = false;
    FirstPass(unit, sMarkup, sPlain, aLengths, bSubFlow);

    tcNode* pSource = NewNode(dtd.m_pSourceElement);
    pTransUnit->AddChildOrdered(pSource);
    if (pSource && !pSource->ParseXML(sMarkup, ctx.pDoc, 0, 0))
    {
        // A convertor passed text that is no XML content; escaping its text runs keeps the unit.
        tAssert(__FILE__, __LINE__, "pSource->ParseXML(sMarkup)");
        kvLogError(L"A unit's text is not valid XML content; its text runs are escaped: %s", sMarkup);
        ctx.bEscapeTextRuns = true;
        FirstPass(unit, sMarkup, sPlain, aLengths, bSubFlow);
        ParseInto(pSource, sMarkup);
    }

    if (sPlain.empty())
    {
        pTransUnit->SetAttributeS(dtd.m_pTransUnitTranslateAttr, L"no");
        return;
    }

    const std::vector<int> aBreaks = FindBreaks(ctx.pRules, sPlain);
    tcNode* pSegSource = NewNode(dtd.m_pSegSourceElement);
    pTransUnit->AddChildOrdered(pSegSource);
    if (!aBreaks.empty())
    {
        tcElement* pMrk = nullptr;
        tcAttribute* pMtype = nullptr;
        tcAttribute* pMid = nullptr;
        EnsureMrkKind(pMrk, pMtype, pMid);
        int nCounter = 1;
        WalkSegments(unit, aBreaks, aLengths, false, bSubFlow, &nCounter, ctx.pRules, pTransUnit,
                     [&](int nNumber, const wxString& sSegment)
                     {
                         AddSegmentMarker(nNumber, sSegment, pSegSource, pMrk, pMtype, pMid);
                         AddMemoryMatches(pTransUnit, sSegment, nNumber);
                     });
        return;
    }

    if (bSubFlow)
    {
        sMarkup.clear();
        int nCounter = 1;
        for (const auto& pChild : unit)
            pChild->GenerateXLIFF(-1, -1, true, &nCounter, &sMarkup, nullptr, nullptr, ctx.pRules, pTransUnit);
    }
    ParseInto(pSegSource, sMarkup);
    AddMemoryMatches(pTransUnit, sMarkup, -1);
}

void AddSegmentMarker(int nNumber, const wxString& sMarkup, tcNode* pSegSource, tcElement* pMrkElement,
                      tcAttribute* pMtypeAttr, tcAttribute* pMidAttr)
{
    tcNode* pMrk = NewNode(pMrkElement);
    if (!pMrk || !pSegSource)
        return;
    pSegSource->AddChildLast(pMrk);
    ParseInto(pMrk, sMarkup);
    pMrk->SetAttributeRawByString(pMtypeAttr, L"seg", false, L",");
    pMrk->SetAttributeRawByString(pMidAttr, FormatInt(nNumber), false, L",");
}

void AddMemoryMatches(tcNode* pTransUnit, const wxString& sText, int nNumber)
{
    SWriterContext& ctx = Context();
    if (!ctx.pMemory || !pTransUnit || !ctx.pXLIFFDTD)
        return;
    // A sentence after the first starts with the blank that separated it from the one before; the
    // blanks around a sentence are no part of it, and with them a known sentence never scored full.
    const wxString sLookup = wxString(sText).Strip(wxString::both);
    if (ctx.pLookups)
    {
        ctx.pLookups->Submit(sLookup);
        ctx.aPendingMatches.emplace_back(pTransUnit, nNumber);
        return;
    }
    WriteMemoryMatches(pTransUnit, ctx.pMemory->LookupTranslations(sLookup, ctx.sLookupLanguage), nNumber);
}

void WriteMemoryMatches(tcNode* pTransUnit, const std::vector<CVRMemDocMatch>& aMatches, int nNumber)
{
    const SWriterContext& ctx = Context();
    if (!pTransUnit || !ctx.pXLIFFDTD)
        return;
    const SXLIFFDTD& dtd = *ctx.pXLIFFDTD;
    if (!dtd.m_pAltTransMatchQualityAttr)
        tAssert("Convertor_segment", kAssertNoMatchQualityAttr, "m_pXLIFFDTD->m_pAltTransMatchQualityAttr");
    if (!dtd.m_pAltTransLangAttr)
        tAssert("Convertor_segment", kAssertNoAltTransLangAttr, "m_pXLIFFDTD->m_pAltTransLangAttr");

    for (const CVRMemDocMatch& match : aMatches)
    {
        tcNode* pAltTrans = NewNode(dtd.m_pAltTransElement);
        if (!pAltTrans)
            continue;
        pAltTrans->SetAttributeDisplayByString(dtd.m_pAltTransLangAttr, match.m_sLanguage);
        pAltTrans->SetAttributeDisplayByString(dtd.m_pAltTransMatchQualityAttr, FormatInt(match.m_nScore));
        if (nNumber != -1)
            pAltTrans->SetAttributeDisplayByString(dtd.m_pAltTransMidAttr, FormatInt(nNumber));
        tcNode* pSource = NewNode(dtd.m_pSourceElement);
        ParseInto(pSource, match.m_sSource);
        tcNode* pTarget = NewNode(dtd.m_pTargetElement);
        ParseInto(pTarget, match.m_sTarget);
        pAltTrans->AddChildOrdered(pSource);
        pAltTrans->AddChildOrdered(pTarget);
        pTransUnit->AddChildLast(pAltTrans);
    }

    if (ctx.nThreshold < 0)
        return;
    // The first of equal top scores wins; a proposal in another language than the target's never
    // fills the target, whatever its score.
    const CVRMemDocMatch* pBest = nullptr;
    int nBestScore = 0;
    for (const CVRMemDocMatch& match : aMatches)
    {
        if (match.m_nScore > nBestScore && IsSameLanguage(match.m_sLanguage, ctx.sTargetLanguage))
        {
            nBestScore = match.m_nScore;
            pBest = &match;
        }
    }
    if (!pBest || nBestScore < ctx.nThreshold)
        return;

    const wxString sFill = StripCodes(pBest->m_sTarget);
    const int nTargetID = dtd.m_pTargetElement ? dtd.m_pTargetElement->GetID() : -1;
    tcNode* pTarget = pTransUnit->GetNthChildOfElementType(nTargetID, 0);
    if (!pTarget)
    {
        pTarget = NewNode(dtd.m_pTargetElement);
        if (!pTarget)
            return;
        pTransUnit->AddChildOrdered(pTarget);
    }
    if (nNumber == -1)
    {
        ParseInto(pTarget, sFill);
        return;
    }
    tcElement* pMrkElement = nullptr;
    tcAttribute* pMtype = nullptr;
    tcAttribute* pMid = nullptr;
    EnsureMrkKind(pMrkElement, pMtype, pMid);
    tcNode* pMrk = NewNode(pMrkElement);
    if (!pMrk)
        return;
    pTarget->AddChildLast(pMrk);
    ParseInto(pMrk, sFill);
    pMrk->SetAttributeRawByString(pMtype, L"seg", false, L",");
    pMrk->SetAttributeRawByString(pMid, FormatInt(nNumber), false, L",");
}
