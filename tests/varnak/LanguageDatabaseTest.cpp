#include "varnak/include/tcLanguageDatabase.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

// Small registry: records out of order, keys in mixed case, folding, fields and types that are
// not read, a range, a record without key, deprecated entries, variants with all kinds of prefixes.
const char* const g_szRegistry = "File-Date: 2024-01-01\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: sr\n"
                                 "Description: Serbian\n"
                                 "%%\n"
                                 "Type: language\r\n"
                                 "Subtag: FR\r\n"
                                 "Description: French\r\n"
                                 "Suppress-Script: Latn\r\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: en\n"
                                 "Description: English\n"
                                 "Description: second description is not kept\n"
                                 "Suppress-Script: Latn\n"
                                 "Comments: an unknown field\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: de\n"
                                 "Description: German\n"
                                 "Suppress-Script: Latn\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: ja\n"
                                 "Description: Japanese\n"
                                 "Suppress-Script: Jpan\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: iw\n"
                                 "Description: Hebrew\n"
                                 "Deprecated: 1989-01-01\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: he\n"
                                 "Description: Hebrew\n"
                                 "Suppress-Script: Hebr\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: sl\n"
                                 "Description: Slovenian\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: zh\n"
                                 "Description: Chinese\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Subtag: qaa..qtz\n"
                                 "Description: Private use\n"
                                 "%%\n"
                                 "Type: language\n"
                                 "Description: a record without subtag\n"
                                 "%%\n"
                                 "Type: extlang\n"
                                 "Subtag: yue\n"
                                 "Description: Yue Chinese\n"
                                 "Prefix: zh\n"
                                 "%%\n"
                                 "Type: script\n"
                                 "Subtag: Latn\n"
                                 "Description: Latin\n"
                                 "%%\n"
                                 "Type: script\n"
                                 "Subtag: Jpan\n"
                                 "Description: Japanese (alias for Han + Hiragana +\n"
                                 "   \tKatakana)\n"
                                 "%%\n"
                                 "Type: script\n"
                                 "Subtag: cyrl\n"
                                 "Description: Cyrillic\n"
                                 "%%\n"
                                 "Type: script\n"
                                 "Subtag: Hant\n"
                                 "Description: Han (Traditional variant)\n"
                                 "%%\n"
                                 "Type: region\n"
                                 "Subtag: US\n"
                                 "Description: United States\n"
                                 "%%\n"
                                 "Type: region\n"
                                 "Subtag: 419\n"
                                 "Description: Latin America and the Caribbean\n"
                                 "%%\n"
                                 "Type: region\n"
                                 "Subtag: dd\n"
                                 "Description: German Democratic Republic\n"
                                 "Deprecated: 1990-10-30\n"
                                 "%%\n"
                                 "Type: region\n"
                                 "Subtag: GB\n"
                                 "Description: United Kingdom\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: 1996\n"
                                 "Description: German orthography of 1996\n"
                                 "Prefix: de\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: 1901\n"
                                 "Description: Traditional German orthography\n"
                                 "Prefix: de\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: rozaj\n"
                                 "Description: Resian\n"
                                 "Prefix: sl\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: biske\n"
                                 "Description: The San Giorgio dialect of Resian\n"
                                 "Prefix: sl-rozaj\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: ekavsk\n"
                                 "Description: Serbian with Ekavian pronunciation\n"
                                 "Prefix: sr\n"
                                 "Prefix: sr-Latn\n"
                                 "Prefix: sr-Cyrl\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: pinyin\n"
                                 "Description: Pinyin romanization\n"
                                 "Prefix: zh-Latn\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: fonipa\n"
                                 "Description: International Phonetic Alphabet\n"
                                 "%%\n"
                                 "Type: variant\n"
                                 "Subtag: oldvar\n"
                                 "Description: A deprecated variant\n"
                                 "Deprecated: 2018-03-24\n"
                                 "Prefix: de\n"
                                 "%%\n"
                                 "Type: grandfathered\n"
                                 "Tag: i-klingon\n"
                                 "Description: Klingon\n"
                                 "Deprecated: 2004-02-24\n"
                                 "%%\n"
                                 "Type: grandfathered\n"
                                 "Tag: i-default\n"
                                 "Description: Default Language\n"
                                 "%%\n"
                                 "Type: grandfathered\n"
                                 "Tag: en-GB-oed\n"
                                 "Description: English, Oxford English Dictionary spelling\n"
                                 "%%\n"
                                 "Type: redundant\n"
                                 "Tag: zh-Hant\n"
                                 "Description: a type that is not read\n";

class LanguageDatabase : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Db.Load(WriteHomeFile("LanguageRegistry", g_szRegistry))); }

    tcLanguageDatabase m_Db;
};

template <typename T> std::vector<wxString> Keys(const std::vector<T>& list)
{
    std::vector<wxString> keys;
    for (const auto& p : list)
        keys.push_back(p->m_sKey);
    return keys;
}

template <typename T> bool SortedWithoutCase(const std::vector<T>& list)
{
    return std::is_sorted(list.begin(), list.end(),
                          [](const auto& a, const auto& b) { return a->m_sKey.CmpNoCase(b->m_sKey) < 0; });
}

} // namespace

TEST_F(LanguageDatabase, ListsAreOrderedByKeyWithoutCase)
{
    EXPECT_EQ(Keys(m_Db.m_paLanguageList),
              (std::vector<wxString>{"de", "en", "FR", "he", "iw", "ja", "sl", "sr", "zh"}));
    EXPECT_EQ(Keys(m_Db.m_paScriptList), (std::vector<wxString>{"cyrl", "Hant", "Jpan", "Latn"}));
    EXPECT_EQ(Keys(m_Db.m_paRegionList), (std::vector<wxString>{"419", "dd", "GB", "US"}));
    EXPECT_EQ(Keys(m_Db.m_paGrandFatherList), (std::vector<wxString>{"en-GB-oed", "i-default", "i-klingon"}));
    EXPECT_EQ(Keys(m_Db.m_paVariantList),
              (std::vector<wxString>{"1901", "1996", "biske", "ekavsk", "fonipa", "oldvar", "pinyin", "rozaj"}));
}

TEST_F(LanguageDatabase, LookupIgnoresCaseAndReadsTheFields)
{
    const tcLanguageRecord* pFrench = m_Db.FindLanguage("fr");
    ASSERT_NE(pFrench, nullptr);
    EXPECT_EQ(pFrench->m_sDescription, "French");
    EXPECT_EQ(pFrench->m_sImpliedScript, "Latn");
    EXPECT_EQ(m_Db.FindLanguage("EN")->m_sDescription, "English");
    EXPECT_EQ(m_Db.FindLanguage("sr")->m_sImpliedScript, "");
    EXPECT_EQ(m_Db.FindScript("CYRL")->m_sKey, "cyrl");
    EXPECT_EQ(m_Db.FindScript("jpan")->m_sDescription, "Japanese (alias for Han + Hiragana + Katakana)");
    EXPECT_EQ(m_Db.FindRegion("gb")->m_sDescription, "United Kingdom");
    EXPECT_EQ(m_Db.FindGrandFather("I-DEFAULT")->m_sKey, "i-default");
    EXPECT_EQ(m_Db.FindVariant("Pinyin")->m_asPrefixes, (std::vector<wxString>{"zh-Latn"}));

    for (const char* szMissing : {"yue", "qaa..qtz", "qaa", "", "e"})
        EXPECT_EQ(m_Db.FindLanguage(szMissing), nullptr) << szMissing;
    EXPECT_EQ(m_Db.FindGrandFather("zh-Hant"), nullptr);
    EXPECT_EQ(m_Db.FindRegion("Latn"), nullptr);
}

TEST_F(LanguageDatabase, DeprecatedEntriesAreNotOffered)
{
    EXPECT_FALSE(m_Db.FindLanguage("iw")->IsOffered());
    EXPECT_EQ(m_Db.FindLanguage("iw")->m_sDeprecated, "1989-01-01");
    EXPECT_TRUE(m_Db.FindLanguage("he")->IsOffered());
    EXPECT_FALSE(m_Db.FindRegion("DD")->IsOffered());
    EXPECT_TRUE(m_Db.FindRegion("419")->IsOffered());
    EXPECT_FALSE(m_Db.FindGrandFather("i-klingon")->IsOffered());
    EXPECT_TRUE(m_Db.FindGrandFather("i-default")->IsOffered());
    EXPECT_FALSE(m_Db.FindVariant("oldvar")->IsOffered());
}

TEST_F(LanguageDatabase, LanguagesListTheVariantsThatMayFollowThem)
{
    const auto VariantsOf = [&](const char* szLanguage) { return Keys(m_Db.FindLanguage(szLanguage)->m_paVariants); };
    EXPECT_EQ(VariantsOf("de"), (std::vector<wxString>{"1901", "1996", "oldvar"}));
    // "biske" needs "rozaj" before it, so "sl" alone cannot take it.
    EXPECT_EQ(VariantsOf("sl"), (std::vector<wxString>{"rozaj"}));
    // Three prefixes of one language give one entry.
    EXPECT_EQ(VariantsOf("sr"), (std::vector<wxString>{"ekavsk"}));
    EXPECT_EQ(VariantsOf("zh"), (std::vector<wxString>{"pinyin"}));
    EXPECT_TRUE(VariantsOf("en").empty());
    EXPECT_EQ(m_Db.FindVariant("ekavsk")->m_asPrefixes, (std::vector<wxString>{"sr", "sr-Latn", "sr-Cyrl"}));
}

TEST_F(LanguageDatabase, GetLanguageCodeComposesTags)
{
    struct Case
    {
        const char* szLanguage;
        const char* szScript;
        const char* szRegion;
        const char* szVariant;
        const char* szExpected;
    };
    const Case cases[] = {
        {"en", "", "", "", "en"},
        {"en", "Latn", "", "", "en"},      // implied script dropped
        {"en", "LATN", "us", "", "en-US"}, // compared without case
        {"ja", "Jpan", "JP", "", "ja-JP"},
        {"ja", "Latn", "", "", "ja-Latn"},      // not the implied one: kept
        {"sr", "latn", "rs", "", "sr-Latn-RS"}, // no implied script at all
        {"ZH", "hANT", "tw", "", "zh-Hant-TW"},
        {"de", "", "DE", "1996", "de-DE-1996"},
        {"de", "Latn", "", "1901", "de-1901"},
        {"sl", "", "", "ROZAJ", "sl-rozaj"},
        {"es", "", "419", "", "es-419"},
        {" fr ", " ", " ca ", "", "fr-CA"},
        {"xx", "Cyrl", "", "", "xx-Cyrl"}, // unknown language: nothing to drop
        {"", "Latn", "US", "1996", ""},
        {"  ", "", "", "", ""},
        {"I-Klingon", "Latn", "US", "", "i-klingon"}, // a whole tag takes no more parts
        {"en-gb-oed", "", "", "", "en-GB-oed"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.szLanguage << "|" << c.szScript << "|" << c.szRegion << "|"
                                        << c.szVariant);
        EXPECT_EQ(m_Db.GetLanguageCode(c.szLanguage, c.szScript, c.szRegion, c.szVariant), c.szExpected);
    }
}

TEST(LanguageDatabaseLoad, FailedLoadKeepsTheContent)
{
    tcLanguageDatabase db;
    EXPECT_FALSE(db.Load(WriteHomeFile("x", "") + ".missing"));
    ASSERT_TRUE(db.Load(WriteHomeFile("Good", g_szRegistry)));

    const wxString failing[] = {
        WriteHomeFile("Empty", ""),
        WriteHomeFile("NoLanguages", "Type: region\nSubtag: US\nDescription: United States\n"),
        wxString::FromUTF8(TempHomeListener::Current().string()),
    };
    for (const wxString& sPath : failing)
    {
        EXPECT_FALSE(db.Load(sPath)) << sPath;
        EXPECT_EQ(db.m_paLanguageList.size(), 9u);
        EXPECT_NE(db.FindRegion("GB"), nullptr);
    }
}

TEST(LanguageDatabaseLoad, ProgramDatabaseExistsOnlyBetweenInitAndDone)
{
    tDoneLanguageDatabase();
    EXPECT_EQ(tGetLanguageDatabase(), nullptr);
    EXPECT_FALSE(tInitLanguageDatabase(WriteHomeFile("x", "") + ".missing"));
    EXPECT_EQ(tGetLanguageDatabase(), nullptr);

    ASSERT_TRUE(tInitLanguageDatabase(WriteHomeFile("LanguageRegistry", g_szRegistry)));
    tcLanguageDatabase* pDb = tGetLanguageDatabase();
    ASSERT_NE(pDb, nullptr);
    EXPECT_FALSE(tInitLanguageDatabase(WriteHomeFile("Empty", "")));
    EXPECT_EQ(tGetLanguageDatabase(), pDb);

    tDoneLanguageDatabase();
    EXPECT_EQ(tGetLanguageDatabase(), nullptr);
}

// The registry shipped in Data/ (the tests run in the build folder, which has a copy).
TEST(LanguageDatabaseShipped, CoversCommonLanguagesConsistently)
{
    tcLanguageDatabase db;
    ASSERT_TRUE(db.Load("Data/LanguageRegistry"));

    EXPECT_GE(db.m_paLanguageList.size(), 60u);
    EXPECT_GE(db.m_paScriptList.size(), 15u);
    EXPECT_GE(db.m_paRegionList.size(), 50u);
    EXPECT_FALSE(db.m_paGrandFatherList.empty());
    EXPECT_TRUE(SortedWithoutCase(db.m_paLanguageList));
    EXPECT_TRUE(SortedWithoutCase(db.m_paScriptList));
    EXPECT_TRUE(SortedWithoutCase(db.m_paRegionList));
    EXPECT_TRUE(SortedWithoutCase(db.m_paGrandFatherList));

    for (const char* szLanguage :
         {"en", "de", "fr", "es", "it", "pt", "nl", "sv", "da", "nb", "nn", "fi", "pl", "cs", "sk", "sl",
          "hr", "sr", "bs", "hu", "ro", "bg", "ru", "uk", "be", "el", "tr", "ar", "he", "fa", "hi", "bn",
          "ur", "ja", "ko", "zh", "th", "vi", "id", "ms", "ca", "eu", "gl", "et", "lv", "lt", "is", "ga",
          "cy", "mt", "sq", "mk", "ka", "hy", "az", "kk", "uz", "sw", "af", "zu", "tl", "ta", "te"})
    {
        const tcLanguageRecord* pLanguage = db.FindLanguage(szLanguage);
        ASSERT_NE(pLanguage, nullptr) << szLanguage;
        EXPECT_TRUE(pLanguage->IsOffered()) << szLanguage;
        EXPECT_FALSE(pLanguage->m_sDescription.empty()) << szLanguage;
    }
    EXPECT_EQ(db.FindLanguage("nb")->m_sDescription, wxString::FromUTF8("Norwegian Bokmål"));
    EXPECT_FALSE(db.FindLanguage("iw")->IsOffered());
    EXPECT_NE(db.FindRegion("419"), nullptr);

    // Every implied script is listed, every variant follows a listed language.
    for (const auto& pLanguage : db.m_paLanguageList)
    {
        if (!pLanguage->m_sImpliedScript.empty())
        {
            EXPECT_NE(db.FindScript(pLanguage->m_sImpliedScript), nullptr) << pLanguage->m_sKey;
        }
    }
    for (const auto& pVariant : db.m_paVariantList)
    {
        for (const wxString& sPrefix : pVariant->m_asPrefixes)
            EXPECT_NE(db.FindLanguage(sPrefix.BeforeFirst('-')), nullptr) << pVariant->m_sKey;
    }

    const auto& caVariants = db.FindLanguage("ca")->m_paVariants;
    EXPECT_TRUE(std::any_of(caVariants.begin(), caVariants.end(),
                            [](const tcLanguageVariant* p) { return p->m_sKey == "valencia"; }));
    EXPECT_EQ(db.GetLanguageCode("en", "Latn", "US", ""), "en-US");
    EXPECT_EQ(db.GetLanguageCode("zh", "Hans", "CN", ""), "zh-Hans-CN");
    EXPECT_EQ(db.GetLanguageCode("de", "Latn", "CH", "1996"), "de-CH-1996");
}
