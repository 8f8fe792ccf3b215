// The bytes of an SRX file, a NUL byte, then a UTF-8 text. The rules load (or fail with their
// error) and segment the text; each rule's incremental match is checked against a match from
// scratch on the same prefix.
#include "fuzz/FuzzSupport.h"

#include "Shared/VRSRXDoc.h"
#include "varnak/include/TextFailure.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Positions compared per rule: the from-scratch matches cost the square of this.
const int kMaxComparedLength = 256;
// Work allowed to one rule over the compared positions, and to each match from scratch.
const long long kCompareBudget = 4000000;

void CheckRule(const CVRSRXRule& rule, const std::wstring& sText, const char* szList, size_t nIndex)
{
    const wchar_t* pStart = sText.c_str();
    const int nLength = std::min(static_cast<int>(sText.size()), kMaxComparedLength);
    const wchar_t* pEnd = pStart + nLength;
    CVRSRXRule::Progress progress;
    // One budget for the incremental scan and one for all the scans from scratch: a budget per
    // scan would let a runaway rule spend it anew at every position.
    CVRSRXRule::Budget budget{kCompareBudget, false};
    CVRSRXRule::Budget freshBudget{kCompareBudget, false};
    for (int nPos = 1; nPos < nLength; ++nPos)
    {
        // The text grows as the convertor feeds it: the incremental scan sees each prefix in turn.
        for (const wchar_t* pPrefixEnd : {pStart + nPos + 1, pEnd})
        {
            const int nIncremental = rule.Match(pStart, nPos, pPrefixEnd, progress, &budget);
            if (budget.bExhausted)
                return;
            CVRSRXRule::Progress fresh;
            const int nScratch = rule.Match(pStart, nPos, pPrefixEnd, fresh, &freshBudget);
            if (freshBudget.bExhausted)
                return;
            if (nIncremental != nScratch)
            {
                FuzzFail("incremental and from-scratch matches differ",
                         std::string(szList) + " rule " + std::to_string(nIndex) + " before [" +
                             rule.GetBeforeText().utf8_string() + "] after [" + rule.GetAfterText().utf8_string() +
                             "] at " + std::to_string(nPos) + " of " + std::to_string(pPrefixEnd - pStart) + ": " +
                             std::to_string(nIncremental) + " vs " + std::to_string(nScratch));
            }
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzInit();
    const uint8_t* pNul = static_cast<const uint8_t*>(std::memchr(pData, 0, nSize));
    const size_t nRules = pNul ? static_cast<size_t>(pNul - pData) : nSize;
    const std::string sTextBytes =
        pNul ? std::string(reinterpret_cast<const char*>(pNul + 1), nSize - nRules - 1) : std::string();
    const wxString sPath = FuzzWriteFile("rules.srx", pData, nRules);
    const std::wstring sText = wxString::FromUTF8(sTextBytes).ToStdWstring();

    std::unique_ptr<CVRSRXDoc> pRules;
    try
    {
        pRules = std::make_unique<CVRSRXDoc>(sPath);
        pRules->SetLanguage(L"en");
    }
    catch (const TextFailure&)
    {
        return 0;
    }

    // Segmented as the convertor does: ever longer prefixes, each break starting the next segment.
    pRules->Clear();
    const wchar_t* pText = sText.c_str();
    const int nLength = static_cast<int>(sText.size());
    int nConsumed = 0;
    for (int j = 1; j < nLength; ++j)
    {
        const int nBreak = pRules->FindNextSegmentBreak(pText + nConsumed, pText + j);
        if (nBreak == -1)
            continue;
        if (nBreak < 1 || nBreak >= j - nConsumed)
            FuzzFail("a break outside the segment", std::to_string(nBreak));
        nConsumed += nBreak;
    }

    for (size_t i = 0; i < pRules->GetBreakRules().size(); ++i)
        CheckRule(pRules->GetBreakRules()[i], sText, "break", i);
    for (size_t i = 0; i < pRules->GetExceptionRules().size(); ++i)
        CheckRule(pRules->GetExceptionRules()[i], sText, "exception", i);
    return 0;
}
