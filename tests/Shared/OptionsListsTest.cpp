#include "Shared/Options.h"

#include "tests/Shared/OptionsFixture.h"
#include "tests/harness/AssertRecorder.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tPath.h"

#include <filesystem>
#include <string>
#include <vector>

namespace
{
// Builds shortcut files byte by byte, so tests can damage them on purpose.
class ShortcutFile
{
public:
    explicit ShortcutFile(uint32_t nCount, uint32_t nMagic = 0xFAFBFCFD, uint32_t nVersion = 1)
    {
        U32(nMagic).U32(nVersion).U32(nCount);
    }

    ShortcutFile& U32(uint32_t n)
    {
        for (int i = 0; i < 4; ++i)
            m_sBytes.push_back(char((n >> (8 * i)) & 0xFF));
        return *this;
    }
    ShortcutFile& Text(const std::u16string& sText)
    {
        U32(uint32_t(sText.size()));
        for (char16_t c : sText)
            m_sBytes.append({char(c & 0xFF), char(c >> 8)});
        return *this;
    }
    ShortcutFile& Entry(uint32_t nKeyCode, const std::u16string& sText, uint32_t nFlags)
    {
        return U32(nKeyCode).Text(sText).U32(nFlags);
    }
    ShortcutFile& Cut(size_t nBytes)
    {
        m_sBytes.resize(m_sBytes.size() - nBytes);
        return *this;
    }
    const std::string& Bytes() const { return m_sBytes; }

private:
    std::string m_sBytes;
};

// A shortcut as "code:text:flags" with flags as "CAS" letters, for readable comparisons.
std::vector<std::string> Describe(const std::vector<CKeyboardShortcut>& aShortcuts)
{
    std::vector<std::string> asOut;
    for (const CKeyboardShortcut& s : aShortcuts)
        asOut.push_back(std::to_string(s.nKeyCode) + ":" + s.sText.utf8_string() + ":" + (s.bCtrl ? "C" : "") +
                        (s.bAlt ? "A" : "") + (s.bShift ? "S" : ""));
    return asOut;
}

std::string ConfigEntries(const std::vector<std::tuple<long, std::string, long>>& aEntries, long nCount)
{
    std::string s = "[Keyboard]\nEntries=" + std::to_string(nCount) + "\n";
    for (size_t i = 0; i < aEntries.size(); ++i)
    {
        const std::string sPrefix = "Entry" + std::to_string(i);
        s += sPrefix + "KeyCode=" + std::to_string(std::get<0>(aEntries[i])) + "\n";
        s += sPrefix + "Text=" + std::get<1>(aEntries[i]) + "\n";
        s += sPrefix + "Flags=" + std::to_string(std::get<2>(aEntries[i])) + "\n";
    }
    return s;
}

bool FontInstalledForTest(const wxString& sFace)
{
    return sFace == L"DejaVu Sans" || sFace == L"Arial Unicode MS";
}
} // namespace

using ShortcutFiles = OptionsFixture;

// Damaged files never add invented entries: a wrong header leaves the list as it was, a file
// that ends early yields the entries read completely.
TEST_F(ShortcutFiles, Fixtures)
{
    std::vector<std::string> aValid;
    ShortcutFile many(1000);
    for (uint32_t n = 1; n <= 300; ++n)
        many.Entry(n, u"x", 0);
    for (uint32_t n = 1; n <= 256; ++n)
        aValid.push_back(std::to_string(n) + ":x:");

    struct Case
    {
        const char* szName;
        std::string sBytes;
        bool bResult;
        std::vector<std::string> asExpected;
    };
    const std::vector<std::string> asUnchanged = {"1:before:"};
    const Case aCases[] = {
        {"valid",
         ShortcutFile(3)
             .Entry(348, u"\u0161", 0)
             .Entry(79, u"\U0001D11E", 1 | 4 | 0xF8) // bits above the three modifiers are ignored
             .Entry(65, u"", 2)
             .Bytes(),
         true,
         {"348:\u0161:", "79:\U0001D11E:CS", "65::A"}},
        {"later duplicate wins", ShortcutFile(2).Entry(79, u"a", 1).Entry(79, u"b", 1).Bytes(), true, {"79:b:C"}},
        {"no entries", ShortcutFile(0).Bytes(), true, {}},
        {"bad magic", ShortcutFile(1, 0xFAFBFCFE).Entry(79, u"a", 1).Bytes(), false, asUnchanged},
        {"version 2", ShortcutFile(1, 0xFAFBFCFD, 2).Entry(79, u"a", 1).Bytes(), false, asUnchanged},
        {"header cut short", ShortcutFile(1).Cut(2).Bytes(), false, asUnchanged},
        {"empty file", std::string(), false, asUnchanged},
        {"count over 256", many.Bytes(), true, aValid},
        {"count beyond the entries",
         ShortcutFile(5).Entry(68, u"d", 0).Entry(69, u"e", 4).U32(70).Bytes(),
         true,
         {"68:d:", "69:e:S"}},
        {"flags cut short", ShortcutFile(2).Entry(68, u"d", 0).Entry(69, u"e", 4).Cut(1).Bytes(), true, {"68:d:"}},
        {"string length past the end",
         ShortcutFile(2).Entry(68, u"d", 0).U32(69).U32(0x7FFFFFFF).U32(0x00410041).U32(0).Bytes(),
         true,
         {"68:d:"}},
        {"string length one unit too long", ShortcutFile(1).U32(69).U32(3).U32(0x00410041).Bytes(), true, {}},
    };
    for (const Case& c : aCases)
    {
        const wxString sPath = WriteHomeFile("keys.vrkeys", c.sBytes);
        g_Options.m_aKeyboardShortcuts.clear();
        g_Options.AddShortcut(1, L"before", false, false, false);
        EXPECT_EQ(g_Options.LoadKeyboardSettings(sPath, true), c.bResult) << c.szName;
        EXPECT_EQ(Describe(g_Options.m_aKeyboardShortcuts), c.asExpected) << c.szName;
    }

    EXPECT_FALSE(g_Options.LoadKeyboardSettings(HomePath("missing.vrkeys"), true));
    EXPECT_FALSE(g_Options.LoadKeyboardSettings(HomePath(), true));

    // Without the clear flag the file's entries join the list.
    const wxString sPath = WriteHomeFile("keys.vrkeys", ShortcutFile(2).Entry(1, u"new", 0).Entry(2, u"b", 0).Bytes());
    EXPECT_TRUE(g_Options.LoadKeyboardSettings(sPath, false));
    EXPECT_EQ(Describe(g_Options.m_aKeyboardShortcuts), (std::vector<std::string>{"1:new:", "2:b:"}));
}

TEST_F(ShortcutFiles, StoreThenFileThenBuiltins)
{
    std::vector<std::tuple<long, std::string, long>> aMany;
    for (long n = 1; n <= 300; ++n)
        aMany.emplace_back(n, "t", 0);
    const std::string sFile = ShortcutFile(1).Entry(120, u"file", 2).Bytes();
    const std::string sBadFile = ShortcutFile(1, 0).Entry(120, u"file", 2).Bytes();

    struct Case
    {
        const char* szName;
        std::string sConfig;
        const std::string* pFile; // the shortcut file in the application folder, if any
        size_t nExpected;
        std::vector<std::string> asFirst; // the first entries expected
    };
    const Case aCases[] = {
        {"300 entries", ConfigEntries(aMany, 300), nullptr, 256, {"1:t:", "2:t:"}},
        {"count 0 with a file", ConfigEntries({{5, "s", 0}}, 0), &sFile, 1, {"120:file:A"}},
        {"no count with a file", "", &sFile, 1, {"120:file:A"}},
        {"no count, damaged file", "", &sBadFile, 16, {"348:\u0161:"}},
        {"nothing anywhere", "", nullptr, 16, {"348:\u0161:", "348:\u0160:S", "79:\u00F4:C", "79:\u00D4:CS"}},
        {"key codes 0 and below skipped",
         ConfigEntries({{0, "a", 0}, {-1, "b", 0}, {84, "c", 5}}, 3),
         &sFile,
         1,
         {"84:c:CS"}},
        {"later duplicate wins",
         ConfigEntries({{84, "a", 1}, {85, "b", 0}, {84, "c", 1}}, 3),
         nullptr,
         2,
         {"84:c:C", "85:b:"}},
        {"all skipped stays empty", ConfigEntries({{0, "a", 0}}, 1), &sFile, 0, {}},
        {"count above the entries", ConfigEntries({{70, "x", 0}}, 3), nullptr, 1, {"70:x:"}},
    };
    for (const Case& c : aCases)
    {
        std::filesystem::remove(TempHomeListener::Current() / "app/Cfg_KeyboardShortcuts.vrkeys");
        if (c.pFile)
            WriteHomeFile("app/Cfg_KeyboardShortcuts.vrkeys", *c.pFile);
        StartWith(c.sConfig);
        g_Options.AddShortcut(999, L"stale", false, false, false);
        EXPECT_TRUE(g_Options.LoadKeyboardSettingsFromConfig());
        const std::vector<std::string> asGot = Describe(g_Options.m_aKeyboardShortcuts);
        EXPECT_EQ(asGot.size(), c.nExpected) << c.szName;
        for (size_t i = 0; i < c.asFirst.size() && i < asGot.size(); ++i)
            EXPECT_EQ(asGot[i], c.asFirst[i]) << c.szName;
    }
}

TEST_F(ShortcutFiles, BuiltinsRoundTripThroughTheStore)
{
    g_Options.LoadDefaultKeyboardShortcuts();
    const std::vector<std::string> asBuiltins = Describe(g_Options.m_aKeyboardShortcuts);
    ASSERT_EQ(asBuiltins.size(), 16u); // every combination distinct
    EXPECT_EQ(asBuiltins.back(), "84:\u1E70:CS");

    EXPECT_TRUE(g_Options.SaveKeyboardSettingsToConfig());
    EXPECT_EQ(Stored(L"/Keyboard", L"Entry1KeyCode"), L"348");
    EXPECT_EQ(Stored(L"/Keyboard", L"Entry1Text"), L"\u0160");
    EXPECT_EQ(Stored(L"/Keyboard", L"Entry1Flags"), L"4");
    EXPECT_EQ(Stored(L"/Keyboard", L"Entry3Flags"), L"5");

    g_Options.m_aKeyboardShortcuts.clear();
    OpenStore();
    g_Options.LoadKeyboardSettingsFromConfig();
    EXPECT_EQ(Describe(g_Options.m_aKeyboardShortcuts), asBuiltins);
}

// ---- font items --------------------------------------------------------------------------------

using FontItems = OptionsFixture;

TEST_F(FontItems, SaveLoadRoundTrip)
{
    tSetFontExistsCheck(&FontInstalledForTest);
    LoadOptions();
    ASSERT_EQ(g_Options.m_aUIItems.size(), 3u);
    EXPECT_EQ(g_Options.m_aUIItems[0].sFont, L"Arial Unicode MS");
    EXPECT_EQ(g_Options.m_aUIItems[1].sName, L"USERINTERFACE_ITEM_TREE"); // no catalog loaded: the key
    EXPECT_EQ(g_Options.m_aUIItems[2].fSize, 0.0f);
    tGUID extra;
    ASSERT_TRUE(tStringToGUID(L"0123456789ABCDEF0123456789ABCDEF", extra));
    g_Options.SetUIItem(g_Options.m_aUIItems[1].id, L"DejaVu Sans", 11.5f);
    g_Options.SetUIItem(extra, wxString(), 7.25f);
    SaveOptions();

    EXPECT_EQ(Stored(L"/UserInterface/Fonts", L"Entries"), L"4");
    EXPECT_EQ(Stored(L"/UserInterface/Fonts", L"Entry1ID"), L"825E9258FFF043A287C01A01B61D1181");
    EXPECT_EQ(Stored(L"/UserInterface/Fonts", L"Entry1Font"), L"DejaVu Sans");
    EXPECT_EQ(Stored(L"/UserInterface/Fonts", L"Entry1Size"), L"11.500000");

    const std::vector<CUIFontItem> aSaved = g_Options.m_aUIItems;
    OpenStore();
    g_Options = COptions();
    LoadOptions();
    ASSERT_EQ(g_Options.m_aUIItems.size(), aSaved.size());
    for (size_t i = 0; i < aSaved.size(); ++i)
    {
        EXPECT_EQ(g_Options.m_aUIItems[i].id, aSaved[i].id) << i;
        EXPECT_EQ(g_Options.m_aUIItems[i].sGroup, aSaved[i].sGroup) << i;
        EXPECT_EQ(g_Options.m_aUIItems[i].sName, aSaved[i].sName) << i;
        EXPECT_EQ(g_Options.m_aUIItems[i].sFont, aSaved[i].sFont) << i;
        EXPECT_EQ(g_Options.m_aUIItems[i].fSize, aSaved[i].fSize) << i;
    }
}

TEST_F(FontItems, StoredEntries)
{
    struct Case
    {
        const char* szName;
        std::string sID;
        std::string sFont;
        std::string sSize;
        bool bFontCheck;
        const wchar_t* szGroup; // null: the entry is skipped
        const wchar_t* szFont;
        float fSize;
    };
    const std::string sTree = "825E9258FFF043A287C01A01B61D1181";
    const Case aCases[] = {
        {"known item", sTree, "DejaVu Sans", "12.000000", true, L"USERINTERFACE_ITEM_SECTIONWINDOW", L"DejaVu Sans",
         12},
        {"face not installed", sTree, "Comic Neue", "10.5", true, L"USERINTERFACE_ITEM_SECTIONWINDOW", L"", 10.5f},
        {"no check installed", sTree, "Comic Neue", "10.5", false, L"USERINTERFACE_ITEM_SECTIONWINDOW", L"Comic Neue",
         10.5f},
        {"lower-case digits", "825e9258fff043a287c01a01b61d1181", "", "8", true, L"USERINTERFACE_ITEM_SECTIONWINDOW",
         L"", 8},
        {"unknown item", "00112233445566778899AABBCCDDEEFF", "DejaVu Sans", "9", true, L"?", L"DejaVu Sans", 9},
        {"31 digits", sTree.substr(1), "DejaVu Sans", "9", true, nullptr, nullptr, 0},
        {"dashed form", "825E9258-FFF0-43A2-87C0-1A01B61D1181", "DejaVu Sans", "9", true, nullptr, nullptr, 0},
        {"32 characters, not hexadecimal", "825E9258FFF043A287C01A01B61D118G", "DejaVu Sans", "9", true, nullptr,
         nullptr, 0},
        {"size not a number", sTree, "DejaVu Sans", "big", true, L"USERINTERFACE_ITEM_SECTIONWINDOW", L"DejaVu Sans",
         0},
    };
    for (const Case& c : aCases)
    {
        tSetFontExistsCheck(c.bFontCheck ? &FontInstalledForTest : nullptr);
        StartWith("[UserInterface/Fonts]\nEntries=1\nEntry0ID=" + c.sID + "\nEntry0Font=" + c.sFont +
                  "\nEntry0Size=" + c.sSize + "\n");
        g_Options.ClearUIItems();
        g_Options.AddDefaultUIItems(L"Arial");
        g_Options.LoadFontSettings();
        if (!c.szGroup)
        {
            EXPECT_EQ(g_Options.m_aUIItems.size(), 3u) << c.szName;
            EXPECT_EQ(g_Options.m_aUIItems[1].fSize, 9.0f) << c.szName;
            continue;
        }
        const CUIFontItem& item = wxString(c.szGroup) == L"?" ? g_Options.m_aUIItems.back() : g_Options.m_aUIItems[1];
        EXPECT_EQ(g_Options.m_aUIItems.size(), wxString(c.szGroup) == L"?" ? 4u : 3u) << c.szName;
        EXPECT_EQ(item.sGroup, c.szGroup) << c.szName;
        EXPECT_EQ(item.sFont, c.szFont) << c.szName;
        EXPECT_EQ(item.fSize, c.fSize) << c.szName;
    }
}

TEST_F(FontItems, DefaultFaceAndMissingName)
{
    tcLogCapture log;
    LoadOptions(); // no font check installed
    EXPECT_EQ(g_Options.m_aUIItems[0].sFont, L"Arial");
    EXPECT_TRUE(log.Contains(L"Default UI font: Arial"));

    AssertRecorder asserts;
    g_Options.AddUIItem(tGUID(), L"group", nullptr, L"", 0);
    EXPECT_EQ(asserts.asExpressions, (std::vector<std::string>{"szName"}));
    EXPECT_EQ(g_Options.m_aUIItems.back().sName, L"");
    EXPECT_EQ(g_Options.m_aUIItems.back().sGroup, L"group");
}

// ---- replace-as-you-type files ------------------------------------------------------------------

using ReplaceLists = OptionsFixture;

TEST_F(ReplaceLists, Lines)
{
    struct Case
    {
        const char* szLine;
        const wchar_t* szKey; // null: the line adds nothing
        const wchar_t* szReplacement;
        const wchar_t* szDescription;
        bool bLettersOnly;
    };
    const Case aCases[] = {
        {"teh,the", L"teh", L"the", L"", true},
        {"a,b,c", L"a,b", L"c", L"", false},
        {"1/2,\xC2\xBD", L"1/2", L"\u00BD", L"vulgar fraction one half", false},
        {"x,y    // a note, with a comma", L"x", L"y", L" a note, with a comma", true},
        {"it's; ok,fine", L"it's; ok", L"fine", L"", true},
        {" sp , ace ", L" sp ", L" ace ", L"", true},
        {"g,\xF0\x9D\x84\x9E", L"g", L"\U0001D11E", L"musical symbol g clef", true},
        {"oe,\xC5\x93\xC5\x93", L"oe", L"\u0153\u0153", L"", true},
        {"e,\xC3\xA9    //", L"e", L"\u00E9", L"latin small letter e with acute", true},
        {"k,v   //three spaces", L"k", L"v   //three spaces", L"", true},
        {"q,-", L"q", L"-", L"", true},
        {"nb,\xC2\xA0", L"nb", L"\u00A0", L"no-break space", true},
        {"no comma here", nullptr, nullptr, nullptr, false},
        {"abc    // only a comment, here", nullptr, nullptr, nullptr, false},
        {",", L"", L"", L"", true},
        {"caf\xC3\xA9,cafe", L"caf\u00E9", L"cafe", L"", false},
    };
    for (const Case& c : aCases)
    {
        const wxString sPath = WriteHomeFile("line.rayt", std::string(c.szLine) + "\n");
        g_Options.m_aRAYTEntries.clear();
        g_Options.LoadRAYTFile(sPath);
        if (!c.szKey)
        {
            EXPECT_TRUE(g_Options.m_aRAYTEntries.empty()) << c.szLine;
            continue;
        }
        ASSERT_EQ(g_Options.m_aRAYTEntries.size(), 1u) << c.szLine;
        const CRAYTEntry& e = g_Options.m_aRAYTEntries[0];
        EXPECT_EQ(e.sKey, c.szKey) << c.szLine;
        EXPECT_EQ(e.sReplacement, c.szReplacement) << c.szLine;
        EXPECT_EQ(e.sDescription, c.szDescription) << c.szLine;
        EXPECT_EQ(e.bLettersOnly, c.bLettersOnly) << c.szLine;
    }
}

// Files load in the documented order; a section belongs to its own file, and a file that cannot
// be read is logged without stopping the others.
TEST_F(ReplaceLists, SearchOrderAndSections)
{
    namespace fs = std::filesystem;
    const fs::path docs = fs::path(GetDefaultAppDocumentsFolder().utf8_string());
    const fs::path home = TempHomeListener::Current();
    WriteBytes(home / "app/Data/b.rayt", "[Greek]\nb,1\n");
    WriteBytes(home / "app/Data/a.rayt", "a,1\n");
    WriteBytes(home / "app/Data/skip.txt", "skip,1\n");
    WriteBytes(home / "app/Data/chardata/replace/z.txt", "crtxt,1\n");
    WriteBytes(home / "app/Data/chardata/replace/y.rayt", "cr,1\n");
    WriteBytes(home / "app/Data/chardata/replace/UPPER.TXT", "upper,1\n");
    WriteBytes(docs / "custom-replace/m.txt", "customtxt,1\n");
    WriteBytes(docs / "custom-replace/n.rayt", "\xEF\xBB\xBF[Mine]\ncustom,1\n");
    WriteBytes(home / "app/c.rayt", "app,1\n");
    fs::create_symlink(home / "nowhere", home / "app/Data/broken.rayt");

    tcLogCapture log;
    g_Options.m_aRAYTEntries.push_back({L"stale", L"", L"", false, L""});
    g_Options.LoadRAYTFiles();
    std::vector<std::string> asGot;
    for (const CRAYTEntry& e : g_Options.m_aRAYTEntries)
        asGot.push_back(e.sKey.utf8_string() + "@" + e.sSection.utf8_string());
    EXPECT_EQ(asGot, (std::vector<std::string>{"a@", "b@Greek", "cr@", "crtxt@", "custom@Mine", "customtxt@", "app@"}));
    EXPECT_TRUE(log.Contains(L"Failed to open replace-as-you-type file " + HomePath("app/Data/broken.rayt")));
    EXPECT_TRUE(log.Contains(L"Loading replace-as-you-type file: \"" + HomePath("app/c.rayt") + L"\""));
}
