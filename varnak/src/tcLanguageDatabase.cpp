#include "varnak/include/tcLanguageDatabase.h"

#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tUTF8.h"

#include <wx/arrstr.h>
#include <wx/wxcrt.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace
{

std::unique_ptr<tcLanguageDatabase> s_pDatabase;

bool KeyLess(const wxString& a, const wxString& b)
{
    return a.CmpNoCase(b) < 0;
}

template <typename T> void SortByKey(std::vector<std::unique_ptr<T>>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b)
                     { return KeyLess(a->m_sKey, b->m_sKey); });
}

template <typename T> const T* FindByKey(const std::vector<std::unique_ptr<T>>& list, const wxString& sKey)
{
    const auto it =
        std::lower_bound(list.begin(), list.end(), sKey,
                         [](const std::unique_ptr<T>& p, const wxString& s) { return KeyLess(p->m_sKey, s); });
    if (it == list.end() || (*it)->m_sKey.CmpNoCase(sKey) != 0)
        return nullptr;
    return it->get();
}

struct tField
{
    wxString sName;
    wxString sValue;
};

// One record's fields in file order.
using tRecord = std::vector<tField>;

std::vector<tRecord> ReadRecords(const std::string& sBytes)
{
    std::vector<tRecord> records(1);
    for (const std::string& sBytesLine : tSplitByteLines(sBytes))
    {
        // A line that is not UTF-8 is skipped with the blank ones.
        if (!tIsValidUTF8(sBytesLine))
            continue;
        const wxString sLine = kvFromUTF8(sBytesLine);
        if (sLine.Strip(wxString::both).empty())
            continue;

        if (sLine.Strip(wxString::trailing) == "%%")
        {
            records.emplace_back();
            continue;
        }
        if (sLine[0] == ' ' || sLine[0] == '\t')
        {
            // Folded line: joins the previous field with one blank.
            if (!records.back().empty())
                records.back().back().sValue += " " + sLine.Strip(wxString::both);
            continue;
        }
        const int nColon = sLine.Find(':');
        if (nColon == wxNOT_FOUND)
            continue;
        records.back().push_back(
            {sLine.Left(nColon).Strip(wxString::both), sLine.Mid(nColon + 1).Strip(wxString::both)});
    }
    return records;
}

wxString FieldValue(const tRecord& record, const char* szName)
{
    for (const tField& field : record)
        if (field.sName.CmpNoCase(szName) == 0)
            return field.sValue;
    return wxString();
}

std::vector<wxString> FieldValues(const tRecord& record, const char* szName)
{
    std::vector<wxString> values;
    for (const tField& field : record)
        if (field.sName.CmpNoCase(szName) == 0 && !field.sValue.empty())
            values.push_back(field.sValue);
    return values;
}

void FillSubtag(tcLanguageSubtag& entry, const wxString& sKey, const tRecord& record)
{
    entry.m_sKey = sKey;
    entry.m_sDescription = FieldValue(record, "Description");
    entry.m_sDeprecated = FieldValue(record, "Deprecated");
}

// True when a variant with this prefix can follow a tag of language, script and region: the
// prefix names no other variant ("sl-rozaj" does, so "biske" cannot come straight after "sl").
bool FollowsDirectly(const wxString& sPrefix)
{
    const wxArrayString asParts = wxSplit(sPrefix, '-', '\0');
    for (size_t i = 1; i < asParts.size(); ++i)
    {
        const wxString& s = asParts[i];
        const bool bScript = s.length() == 4 && wxIsalpha(s[0]);
        const bool bRegion = (s.length() == 2 && wxIsalpha(s[0])) || (s.length() == 3 && s.IsNumber());
        if (!bScript && !bRegion)
            return false;
    }
    return true;
}

wxString TitleCase(const wxString& s)
{
    return s.Left(1).Upper() + s.Mid(1).Lower();
}

} // namespace

tcLanguageDatabase::tcLanguageDatabase() = default;

tcLanguageDatabase::~tcLanguageDatabase() = default;

bool tcLanguageDatabase::Load(const wxString& sPath)
{
    const std::optional<std::string> sBytes = tReadFileBytes(sPath);
    if (!sBytes)
        return false;

    tcLanguageDatabase loaded;
    for (const tRecord& record : ReadRecords(*sBytes))
    {
        const wxString sType = FieldValue(record, "Type").Lower();
        const wxString sKey = FieldValue(record, sType == "grandfathered" ? "Tag" : "Subtag");
        if (sKey.empty() || sKey.Contains(".."))
            continue;
        if (sType == "language")
        {
            auto pEntry = std::make_unique<tcLanguageRecord>();
            FillSubtag(*pEntry, sKey, record);
            pEntry->m_sImpliedScript = FieldValue(record, "Suppress-Script");
            loaded.m_paLanguageList.push_back(std::move(pEntry));
        }
        else if (sType == "variant")
        {
            auto pEntry = std::make_unique<tcLanguageVariant>();
            FillSubtag(*pEntry, sKey, record);
            pEntry->m_asPrefixes = FieldValues(record, "Prefix");
            loaded.m_paVariantList.push_back(std::move(pEntry));
        }
        else if (sType == "script" || sType == "region" || sType == "grandfathered")
        {
            auto pEntry = std::make_unique<tcLanguageSubtag>();
            FillSubtag(*pEntry, sKey, record);
            auto& list = sType == "script"   ? loaded.m_paScriptList
                         : sType == "region" ? loaded.m_paRegionList
                                             : loaded.m_paGrandFatherList;
            list.push_back(std::move(pEntry));
        }
    }
    if (loaded.m_paLanguageList.empty())
        return false;

    SortByKey(loaded.m_paLanguageList);
    SortByKey(loaded.m_paScriptList);
    SortByKey(loaded.m_paRegionList);
    SortByKey(loaded.m_paGrandFatherList);
    SortByKey(loaded.m_paVariantList);

    for (const auto& pVariant : loaded.m_paVariantList)
    {
        for (const wxString& sPrefix : pVariant->m_asPrefixes)
        {
            if (!FollowsDirectly(sPrefix))
                continue;
            const wxString sLanguage = sPrefix.BeforeFirst('-');
            // Every record with that key, so that a duplicate language offers the same variants.
            for (const auto& pLanguage : loaded.m_paLanguageList)
            {
                if (pLanguage->m_sKey.CmpNoCase(sLanguage) != 0)
                    continue;
                auto& variants = pLanguage->m_paVariants;
                if (std::find(variants.begin(), variants.end(), pVariant.get()) == variants.end())
                    variants.push_back(pVariant.get());
            }
        }
    }

    m_paLanguageList = std::move(loaded.m_paLanguageList);
    m_paScriptList = std::move(loaded.m_paScriptList);
    m_paRegionList = std::move(loaded.m_paRegionList);
    m_paGrandFatherList = std::move(loaded.m_paGrandFatherList);
    m_paVariantList = std::move(loaded.m_paVariantList);
    return true;
}

wxString tcLanguageDatabase::GetLanguageCode(const wxString& sLanguage, const wxString& sScript,
                                             const wxString& sRegion, const wxString& sVariant) const
{
    const wxString sLang = wxString(sLanguage).Strip(wxString::both);
    if (sLang.empty())
        return wxString();
    if (const tcLanguageSubtag* pGrandFather = FindGrandFather(sLang))
        return pGrandFather->m_sKey;

    wxString sTag = sLang.Lower();
    const wxString sScr = wxString(sScript).Strip(wxString::both);
    if (!sScr.empty())
    {
        const tcLanguageRecord* pLanguage = FindLanguage(sLang);
        if (!pLanguage || pLanguage->m_sImpliedScript.CmpNoCase(sScr) != 0)
            sTag += "-" + TitleCase(sScr);
    }
    const wxString sReg = wxString(sRegion).Strip(wxString::both);
    if (!sReg.empty())
        sTag += "-" + sReg.Upper();
    const wxString sVar = wxString(sVariant).Strip(wxString::both);
    if (!sVar.empty())
        sTag += "-" + sVar.Lower();
    return sTag;
}

const tcLanguageRecord* tcLanguageDatabase::FindLanguage(const wxString& sKey) const
{
    return FindByKey(m_paLanguageList, sKey);
}

const tcLanguageSubtag* tcLanguageDatabase::FindScript(const wxString& sKey) const
{
    return FindByKey(m_paScriptList, sKey);
}

const tcLanguageSubtag* tcLanguageDatabase::FindRegion(const wxString& sKey) const
{
    return FindByKey(m_paRegionList, sKey);
}

const tcLanguageVariant* tcLanguageDatabase::FindVariant(const wxString& sKey) const
{
    return FindByKey(m_paVariantList, sKey);
}

const tcLanguageSubtag* tcLanguageDatabase::FindGrandFather(const wxString& sKey) const
{
    return FindByKey(m_paGrandFatherList, sKey);
}

bool tInitLanguageDatabase(const wxString& sPath)
{
    auto pDatabase = std::make_unique<tcLanguageDatabase>();
    if (!pDatabase->Load(sPath))
        return false;
    s_pDatabase = std::move(pDatabase);
    return true;
}

void tDoneLanguageDatabase()
{
    s_pDatabase.reset();
}

tcLanguageDatabase* tGetLanguageDatabase()
{
    return s_pDatabase.get();
}
