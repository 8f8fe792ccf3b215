#include "engine/InlineMarkup.h"

#include "varnak/include/tXMLText.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>

namespace
{
template <typename T> bool IsCodeName(const T& sName)
{
    return sName == L"ph" || sName == L"bpt" || sName == L"ept" || sName == L"it";
}

// The wrappers StripInlineMarkup removes; the first four are codes, whose content is the document's
// own markup.
const std::array<std::wstring, 6> s_asWrappers = {L"bpt", L"ept", L"ph", L"it", L"sub", L"mrk"};
constexpr int kSubWrapper = 4;

bool IsCodeWrapper(int nWrapper)
{
    return nWrapper >= 0 && nWrapper < kSubWrapper;
}

// The wrapper whose name starts at nPos and ends at a character for which bEnd says yes, or -1.
template <typename F> int WrapperAt(const std::wstring& s, size_t nPos, F bEnd, size_t& nNameEnd)
{
    for (size_t i = 0; i < s_asWrappers.size(); ++i)
    {
        const std::wstring& sName = s_asWrappers[i];
        if (s.compare(nPos, sName.size(), sName) == 0 && nPos + sName.size() < s.size() && bEnd(s[nPos + sName.size()]))
        {
            nNameEnd = nPos + sName.size();
            return static_cast<int>(i);
        }
    }
    return -1;
}

tcNode* CopyOf(tcDocument* pDoc, const tcNode* pSource)
{
    tcNode* pCopy = pSource->GetDTD() == pDoc->GetDTD() ? pDoc->AllocateElementByID(pSource->GetElementTypeID())
                                                        : pDoc->AllocateElementByName(pSource->GetElementName());
    if (!pCopy)
        return nullptr;
    tcCloneContext context(pDoc, pSource->GetDoc());
    context.bMergeDTDs = pSource->GetDoc() != pDoc;
    pCopy->CloneTree(pSource, &context);
    return pCopy;
}

// Whether nothing but codes and blanks comes before pCode in its segment.
bool StandsBeforeText(const tcNode* pCode)
{
    const tcNode* pParent = pCode->GetParent();
    if (!pParent)
        return false;
    for (const tcNode* pSibling : pParent->GetChildren())
    {
        if (pSibling == pCode)
            return true;
        if (pSibling->IsClass(NODE_TEXTNODE))
        {
            const wxString& sText = static_cast<const tcText*>(pSibling)->GetText();
            if (std::any_of(sText.begin(), sText.end(), [](wxUniChar c) { return !std::iswspace(c); }))
                return false;
        }
        else if (!pSibling->IsElementNode() || !IsCodeName(pSibling->GetElementName()))
            return false;
    }
    return false;
}

bool SameCode(const tcNode* pTarget, const tcNode* pSource)
{
    const bool bSameKind = pTarget->GetDTD() == pSource->GetDTD()
                               ? pTarget->GetElement() == pSource->GetElement()
                               : pTarget->GetElementName() == pSource->GetElementName();
    return bSameKind && pTarget->GenerateXML() == pSource->GenerateXML();
}

// Characters that are each a word: CJK ideographs, hiragana, katakana (with their half-width forms).
bool IsIdeograph(wchar_t c)
{
    const auto n = static_cast<uint32_t>(c);
    return (n >= 0x3040 && n <= 0x30FF) || (n >= 0x31F0 && n <= 0x31FF) || (n >= 0x3400 && n <= 0x4DBF) ||
           (n >= 0x4E00 && n <= 0x9FFF) || (n >= 0xF900 && n <= 0xFAFF) || (n >= 0xFF66 && n <= 0xFF9F) ||
           (n >= 0x20000 && n <= 0x3FFFF);
}

// Letters, digits and the combining marks that belong to the letter before them.
bool IsWordCharacter(wchar_t c)
{
    const auto n = static_cast<uint32_t>(c);
    return std::iswalnum(static_cast<wint_t>(c)) != 0 || (n >= 0x0300 && n <= 0x036F) ||
           (n >= 0x1AB0 && n <= 0x1AFF) || (n >= 0x1DC0 && n <= 0x1DFF) || (n >= 0x20D0 && n <= 0x20FF) ||
           (n >= 0xFE20 && n <= 0xFE2F);
}

// Whether the character at nPos, standing between two word characters, keeps them one word.
bool JoinsAt(const std::wstring& s, size_t nPos)
{
    switch (s[nPos])
    {
    case L'\'':
    case L'\u2019': // right single quotation mark, the typographic apostrophe
    case L'\u02BC': // modifier letter apostrophe
    case L'-':
    case L'\u2010': // hyphen
    case L'\u2011': // non-breaking hyphen
    case L'_':
        return true;
    case L'.':
    case L',':
        // Decimal and thousands separators; after a full stop a new sentence begins.
        return nPos > 0 && std::iswdigit(static_cast<wint_t>(s[nPos - 1])) &&
               std::iswdigit(static_cast<wint_t>(s[nPos + 1]));
    default:
        return false;
    }
}
} // namespace

int CountWords(const wxString& sText)
{
    const std::wstring s = sText.ToStdWstring();
    int nWords = 0;
    bool bInWord = false;
    for (size_t i = 0; i < s.size(); ++i)
    {
        const wchar_t c = s[i];
        if (IsIdeograph(c))
        {
            ++nWords;
            bInWord = false;
        }
        else if (IsWordCharacter(c))
        {
            if (!bInWord)
                ++nWords;
            bInWord = true;
        }
        else if (!bInWord || i + 1 >= s.size() || !IsWordCharacter(s[i + 1]) || IsIdeograph(s[i + 1]) ||
                 !JoinsAt(s, i))
            bInWord = false;
    }
    return nWords;
}

std::vector<wxString> TextOutsideCodes(const wxString& sXML)
{
    const std::wstring s = sXML.ToStdWstring();
    std::vector<wxString> asRuns;
    std::wstring sRun;
    const auto endRun = [&]()
    {
        if (!sRun.empty())
            asRuns.emplace_back(sRun);
        sRun.clear();
    };
    // Depth inside codes and notes: nothing there is text of the segment.
    int nHidden = 0;
    size_t i = 0;
    while (i < s.size())
    {
        if (s[i] != L'<')
        {
            const size_t nNext = std::min(s.find(L'<', i), s.size());
            if (nHidden == 0)
                sRun += tUnescapeXMLCharacters(wxString(s.substr(i, nNext - i))).ToStdWstring();
            i = nNext;
            continue;
        }
        if (s.compare(i, 9, L"<![CDATA[") == 0)
        {
            const size_t nClose = std::min(s.find(L"]]>", i + 9), s.size());
            if (nHidden == 0)
                sRun.append(s, i + 9, nClose - std::min(nClose, i + 9));
            i = nClose + 3;
            continue;
        }
        const wchar_t* szClose = s.compare(i, 4, L"<!--") == 0 ? L"-->" : s.compare(i, 2, L"<?") == 0 ? L"?>" : L">";
        const size_t nClose = s.find(szClose, i + 1);
        if (nClose == std::wstring::npos)
            break;
        if (szClose[1] == 0)
        {
            const bool bEnd = s[i + 1] == L'/';
            const size_t nName = i + (bEnd ? 2 : 1);
            size_t nNameEnd = nName;
            while (nNameEnd < nClose && s[nNameEnd] != L'/' && !std::iswspace(static_cast<wint_t>(s[nNameEnd])))
                ++nNameEnd;
            const std::wstring sName = s.substr(nName, nNameEnd - nName);
            if (IsCodeName(sName) && nHidden == 0)
                endRun();
            const bool bEmpty = s[nClose - 1] == L'/';
            if (!bEmpty && (IsCodeName(sName) || sName == L"note"))
                nHidden = std::max(0, nHidden + (bEnd ? -1 : 1));
        }
        i = nClose + wcslen(szClose);
    }
    endRun();
    return asRuns;
}

void CollectInlineTags(const tcNode* pNode, std::vector<tcNode*>& apTags)
{
    if (!pNode)
        return;
    if (pNode->IsElementNode() && IsCodeName(pNode->GetElementName()))
    {
        apTags.push_back(const_cast<tcNode*>(pNode));
        return;
    }
    for (const tcNode* pChild : pNode->GetChildren())
        CollectInlineTags(pChild, apTags);
}

void SyncInlineTags(tcDocument* pDoc, tcNode* pTarget, const std::vector<tcNode*>& apSourceTags,
                    std::vector<tcNode*>& apTargetTags)
{
    if (!pDoc || !pTarget)
        return;
    while (apTargetTags.size() > apSourceTags.size())
    {
        pDoc->DeleteTreeFromDoc(apTargetTags.back());
        apTargetTags.pop_back();
    }
    // A target without codes (a memory proposal, plain typing) gets the codes that open the
    // source's text before its own text, so that a paragraph or a link still wraps the translation.
    const bool bBareTarget = apTargetTags.empty();
    int nLeading = 0;
    for (size_t i = apTargetTags.size(); i < apSourceTags.size(); ++i)
    {
        tcNode* pCopy = CopyOf(pDoc, apSourceTags[i]);
        if (!pCopy)
            continue;
        if (bBareTarget && StandsBeforeText(apSourceTags[i]))
            pTarget->InsertChild(pCopy, nLeading++);
        else
            pTarget->AddChildLast(pCopy);
    }
    for (size_t j = 0; j < apTargetTags.size(); ++j)
    {
        tcNode* pOld = apTargetTags[j];
        if (SameCode(pOld, apSourceTags[j]))
            continue;
        tcNode* pParent = pOld->GetParent();
        const int nIndex = pOld->FindOurIndex();
        pDoc->DeleteTreeFromDoc(pOld);
        tcNode* pCopy = CopyOf(pDoc, apSourceTags[j]);
        if (pCopy && pParent)
            pParent->InsertChild(pCopy, nIndex);
        // Never leave the caller a pointer to the deleted node.
        apTargetTags[j] = pCopy;
    }
    apTargetTags.erase(std::remove(apTargetTags.begin(), apTargetTags.end(), nullptr), apTargetTags.end());
}

void StripInlineMarkup(wxString& sText)
{
    const std::wstring s = sText.ToStdWstring();
    struct SOpen
    {
        int nWrapper;
        size_t nBegin;
        size_t nEnd;
        // A sub met directly inside a code may be the document's own tag: it only counts when it
        // closes before the code does.
        bool bTentative;
    };
    std::vector<SOpen> aStack;
    std::vector<std::pair<size_t, size_t>> aRemove;

    size_t i = 0;
    while (i < s.size())
    {
        if (s[i] != L'<')
        {
            ++i;
            continue;
        }
        if (s.compare(i, 9, L"<![CDATA[") == 0)
        {
            const size_t nClose = s.find(L"]]>", i + 9);
            i = nClose == std::wstring::npos ? s.size() : nClose + 3;
            continue;
        }
        size_t nNameEnd = 0;
        if (i + 1 < s.size() && s[i + 1] == L'/')
        {
            const int nWrapper = WrapperAt(
                s, i + 2, [](wchar_t c) { return c == L'>'; }, nNameEnd);
            if (nWrapper < 0)
            {
                ++i;
                continue;
            }
            // The innermost open element of that name is closed when it is on top, or when what
            // lies above it began with a tentative sub, which thereby proves to be the code's text.
            size_t k = aStack.size();
            while (k > 0 && aStack[k - 1].nWrapper != nWrapper)
                --k;
            if (k > 0 && (k == aStack.size() || aStack[k].bTentative))
            {
                aRemove.emplace_back(aStack[k - 1].nBegin, aStack[k - 1].nEnd);
                aRemove.emplace_back(i, nNameEnd + 1);
                aStack.resize(k - 1);
            }
            i = nNameEnd + 1;
            continue;
        }
        const int nWrapper = WrapperAt(
            s, i + 1, [](wchar_t c) { return c == L'>' || c == L'/' || std::iswspace(static_cast<wint_t>(c)) != 0; },
            nNameEnd);
        const size_t nTagEnd = nWrapper < 0 ? std::wstring::npos : s.find(L'>', nNameEnd);
        if (nTagEnd == std::wstring::npos)
        {
            ++i;
            continue;
        }
        const bool bInCode = !aStack.empty() && IsCodeWrapper(aStack.back().nWrapper);
        const bool bEmpty = s[nTagEnd - 1] == L'/';
        if (!bInCode && bEmpty)
            aRemove.emplace_back(i, nTagEnd + 1);
        else if (!bEmpty && (!bInCode || nWrapper == kSubWrapper))
            aStack.push_back(SOpen{nWrapper, i, nTagEnd + 1, bInCode});
        i = nTagEnd + 1;
    }
    if (aRemove.empty())
        return;

    std::sort(aRemove.begin(), aRemove.end());
    std::wstring sOut;
    sOut.reserve(s.size());
    size_t nFrom = 0;
    for (const auto& [nBegin, nEnd] : aRemove)
    {
        sOut.append(s, nFrom, nBegin - nFrom);
        nFrom = nEnd;
    }
    sOut.append(s, nFrom, std::wstring::npos);
    sText = wxString(sOut);
}
