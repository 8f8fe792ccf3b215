#include "workspace/SegmentXML.h"

#include "Shared/AppUtils_shared.h"
#include "engine/InlineMarkup.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <cwchar>
#include <vector>

namespace
{
bool IsKind(const tcNode* pNode, const tcElement* pElement)
{
    return pNode && pElement && pNode->GetElement() && pNode->GetElementTypeID() == pElement->GetID();
}

// The mid of any element as the segment walks read it; -1 when it has none.
int ReadMid(const tcNode* pNode, const tcAttribute* pMidAttr)
{
    if (!pNode || !pNode->HasAttributeValue(pMidAttr))
        return -1;
    return tStringToInt(pNode->GetAttributeRawAsString(pMidAttr));
}

// The first `mrk` child of pTarget with that mid, null when there is none.
tcNode* FindTargetMrk(const SXLIFFDTD& dtd, const tcNode* pTarget, int nMid)
{
    for (tcNode* pChild : pTarget->GetChildren())
    {
        if (IsKind(pChild, dtd.m_pMrkElement) && ReadMid(pChild, dtd.m_pMrkMidAttr) == nMid)
            return pChild;
    }
    return nullptr;
}

bool StartsWithAt(const wxString& sText, size_t i, const wchar_t* szPart)
{
    for (size_t k = 0; szPart[k]; ++k)
    {
        if (i + k >= sText.length() || sText[i + k] != szPart[k])
            return false;
    }
    return true;
}

bool IsAsciiDigit(wchar_t c, bool bHex)
{
    return (c >= L'0' && c <= L'9') || (bHex && ((c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F')));
}

// Whether the "&" at i begins a character reference or one of the five predefined entities.
bool IsReference(const wxString& sText, size_t i)
{
    for (const wchar_t* szEntity : {L"&amp;", L"&lt;", L"&gt;", L"&quot;", L"&apos;"})
    {
        if (StartsWithAt(sText, i, szEntity))
            return true;
    }
    if (!StartsWithAt(sText, i, L"&#"))
        return false;
    size_t k = i + 2;
    const bool bHex = k < sText.length() && sText[k] == L'x';
    if (bHex)
        ++k;
    const size_t nDigits = k;
    while (k < sText.length() && IsAsciiDigit(sText[k], bHex))
        ++k;
    return k > nDigits && k < sText.length() && sText[k] == L';';
}

// Whether the "<" at i opens or closes one of the inline elements a target may hold.
bool IsInlineTag(const wxString& sText, size_t i)
{
    size_t k = i + 1;
    if (k < sText.length() && sText[k] == L'/')
        ++k;
    for (const wchar_t* szName : {L"bpt", L"ept", L"ph", L"it", L"sub", L"mrk"})
    {
        if (!StartsWithAt(sText, k, szName))
            continue;
        const size_t nAfter = k + wcslen(szName);
        if (nAfter >= sText.length())
            return false;
        const wchar_t c = sText[nAfter];
        return c == L'>' || c == L'/' || c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
    }
    return false;
}

void ReplaceWithText(tcDocument* pDoc, tcNode* pNode, const wxString& sText)
{
    while (pNode->GetNumChildren() > 0)
        pDoc->DeleteTreeFromMem(pNode->GetChild(pNode->GetNumChildren() - 1));
    if (!sText.empty())
        pNode->AddChildLast(pDoc->AllocateTextNode(sText));
}

tcNode* NewTargetMrk(const SXLIFFDTD& dtd, tcDocument* pDoc, int nMid)
{
    tcNode* pMrk = AllocateElementByIDHelper(dtd.m_pMrkElement->GetID(), pDoc);
    if (!pMrk)
        return nullptr;
    pMrk->SetAttributeRawByString(dtd.m_pMrkMidAttr, wxString::Format(L"%d", nMid));
    pMrk->SetAttributeRawByString(dtd.m_pMrkMtypeAttr, L"seg");
    return pMrk;
}

// The segment's node inside pTarget, made and placed in mid order when missing.
tcNode* FindOrMakeDestination(const SXLIFFDTD& dtd, tcDocument* pDoc, tcNode* pTarget, int nMid)
{
    if (nMid == -1)
        return pTarget;
    if (tcNode* pFound = FindTargetMrk(dtd, pTarget, nMid))
        return pFound;
    // Text between segments and other elements have no place in the order: only mrks count.
    int nInsertAt = -1;
    for (int i = 0; i < pTarget->GetNumChildren(); ++i)
    {
        const tcNode* pChild = pTarget->GetChild(i);
        if (IsKind(pChild, dtd.m_pMrkElement) && ReadMid(pChild, dtd.m_pMrkMidAttr) > nMid)
        {
            nInsertAt = i;
            break;
        }
    }
    tcNode* pMrk = NewTargetMrk(dtd, pDoc, nMid);
    if (!pMrk)
        return nullptr;
    if (nInsertAt >= 0)
        pTarget->InsertChild(pMrk, nInsertAt);
    else
        pTarget->AddChildLast(pMrk);
    return pMrk;
}
} // namespace

std::vector<tcNode*> CollectFileSegments(const SXLIFFDTD& dtd, const tcNode* pFile)
{
    return CollectUnitSegments(dtd, pFile, true);
}

tcNode* FindTransUnit(const SXLIFFDTD& dtd, const tcNode* pNode)
{
    for (tcNode* pUp = pNode ? pNode->GetParent() : nullptr; pUp; pUp = pUp->GetParent())
    {
        if (IsKind(pUp, dtd.m_pTransUnitElement))
            return pUp;
    }
    return nullptr;
}

int GetSegmentMid(const SXLIFFDTD& dtd, const tcNode* pNode)
{
    if (!IsKind(pNode, dtd.m_pMrkElement))
        return -1;
    return tStringToInt(pNode->GetAttributeRawAsString(dtd.m_pMrkMidAttr));
}

wxString GenerateSegmentXML(const tcNode* pNode)
{
    if (!pNode)
        return wxString();
    bool bHasNote = false;
    for (const tcNode* pChild : pNode->GetChildren())
        bHasNote = bHasNote || (pChild->IsElementNode() && pChild->GetElementName() == L"note");
    if (!bHasNote)
        return pNode->GenerateXMLChildren(true, true);
    wxString sXML;
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (!(pChild->IsElementNode() && pChild->GetElementName() == L"note"))
            sXML += pChild->GenerateXML(true, true);
    }
    return sXML;
}

wxString GetSegmentXML(const tcNode* pNode, const tcElement* pSourceElement, const tcElement* pMrkElement)
{
    if (IsKind(pNode, pSourceElement) || IsKind(pNode, pMrkElement))
        return GenerateSegmentXML(pNode);
    kvLog(L"%s", pNode ? pNode->GetElementName().wc_str() : L"(null)");
    tAssert("VRSourceFrame", 137, "0");
    return wxString();
}

wxString GetTargetXML(const SXLIFFDTD& dtd, const tcNode* pSourceNode, tcNode** ppTarget)
{
    if (ppTarget)
        *ppTarget = nullptr;
    const tcNode* pUnit = FindTransUnit(dtd, pSourceNode);
    tcNode* pTarget = pUnit && dtd.m_pTargetElement
                          ? pUnit->GetNthChildOfElementType(dtd.m_pTargetElement->GetID(), 0)
                          : nullptr;
    if (ppTarget)
        *ppTarget = pTarget;
    if (!pTarget)
        return wxString();
    const int nMid = GetSegmentMid(dtd, pSourceNode);
    if (nMid == -1)
        return pTarget->GenerateXMLChildren(true, true);
    const tcNode* pMrk = FindTargetMrk(dtd, pTarget, nMid);
    return pMrk ? pMrk->GenerateXMLChildren(true, true) : wxString();
}

wxString EscapeStrayMarkup(const wxString& sText)
{
    wxString sOut;
    sOut.reserve(sText.length() + 16);
    size_t i = 0;
    while (i < sText.length())
    {
        const wchar_t c = sText[i];
        if (c == L'<' && StartsWithAt(sText, i, L"<![CDATA["))
        {
            // A section is copied as it stands, up to its end (or the end of the text).
            const size_t nEnd = sText.find(L"]]>", i + 9);
            const size_t nStop = nEnd == wxString::npos ? sText.length() : nEnd + 3;
            sOut += sText.substr(i, nStop - i);
            i = nStop;
            continue;
        }
        if (c == L'&' && !IsReference(sText, i))
            sOut += L"&amp;";
        else if (c == L'<' && !IsInlineTag(sText, i))
            sOut += L"&lt;";
        else
            sOut += c;
        ++i;
    }
    return sOut;
}

STargetCommit CommitTargetXML(const SXLIFFDTD& dtd, tcDocument* pDoc, tcNode* pSourceNode, const wxString& sText)
{
    STargetCommit result;
    tcNode* pUnit = FindTransUnit(dtd, pSourceNode);
    if (!pDoc || !pUnit || !dtd.m_pTargetElement || !dtd.m_pMrkElement)
        return result;

    tcNode* pTarget = pUnit->GetNthChildOfElementType(dtd.m_pTargetElement->GetID(), 0);
    if (!pTarget)
    {
        pTarget = AllocateElementByIDHelper(dtd.m_pTargetElement->GetID(), pDoc);
        if (!pTarget)
            return result;
        pUnit->AddChildOrdered(pTarget);
        result.bNewTarget = true;
    }
    result.pTarget = pTarget;
    pDoc->SetDirty();

    tcNode* pDestination = FindOrMakeDestination(dtd, pDoc, pTarget, GetSegmentMid(dtd, pSourceNode));
    if (!pDestination)
        return result;
    result.pDestination = pDestination;

    if (!pDestination->ParseXML(sText, pDoc, 0, 0) && !pDestination->ParseXML(EscapeStrayMarkup(sText), pDoc, 0, 0))
    {
        kvLog(L"Target text is not well-formed; stored as plain text: %s", sText.wc_str());
        ReplaceWithText(pDoc, pDestination, sText);
        result.bStoredAsText = true;
    }

    std::vector<tcNode*> apSourceTags;
    std::vector<tcNode*> apTargetTags;
    CollectInlineTags(pSourceNode, apSourceTags);
    CollectInlineTags(pDestination, apTargetTags);
    SyncInlineTags(pDoc, pDestination, apSourceTags, apTargetTags);
    tNodeModified(pDoc, pDestination, false, true);
    return result;
}
