#include "workspace/Suggestions.h"

#include "Shared/Options.h"
#include "engine/XLIFFDTD.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"

#include <wx/confbase.h>

#include <algorithm>
#include <limits>
#include <map>

namespace
{
int ReadScore(const wxString& sRating)
{
    int64_t nValue = 0;
    if (!tToNumber(sRating, nValue) || nValue < std::numeric_limits<int>::min() ||
        nValue > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(nValue);
}

int Clamp(long nValue)
{
    return static_cast<int>(std::clamp<long>(nValue, 1, kSuggestionLimitMax));
}

const wchar_t* const kszPercentKey = L"SuggestedTranslationPercent";
const wchar_t* const kszLimitKey = L"SuggestedTranslationLimit";
} // namespace

std::vector<SSuggestion> CollectSuggestions(const SXLIFFDTD& dtd, const tcNode* pSegment, int nMinPercent,
                                            int nMaxCount)
{
    std::vector<SSuggestion> aResult;
    const tcNode* pUnit = FindTransUnit(dtd, pSegment);
    if (!pUnit || !dtd.m_pAltTransElement)
        return aResult;
    const int nMid = GetSegmentMid(dtd, pSegment);
    const int nAltTransID = dtd.m_pAltTransElement->GetID();
    const int nTargetID = dtd.m_pTargetElement ? dtd.m_pTargetElement->GetID() : -1;
    const int nSourceID = dtd.m_pSourceElement ? dtd.m_pSourceElement->GetID() : -1;

    // Ascending by score; an insert goes after the proposals of equal score already held.
    std::multimap<int, SSuggestion> proposals;
    for (const tcNode* pAltTrans : pUnit->GetChildren())
    {
        if (pAltTrans->GetElementTypeID() != nAltTransID)
            continue;
        if (nMid != -1 && (!pAltTrans->HasAttributeValue(dtd.m_pAltTransMidAttr) ||
                           tStringToInt(pAltTrans->GetAttributeRawAsString(dtd.m_pAltTransMidAttr)) != nMid))
            continue;
        SSuggestion proposal;
        if (tcNode* pTarget = pAltTrans->GetNthChildOfElementType(nTargetID, 0))
        {
            proposal.pTarget = pTarget;
            proposal.sTarget = pTarget->GenerateXMLChildren(true, true);
            if (dtd.m_pAltTransMatchQualityAttr)
            {
                proposal.sRating = pAltTrans->GetAttributeDeprecatedAsString(dtd.m_pAltTransMatchQualityAttr);
                proposal.nScore = ReadScore(proposal.sRating);
            }
        }
        if (const tcNode* pSource = pAltTrans->GetNthChildOfElementType(nSourceID, 0))
            proposal.sSource = pSource->GenerateXMLChildren(true, true);
        if (proposal.nScore != -1 && proposal.nScore < nMinPercent)
            continue;
        proposals.emplace(proposal.nScore, std::move(proposal));
        if (static_cast<int>(proposals.size()) > nMaxCount)
            proposals.erase(proposals.begin());
    }
    aResult.reserve(proposals.size());
    for (auto it = proposals.rbegin(); it != proposals.rend(); ++it)
        aResult.push_back(it->second);
    return aResult;
}

wxString SuggestionSettingsGroup(const wxString& sProjectPath)
{
    if (sProjectPath.empty())
        return wxString();
    wxString sName = sProjectPath;
    sName.Replace(L"/", L"_");
    sName.Replace(L"\\", L"_");
    return L"/Settings/Documents/" + sName;
}

SSuggestionLimits ReadSuggestionLimits(const tcIO* pIO)
{
    SSuggestionLimits limits;
    const wxString sGroup = SuggestionSettingsGroup(pIO ? pIO->GetDatasource() : wxString());
    if (sGroup.empty() || !g_pConfig)
        return limits;
    // Absolute keys: the store's current group is shared with every other reader on this thread.
    limits.nMinPercent = Clamp(g_pConfig->ReadLong(sGroup + L"/" + kszPercentKey, limits.nMinPercent));
    limits.nMaxCount = Clamp(g_pConfig->ReadLong(sGroup + L"/" + kszLimitKey, limits.nMaxCount));
    return limits;
}

bool WriteSuggestionLimits(const tcIO* pIO, const SSuggestionLimits& limits)
{
    const wxString sGroup = SuggestionSettingsGroup(pIO ? pIO->GetDatasource() : wxString());
    if (sGroup.empty() || !g_pConfig)
        return false;
    const bool bWritten = g_pConfig->Write(sGroup + L"/" + kszPercentKey, static_cast<long>(limits.nMinPercent)) &&
                          g_pConfig->Write(sGroup + L"/" + kszLimitKey, static_cast<long>(limits.nMaxCount));
    g_pConfig->Flush();
    return bWritten;
}
