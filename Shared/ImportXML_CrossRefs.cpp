// Cross references of the XML importer: collected while the file is read, resolved at its end.

#include "Shared/ImportXMLCrossRefs.h"

#include "Shared/ImportXML.h"
#include "varnak/include/kvFormat.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"

#include <algorithm>
#include <vector>

namespace
{
// Reads the decimal value at the start of sText; text that is no number gives 0.
int LeadingNumber(const wxString& sText)
{
    int n = 0;
    tParseXMLDecimal(sText, n);
    return n;
}

// A sense reference part holds blanks, ":", digits and "-" only; anything else is read as well as
// it can be, with a warning.
bool IsPlainSenseRange(const wxString& sPart)
{
    for (wxUniChar c : sPart)
    {
        if (!(c == ' ' || c == ':' || c == '-' || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// "1-3", "2", "x:2-4": the first and last sense numbers (first at least 1, last at least first).
void ReadSenseRange(const wxString& sPart, int& nFirst, int& nLast)
{
    wxString sRange = sPart;
    const size_t nColon = sPart.length() > 1 ? sPart.find(':', 1) : wxString::npos;
    if (nColon != wxString::npos)
        sRange = sPart.substr(nColon + 1);
    const size_t nDash = sRange.find('-');
    if (nDash != wxString::npos)
    {
        nFirst = LeadingNumber(sRange.substr(0, nDash).Strip(wxString::both));
        nLast = LeadingNumber(sRange.substr(nDash + 1).Strip(wxString::both));
    }
    else
        nFirst = nLast = LeadingNumber(sRange.Strip(wxString::both));
    nFirst = std::max(nFirst, 1);
    nLast = std::max(nLast, nFirst);
}
} // namespace

CXMLCrossReferences::CXMLCrossReferences(tcIO& io) : m_io(io) {}

CXMLCrossReferences::~CXMLCrossReferences() = default;

void CXMLCrossReferences::MapFileID(int32_t nFileID, uint32_t nNodeID)
{
    m_mapFileIdToNodeId[nFileID] = nNodeID;
}

void CXMLCrossReferences::OpenGroup(tcReferences* pReferences)
{
    auto pGroup = std::make_unique<CXMLRefGroup>();
    pGroup->pReferences = pReferences;
    m_aGroups.push_back(std::move(pGroup));
}

CXMLRefGroup* CXMLCrossReferences::LastGroup()
{
    return m_aGroups.empty() ? nullptr : m_aGroups.back().get();
}

void CXMLCrossReferences::Clear()
{
    m_aGroups.clear();
}

void CXMLCrossReferences::Resolve(tcDocument* pDoc, tcDictionary* pDictionary, const tcLanguage* pSection)
{
    tcDebugInfo dbg("xCR");
    for (std::unique_ptr<CXMLRefGroup>& pGroup : m_aGroups)
    {
        for (CXMLRefRecord& record : pGroup->lemmalist)
        {
            if (record.nTargetEntryID != -1)
                ResolveByID(pDictionary, pSection, *pGroup, record);
            else
                ResolveByText(pDoc, *pGroup, record);
        }
    }
    m_aGroups.clear();
}

void CXMLCrossReferences::ResolveByID(tcDictionary* pDictionary, const tcLanguage* pSection, CXMLRefGroup& group,
                                      CXMLRefRecord& record)
{
    tcDebugInfo dbg("xCRID");
    const int nType = LeadingNumber(record.sRefType);
    const auto FileToNode = [this](int nFileID) -> tID
    {
        const auto it = m_mapFileIdToNodeId.find(nFileID);
        return it == m_mapFileIdToNodeId.end() ? idNULL : static_cast<tID>(it->second);
    };
    const tID idEntry = FileToNode(record.nTargetEntryID);
    if (!pSection)
        tAssert(__FILE__, __LINE__, "m_pCurrentlanguage != NULL");

    tcNode* pEntry = idEntry != idNULL && pDictionary ? pDictionary->FindDescendantByID(idEntry) : nullptr;
    if (!pEntry || pEntry->GetClassType() != NODE_ENTRY)
    {
        m_io.AddLoadError(kvFormat(L"Unable to create cross reference to lemma #%d , as no such lemma exists.",
                              static_cast<int>(idEntry)));
        return;
    }
    if (group.pReferences)
        group.pReferences->AddRefEntry(idEntry, nType);

    for (const CXMLRefTarget& target : record.aTargets)
    {
        const tID idSense = FileToNode(target.nSenseID);
        const tcNode* pSense = idSense != idNULL ? pEntry->FindDescendantByID(idSense) : nullptr;
        if (pSense && IsSenseNode(pSense, nullptr))
        {
            if (group.pReferences)
                group.pReferences->AddRefSense(idEntry, idSense, nType);
        }
        else if (pSense)
        {
            m_io.AddLoadError(
                kvFormat(L"Unable to create cross-reference to sense #%d of entry #%d, The entry has a child of "
                         L"this ID, but it is not of type 'sense'.",
                         static_cast<int>(idSense), static_cast<int>(idEntry)));
        }
        else
        {
            m_io.AddLoadError(kvFormat(L"Unable to create cross-reference to sense Id #%d of entry #%d, as no such sense "
                                  L"exists under this entry.",
                                  static_cast<int>(idSense), static_cast<int>(idEntry)));
        }
    }
    record.aTargets.clear();
}

void CXMLCrossReferences::ResolveByText(tcDocument* pDoc, CXMLRefGroup& group, CXMLRefRecord& record)
{
    tcDebugInfo dbg("xCRFT");
    // The type is named by one of the labels of the DTD's reference label sets.
    tcDTD* pDTD = pDoc ? pDoc->GetDTD() : nullptr;
    bool bTypeFound = false;
    int nType = 0;
    for (int nSet = 0; pDTD && !bTypeFound && nSet < pDTD->GetNumRefLabelSets(); ++nSet)
    {
        const tcRefLabelSet* pSet = pDTD->GetRefLabelSet(nSet);
        for (int i = 0; pSet && i < pSet->GetNumLabels(); ++i)
        {
            const int nID = pSet->GetLabelIDByIndex(i);
            if (nID == -1)
                break;
            if (pSet->GetLabelByIndexS(i) == record.sRefType)
            {
                nType = nID;
                bTypeFound = true;
                break;
            }
        }
    }
    if (!bTypeFound)
    {
        m_io.AddLoadError(kvFormat(L"Unable to create cross reference invalid type provided [%s]", record.sRefType));
        return;
    }

    for (const CXMLRefTarget& target : record.aTargets)
    {
        tcEntry* pEntry = nullptr;
        if (target.pSection)
        {
            std::vector<tcEntry*> apFound;
            target.pSection->FindEntries(target.sLemma, apFound);
            for (tcEntry* pCandidate : apFound)
            {
                if (target.nHomonym == -1 || pCandidate->GetAttributeIByID(6) == target.nHomonym)
                {
                    pEntry = pCandidate;
                    break;
                }
            }
        }
        if (pEntry)
        {
            if (group.pReferences)
                group.pReferences->AddRefEntry(pEntry->GetID(), nType);
        }
        else if (target.nHomonym != -1)
        {
            m_io.AddLoadError(kvFormat(L"Unable to create cross reference to lemma #%s with homonym number #%d , as no such "
                                  L"lemma exists.",
                                  target.sLemma, target.nHomonym));
        }
        else
        {
            m_io.AddLoadError(
                kvFormat(L"Unable to create cross reference to lemma #%s , as no such lemma exists.", target.sLemma));
        }

        const int nEntryID = pEntry ? static_cast<int>(pEntry->GetID()) : 0;
        const tcNode* pFirstSense = pEntry ? pEntry->GetNthDescendantOfElementType(ELEMENTID_SENSE, 0) : nullptr;
        const tcNode* pSenseParent = pFirstSense ? pFirstSense->GetParent() : nullptr;
        const int nSenses = pSenseParent ? pSenseParent->GetNumChildrenOfElementType(ELEMENTID_SENSE) : 0;

        std::vector<wxString> asParts;
        tStrTok(target.sSenses, ",", "", asParts);
        for (const wxString& sPart : asParts)
        {
            if (!IsPlainSenseRange(sPart))
            {
                kvLogVisibleWarning(
                    L"Possibly unhandled sensereference string (%s). You should ideally try use node IDs "
                    L"to resolve sensereferences more reliably on import.",
                    sPart);
            }
            int nFirst = 1;
            int nLast = 1;
            ReadSenseRange(sPart, nFirst, nLast);
            if (!pSenseParent)
            {
                m_io.AddLoadError(kvFormat(L"Unable to create cross reference to sense range %d-%d of entry id %d. No such "
                                      L"sense exists...",
                                      nFirst, nLast, nEntryID));
                continue;
            }
            // Numbers beyond the senses there are get one report, so a huge range costs nothing.
            for (int n = nFirst; n <= std::min(nLast, nSenses); ++n)
            {
                const tcNode* pSense = pSenseParent->GetNthChildOfElementType(ELEMENTID_SENSE, n - 1);
                if (pSense && group.pReferences)
                    group.pReferences->AddRefSense(pEntry->GetID(), pSense->GetID(), nType);
            }
            if (nLast > nSenses)
            {
                const int nMissingFirst = std::max(nFirst, nSenses + 1);
                if (nMissingFirst == nLast)
                {
                    m_io.AddLoadError(kvFormat(L"Unable to create cross reference to sense number #%d of entry id %d. No "
                                          L"such sense exists...",
                                          nLast, nEntryID));
                }
                else
                {
                    m_io.AddLoadError(kvFormat(L"Unable to create cross reference to sense range %d-%d of entry id %d. No "
                                          L"such sense exists...",
                                          nMissingFirst, nLast, nEntryID));
                }
            }
        }
    }
    record.aTargets.clear();
}
