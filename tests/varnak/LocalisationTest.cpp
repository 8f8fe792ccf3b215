#include "varnak/include/tcLocalisationEngine.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

TEST(LocalisationCatalog, UserCatalogOverridesOnlyItsOwnKeys)
{
    tcLocalisationEngine engine;
    ASSERT_TRUE(engine.LoadLocStrings(
        WriteHomeFile("English.lang", "APPLICATION_NAME=Lintrado\nOK=OK\nCANCEL=Cancel\n"), true, true));
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("Deutsch.lang", "OK=Gut\nONLY_USER=Nur hier\n"), false, false));

    EXPECT_EQ(engine.FindTranslation("OK"), "Gut");
    EXPECT_EQ(engine.FindTranslation("CANCEL"), "Cancel");
    EXPECT_EQ(engine.FindTranslation("ONLY_USER"), "Nur hier");
    EXPECT_EQ(engine.FindTranslation(wxString("APPLICATION_NAME")), "Lintrado");
    EXPECT_EQ(engine.FindTranslation("MENU_NOT_THERE"), "MENU_NOT_THERE");
    EXPECT_FALSE(engine.HasTranslation("MENU_NOT_THERE"));

    // A base catalog read later fills the base layer only: the user's texts still win.
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("Base2.lang", "OK=Okay\nCANCEL=Abort\n"), false, true));
    EXPECT_EQ(engine.FindTranslation("OK"), "Gut");
    EXPECT_EQ(engine.FindTranslation("CANCEL"), "Abort");
}

TEST(LocalisationCatalog, LineFormat)
{
    struct Case
    {
        const char* szKey;
        const char* szExpected; // null: the key is not defined
    };
    const std::string sCatalog = "\xEF\xBB\xBF"
                                 "FIRST=after the byte order mark\r\n"
                                 "# COMMENTED=no\n"
                                 "   # INDENTED_COMMENT=no\n"
                                 "\n"
                                 "   \t\n"
                                 "NEWLINE=one\\ntwo\n"
                                 "TAB=a\\tb\n"
                                 "BACKSLASH=c:\\\\new\n"
                                 "OTHER_ESCAPE=\\x and \\q stay\n"
                                 "TRAILING=ends in \\\n"
                                 "  SPACED  = kept blank\n"
                                 "EQUALS=a=b\n"
                                 "EMPTY=\n"
                                 "=no key\n"
                                 "NO_EQUALS_SIGN\n"
                                 "TWICE=first\n"
                                 "TWICE=second\n"
                                 "WIDE=Grüße, 日本\n"
                                 "LAST=no line end";
    tcLocalisationEngine engine;
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("Format.lang", sCatalog), true, true));

    const Case cases[] = {
        {"FIRST", "after the byte order mark"},
        {"COMMENTED", nullptr},
        {"# COMMENTED", nullptr},
        {"INDENTED_COMMENT", nullptr},
        {"NEWLINE", "one\ntwo"},
        {"TAB", "a\tb"},
        {"BACKSLASH", "c:\\new"},
        {"OTHER_ESCAPE", "\\x and \\q stay"},
        {"TRAILING", "ends in \\"},
        {"SPACED", " kept blank"},
        {"EQUALS", "a=b"},
        {"EMPTY", ""},
        {"NO_EQUALS_SIGN", nullptr},
        {"TWICE", "second"},
        {"WIDE", "Grüße, 日本"},
        {"LAST", "no line end"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szKey);
        EXPECT_EQ(engine.HasTranslation(c.szKey), c.szExpected != nullptr);
        EXPECT_EQ(engine.FindTranslation(c.szKey), wxString::FromUTF8(c.szExpected ? c.szExpected : c.szKey));
    }
}

TEST(LocalisationCatalog, ClearFirstDropsEveryEarlierText)
{
    tcLocalisationEngine engine;
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("A.lang", "KEEP=a\nBASE=base\n"), true, true));
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("B.lang", "USER=user\n"), false, false));
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("C.lang", "NEW=c\n"), true, true));

    EXPECT_EQ(engine.FindTranslation("NEW"), "c");
    EXPECT_EQ(engine.FindTranslation("KEEP"), "KEEP");
    EXPECT_EQ(engine.FindTranslation("USER"), "USER");
}

TEST(LocalisationCatalog, UnreadableOrBrokenFileFailsAndChangesNothing)
{
    tcLocalisationEngine engine;
    ASSERT_TRUE(engine.LoadLocStrings(WriteHomeFile("Good.lang", "OK=OK\n"), true, true));

    const std::filesystem::path folder = TempHomeListener::Current() / "Folder.lang";
    std::filesystem::create_directory(folder);
    const wxString failing[] = {
        WriteHomeFile("Missing.lang", "") + ".gone",
        wxString::FromUTF8(folder.string()),
        // Latin-1 bytes in a catalog that claims to be UTF-8.
        WriteHomeFile("Latin1.lang", "OK=Gr\xFC\xDF"
                                     "e\nOTHER=x\n"),
    };
    for (const wxString& sPath : failing)
    {
        SCOPED_TRACE(sPath.utf8_string());
        EXPECT_FALSE(engine.LoadLocStrings(sPath, true, true));
        EXPECT_EQ(engine.FindTranslation("OK"), "OK");
        EXPECT_TRUE(engine.HasTranslation("OK"));
        EXPECT_FALSE(engine.HasTranslation("OTHER"));
    }
}

TEST(LocalisationCatalog, ReadersOnOtherThreadsSeeWholeTexts)
{
    tcLocalisationEngine engine;
    const wxString sFirst = WriteHomeFile("One.lang", "TITLE=first text of some length\n");
    const wxString sSecond = WriteHomeFile("Two.lang", "TITLE=second text, also rather long\n");
    ASSERT_TRUE(engine.LoadLocStrings(sFirst, true, true));

    std::atomic<bool> bStop{false};
    std::atomic<int> nBad{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i)
        readers.emplace_back(
            [&]
            {
                while (!bStop)
                {
                    const wxString s = engine.FindTranslation("TITLE");
                    if (s != "first text of some length" && s != "second text, also rather long")
                        ++nBad;
                }
            });
    for (int i = 0; i < 200; ++i)
        engine.LoadLocStrings(i % 2 ? sFirst : sSecond, true, i % 3 == 0);
    bStop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(nBad, 0);
}
