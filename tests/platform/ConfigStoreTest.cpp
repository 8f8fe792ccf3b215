#include "platform/ConfigStore.h"

#include "tests/platform/WxConsoleApp.h"
#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace
{
wxString LocalFile()
{
    return HomePath(".config/Korvendel/Lintrado.conf");
}

wxString ReadText(ConfigStore& store, const wxString& sGroup, const wxString& sKey)
{
    store.SetPath(sGroup);
    wxString sValue = L"<missing>";
    store.Read(sKey, &sValue);
    return sValue;
}

std::vector<wxString> Entries(ConfigStore& store, const wxString& sGroup)
{
    store.SetPath(sGroup);
    std::vector<wxString> asNames;
    wxString sName;
    long nCookie = 0;
    for (bool bMore = store.GetFirstEntry(sName, nCookie); bMore; bMore = store.GetNextEntry(sName, nCookie))
        asNames.push_back(sName);
    return asNames;
}
} // namespace

// The machine-wide file fills in what the user's file lacks; the user's values win, and nothing
// is ever written to the machine-wide file.
TEST(ConfigStore, MachineWideFileIsAReadOnlyFallback)
{
    const std::string sGlobal = "[Window]\nx=5\ny=7\n[Localisation]\nCatalogFile=German\n";
    const wxString sGlobalFile = WriteHomeFile("etc/xdg/Korvendel/Lintrado.conf", sGlobal);
    WriteHomeFile(".config/Korvendel/Lintrado.conf", "[Window]\nx=9\n");
    {
        ConfigStore store(LocalFile(), sGlobalFile);
        EXPECT_EQ(ReadText(store, L"/Window", L"x"), L"9");
        EXPECT_EQ(ReadText(store, L"/Window", L"y"), L"7");
        EXPECT_EQ(ReadText(store, L"/Localisation", L"CatalogFile"), L"German");
        EXPECT_EQ(Entries(store, L"/Window"), (std::vector<wxString>{L"x", L"y"}));
        EXPECT_TRUE(store.HasEntry(L"/Localisation/CatalogFile"));

        store.SetPath(L"/Window");
        store.Write(L"y", 3L);
        store.SetPath(L"/Localisation");
        store.DeleteEntry(L"CatalogFile");
        EXPECT_TRUE(store.Flush());
    }
    EXPECT_EQ(ReadBytes(sGlobalFile), sGlobal);
    const std::string sLocal = ReadBytes(LocalFile());
    EXPECT_NE(sLocal.find("y=3"), std::string::npos) << sLocal;
    EXPECT_EQ(sLocal.find("German"), std::string::npos) << sLocal;

    ConfigStore again(LocalFile(), sGlobalFile);
    EXPECT_EQ(ReadText(again, L"/Window", L"y"), L"3");
    // A deleted per-user value uncovers the machine-wide one again, as the registry does.
    EXPECT_EQ(ReadText(again, L"/Localisation", L"CatalogFile"), L"German");

    ConfigStore withoutGlobal(LocalFile(), wxString());
    EXPECT_EQ(ReadText(withoutGlobal, L"/Window", L"x"), L"9");
    EXPECT_EQ(ReadText(withoutGlobal, L"/Localisation", L"CatalogFile"), L"<missing>");
}

// Values come back exactly as written: no environment expansion, no locale in numbers, spaces
// and quotes kept; booleans are "1"/"0".
TEST(ConfigStore, ValuesSurviveAsWritten)
{
    NumericLocaleGuard guard;
    std::locale::global(WithDecimalComma(std::locale()));
    const bool bCLocaleComma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;

    const wxString asTexts[] = {L"$HOME/Projects",    L"%APPDATA%\\x", L"  leading and trailing  ",
                                L"\"quoted\"",        L"a=b;c#d",      L"\u0161\u1E45 \U0001F600",
                                L"${XDG_CONFIG_HOME}"};
    {
        ConfigStore store(LocalFile(), wxString());
        store.SetPath(L"/Projects");
        for (size_t i = 0; i < std::size(asTexts); ++i)
            store.Write(wxString::Format(L"Text%zu", i), asTexts[i]);
        store.Write(L"Double", 2.5);
        store.Write(L"Flag", true);
        store.Write(L"Negative", -42L);
        store.Flush();
    }
    const std::string sFile = ReadBytes(LocalFile());
    EXPECT_NE(sFile.find("Double=2.5\n"), std::string::npos) << sFile;
    EXPECT_NE(sFile.find("Flag=1\n"), std::string::npos) << sFile;

    ConfigStore store(LocalFile(), wxString());
    store.SetPath(L"/Projects");
    for (size_t i = 0; i < std::size(asTexts); ++i)
    {
        wxString sValue;
        EXPECT_TRUE(store.Read(wxString::Format(L"Text%zu", i), &sValue));
        EXPECT_EQ(sValue, asTexts[i]);
    }
    double dValue = 0;
    EXPECT_TRUE(store.Read(L"Double", &dValue));
    EXPECT_EQ(dValue, 2.5);
    long nValue = 0;
    EXPECT_TRUE(store.Read(L"Negative", &nValue));
    EXPECT_EQ(nValue, -42);
    if (!bCLocaleComma)
        std::printf("note: de_DE.UTF-8 is not installed; only the C++ locale had a decimal comma\n");
}

// A hand-edited file: environment references stay literal, and values that are not of the asked
// type count as missing instead of turning into 0.
TEST(ConfigStore, HandWrittenValues)
{
    WriteHomeFile(".config/Korvendel/Lintrado.conf",
                  "[Projects]\nProjectFolder=$HOME/work\n[Window]\nwidth=wide\nheight=600\nmaximized=true\n"
                  "x=2,5\nflag=maybe\n");
    ConfigStore store(LocalFile(), wxString());
    EXPECT_EQ(ReadText(store, L"/Projects", L"ProjectFolder"), L"$HOME/work");

    store.SetPath(L"/Window");
    long nValue = 7;
    EXPECT_FALSE(store.Read(L"width", &nValue));
    EXPECT_EQ(store.ReadLong(L"width", 780), 780);
    EXPECT_EQ(store.ReadLong(L"height", 585), 600);
    double dValue = 1;
    EXPECT_FALSE(store.Read(L"x", &dValue));
    EXPECT_TRUE(store.ReadBool(L"maximized", false));
    bool bValue = true;
    EXPECT_FALSE(store.Read(L"flag", &bValue));
    EXPECT_TRUE(bValue);
}

// Each thread has its own current group: a worker that writes "/Network" while the main thread
// writes "/Window" never puts a key into the other's group.
TEST(ConfigStore, GroupsArePerThread)
{
    ConfigStore store(LocalFile(), wxString());
    constexpr int kRounds = 20000;
    std::atomic<int> nReady{0};
    auto writer = [&](const wchar_t* szGroup, const wchar_t* szPrefix)
    {
        ++nReady;
        while (nReady < 2)
            std::this_thread::yield();
        for (int i = 0; i < kRounds; ++i)
        {
            store.SetPath(szGroup);
            store.Write(wxString::Format(L"%s%d", szPrefix, i % 10), long(i));
            if (store.GetPath() != szGroup)
                ADD_FAILURE() << "group moved under " << szGroup;
        }
    };
    std::thread worker(writer, L"/Network", L"n");
    writer(L"/Window", L"w");
    worker.join();

    for (const wxString& sName : Entries(store, L"/Network"))
        EXPECT_TRUE(sName.StartsWith(L"n")) << sName;
    for (const wxString& sName : Entries(store, L"/Window"))
        EXPECT_TRUE(sName.StartsWith(L"w")) << sName;
    EXPECT_EQ(Entries(store, L"/Network").size(), 10u);
    EXPECT_EQ(Entries(store, L"/").size(), 0u);
}

TEST(ConfigStore, PathsResolveLikeTheToolkit)
{
    ConfigStore store(LocalFile(), wxString());
    struct Case
    {
        const wchar_t* szFrom;
        const wchar_t* szTo;
        const wchar_t* szExpected;
    };
    const Case aCases[] = {
        {L"/", L"/UserInterface/Fonts", L"/UserInterface/Fonts"},
        {L"/UserInterface", L"Fonts", L"/UserInterface/Fonts"},
        {L"/UserInterface/Fonts", L"..", L"/UserInterface"},
        {L"/Window", L"/", L""},
    };
    for (const Case& c : aCases)
    {
        store.SetPath(c.szFrom);
        store.SetPath(c.szTo);
        EXPECT_EQ(store.GetPath(), c.szExpected) << c.szFrom << " + " << c.szTo;
    }
}

TEST(ConfigStore, DefaultFilesFollowXDG)
{
    const wxString sHome = HomePath();
    EXPECT_EQ(ConfigStore::DefaultLocalFile(), sHome + L"/.config/Korvendel/Lintrado.conf");
    setenv("XDG_CONFIG_HOME", "relative/path", 1);
    EXPECT_EQ(ConfigStore::DefaultLocalFile(), sHome + L"/.config/Korvendel/Lintrado.conf");

    unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(ConfigStore::DefaultGlobalFile(), L"/etc/xdg/Korvendel/Lintrado.conf");
    setenv("XDG_CONFIG_DIRS", "/opt/site/xdg:/etc/xdg", 1);
    EXPECT_EQ(ConfigStore::DefaultGlobalFile(), L"/opt/site/xdg/Korvendel/Lintrado.conf");
    unsetenv("XDG_CONFIG_DIRS");
}

// The per-user folder does not exist on a first run: the first flush makes it.
TEST(ConfigStore, FirstFlushCreatesTheFolder)
{
    const wxString sFile = HomePath("fresh/deeper/Lintrado.conf");
    ConfigStore store(sFile, wxString());
    store.SetPath(L"/App");
    store.Write(L"NoSplash", 1L);
    EXPECT_TRUE(store.Flush());
    EXPECT_NE(ReadBytes(sFile).find("NoSplash=1"), std::string::npos);
}
