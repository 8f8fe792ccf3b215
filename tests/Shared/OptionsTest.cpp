#include "Shared/Options.h"

#include "tests/Shared/OptionsFixture.h"
#include "varnak/include/tPath.h"

#include <atomic>
#include <thread>

using OptionsStore = OptionsFixture;

TEST_F(OptionsStore, BackupIntervalBounds)
{
    struct Case
    {
        const char* szStored; // null: no key
        int nExpected;
    };
    const Case aCases[] = {{"59", 3600},    {"60", 60},    {"86400", 86400}, {"86401", 3600},
                           {nullptr, 3600}, {"-60", 3600}, {"900", 900},     {"soon", 3600}};
    for (const Case& c : aCases)
    {
        StartWith(c.szStored ? std::string("[Backups]\nAutomaticBackupInterval=") + c.szStored + "\n" : std::string());
        g_Options.m_nAutomaticBackupInterval = 1;
        LoadOptions();
        EXPECT_EQ(g_Options.m_nAutomaticBackupInterval, c.nExpected) << (c.szStored ? c.szStored : "missing");
    }
}

// An empty store gives the documented defaults, and the next save writes every flag and backup key.
TEST_F(OptionsStore, FirstRunDefaultsAndSave)
{
    LoadOptions();
    const COptions& opt = g_Options;
    EXPECT_TRUE(opt.m_bUnderlineLinks);
    EXPECT_TRUE(opt.m_bPreviewAllStyleSets);
    EXPECT_TRUE(opt.m_bHighlightSelected);
    EXPECT_TRUE(opt.m_bClickToSelect);
    EXPECT_TRUE(opt.m_bUseColoursInAttributesWindow);
    EXPECT_FALSE(opt.m_bWideToolsWindow);
    EXPECT_FALSE(opt.m_bTreeViewDragAndDrop);
    EXPECT_FALSE(opt.m_bPreviewSelectedOnly);
    EXPECT_FALSE(opt.m_bPreviewSelectedSubtree);
    EXPECT_TRUE(opt.m_bDoAutomaticBackups);
    EXPECT_TRUE(opt.m_bEnableRAYT);
    EXPECT_EQ(opt.m_sProjectFolder, Documents());
    EXPECT_EQ(opt.m_sBackupFolder, tPathCombine(Documents(), L"Backups"));
    EXPECT_EQ(opt.m_aKeyboardShortcuts.size(), 16u);
    EXPECT_EQ(opt.m_aUIItems.size(), 3u);

    SaveOptions();
    tDeleteConfigStore();
    for (const wchar_t* szKey :
         {L"UseColoursInAttributesWindow", L"WideToolsWindow", L"TreeViewDragAndDrop", L"PreviewSelectedOnly",
          L"PreviewSelectedSubtree", L"UnderlineLinks", L"PreviewAllStyleSets", L"HighlightSelected", L"ClickToSelect"})
        EXPECT_NE(Stored(L"/UserInterface", szKey), L"<missing>") << szKey;
    EXPECT_EQ(Stored(L"/UserInterface", L"UnderlineLinks"), L"1");
    EXPECT_EQ(Stored(L"/UserInterface", L"WideToolsWindow"), L"0");
    EXPECT_EQ(Stored(L"/Backups", L"BackupFolder"), tPathCombine(Documents(), L"Backups"));
    EXPECT_EQ(Stored(L"/Backups", L"DoAutomaticBackups"), L"1");
    EXPECT_EQ(Stored(L"/Backups", L"AutomaticBackupInterval"), L"3600");
    EXPECT_EQ(Stored(L"/Projects", L"ProjectFolder"), Documents());
    EXPECT_EQ(Stored(L"/ReplaceAsYouType", L"EnableRAYT"), L"1");
    EXPECT_EQ(Stored(L"/Keyboard", L"Entries"), L"16");
    EXPECT_EQ(Stored(L"/UserInterface/Fonts", L"Entries"), L"3");
}

// Every value the user can change comes back after a save and a restart; the preview-subtree
// flag alone is reset on every start.
TEST_F(OptionsStore, SaveLoadRoundTrip)
{
    COptions& opt = g_Options;
    LoadOptions();
    opt.m_sProjectFolder = L"$HOME/Projects %USER% \u0161";
    opt.m_sBackupFolder = L"/srv/backups";
    opt.m_nAutomaticBackupInterval = 86400;
    opt.m_bDoAutomaticBackups = false;
    opt.m_bEnableRAYT = false;
    opt.m_bUseColoursInAttributesWindow = false;
    opt.m_bWideToolsWindow = true;
    opt.m_bTreeViewDragAndDrop = true;
    opt.m_bPreviewSelectedOnly = true;
    opt.m_bPreviewSelectedSubtree = true;
    opt.m_bUnderlineLinks = false;
    opt.m_bPreviewAllStyleSets = false;
    opt.m_bHighlightSelected = false;
    opt.m_bClickToSelect = false;
    SaveOptions();
    OpenStore();

    g_Options = COptions();
    LoadOptions();
    EXPECT_EQ(opt.m_sProjectFolder, L"$HOME/Projects %USER% \u0161");
    EXPECT_EQ(opt.m_sBackupFolder, L"/srv/backups");
    EXPECT_EQ(opt.m_nAutomaticBackupInterval, 86400);
    EXPECT_FALSE(opt.m_bDoAutomaticBackups);
    EXPECT_FALSE(opt.m_bEnableRAYT);
    EXPECT_FALSE(opt.m_bUseColoursInAttributesWindow);
    EXPECT_TRUE(opt.m_bWideToolsWindow);
    EXPECT_TRUE(opt.m_bTreeViewDragAndDrop);
    EXPECT_TRUE(opt.m_bPreviewSelectedOnly);
    EXPECT_FALSE(opt.m_bPreviewSelectedSubtree);
    EXPECT_FALSE(opt.m_bUnderlineLinks);
    EXPECT_FALSE(opt.m_bPreviewAllStyleSets);
    EXPECT_FALSE(opt.m_bHighlightSelected);
    EXPECT_FALSE(opt.m_bClickToSelect);
}

TEST_F(OptionsStore, EmptyFoldersMeanTheDocumentsFolder)
{
    ASSERT_FALSE(Documents().empty());
    StartWith("[Projects]\nProjectFolder=\n[Backups]\nBackupFolder=\n");
    LoadOptions();
    EXPECT_EQ(g_Options.m_sProjectFolder, Documents());
    EXPECT_EQ(g_Options.m_sBackupFolder, Documents() + L"/Backups");

    // The application may name a sub-folder of the documents folder.
    tGetAppProperties()->SetString(wxString(), L"DefaultUserDocumentsFolder", L"Lintrado");
    EXPECT_EQ(GetDefaultAppDocumentsFolder(), Documents() + L"/Lintrado");
    LoadOptions();
    EXPECT_EQ(g_Options.m_sProjectFolder, Documents() + L"/Lintrado");
    EXPECT_EQ(g_Options.m_sBackupFolder, Documents() + L"/Lintrado/Backups");
}

// Values only in the machine-wide file count as the user's until the user changes them; saving
// writes the user's file only.
TEST_F(OptionsStore, MachineWideDefaults)
{
    tDeleteConfigStore();
    const std::string sGlobal = "[Backups]\nAutomaticBackupInterval=600\nBackupFolder=/mnt/site\n"
                                "[UserInterface]\nClickToSelect=0\n";
    WriteHomeFile("etc/Korvendel/Lintrado.conf", sGlobal);
    WriteHomeFile(".config/Korvendel/Lintrado.conf", "[UserInterface]\nClickToSelect=1\n");
    OpenStore();
    LoadOptions();
    EXPECT_EQ(g_Options.m_nAutomaticBackupInterval, 600);
    EXPECT_EQ(g_Options.m_sBackupFolder, L"/mnt/site");
    EXPECT_TRUE(g_Options.m_bClickToSelect);

    g_Options.m_nAutomaticBackupInterval = 120;
    SaveOptions();
    tDeleteConfigStore();
    EXPECT_EQ(ReadBytes(GlobalFile()), sGlobal);
    EXPECT_EQ(Stored(L"/Backups", L"AutomaticBackupInterval"), L"120");
}

TEST_F(OptionsStore, NoStoreLeavesEverythingAlone)
{
    tDeleteConfigStore();
    g_Options.m_sProjectFolder = L"kept";
    LoadOptions();
    SaveOptions();
    EXPECT_EQ(g_Options.m_sProjectFolder, L"kept");
    EXPECT_TRUE(g_Options.m_aKeyboardShortcuts.empty());
    EXPECT_FALSE(wxFileExists(LocalFile()));
}

// ---- tcOptions -------------------------------------------------------------------------------

using OptionProperties = OptionsFixture;

TEST_F(OptionProperties, DeclarationTakesTheStoredValueOrStoresTheDefault)
{
    StartWith("[Network]\nProxy=proxy.local\nRetries=7\nEnabled=0\nTimeout=2.5\n[App/FaultReports]\nAsk=1\n");
    tcOptions options;
    struct Case
    {
        teVarType eType;
        const wchar_t* szPath;
        const wchar_t* szName;
        const wchar_t* szDefault;
        const wchar_t* szValue;  // the property's value after the declaration
        const wchar_t* szStored; // what the file holds afterwards
    };
    const Case aCases[] = {
        {tTYPE_STRING, L"/Network", L"Proxy", L"", L"proxy.local", L"proxy.local"},
        {tTYPE_INTEGER, L"/Network", L"Retries", L"3", L"7", L"7"},
        {tTYPE_BOOL, L"/Network", L"Enabled", L"1", L"false", L"0"},
        {tTYPE_DOUBLE, L"/Network", L"Timeout", L"1", L"2.500000", L"2.5"},
        {tTYPE_BOOL, L"/App/FaultReports", L"Ask", L"0", L"true", L"1"},
        {tTYPE_STRING, L"/Network", L"User", L"$USER", L"$USER", L"$USER"},
        {tTYPE_INTEGER, L"/Network", L"Port", L"8080", L"8080", L"8080"},
        {tTYPE_BOOL, L"/Network", L"UseProxy", L"true", L"true", L"1"},
        {tTYPE_DOUBLE, L"/Network", L"Backoff", L"0.25", L"0.25", L"0.25"},
        // A group written without the leading "/" still means the absolute group.
        {tTYPE_STRING, L"Settings", L"Theme", L"dark", L"dark", L"dark"},
    };
    for (const Case& c : aCases)
    {
        const int nIndex = options.AddProperty(c.eType, c.szPath, c.szName, c.szDefault);
        EXPECT_EQ(options.GetPropertyValue(nIndex), c.szValue) << c.szName;
    }
    // Defaults reach the file at once, not only at shutdown.
    for (const Case& c : aCases)
    {
        wxString sGroup = c.szPath;
        if (!sGroup.StartsWith(L"/"))
            sGroup = L"/" + sGroup;
        EXPECT_EQ(Stored(sGroup, c.szName), c.szStored) << c.szName;
    }
    EXPECT_FALSE(options.GetBool(L"/Network", L"Enabled", true));
    EXPECT_EQ(options.GetInt(L"/Network", L"Retries", 0), 7);
}

TEST_F(OptionProperties, ChangesAreWrittenThrough)
{
    tcOptions options;
    const int nBool = options.AddProperty(tTYPE_BOOL, L"/Network", L"Enabled", L"0");
    const int nInt = options.AddProperty(tTYPE_INTEGER, L"/Network", L"Retries", L"3");
    const int nText = options.AddProperty(tTYPE_STRING, L"/Network", L"Proxy", L"");
    const int nDouble = options.AddProperty(tTYPE_DOUBLE, L"/Network", L"Timeout", L"1");

    options.SetPropertyValue(nBool, L"yes");
    options.SetPropertyValue(nInt, L"12");
    options.SetPropertyValue(nText, L"http://proxy:3128");
    options.SetPropertyValue(nDouble, L"0.125");
    options.SetBool(L"/Network", L"Enabled", false);
    EXPECT_EQ(Stored(L"/Network", L"Enabled"), L"0");
    EXPECT_EQ(Stored(L"/Network", L"Retries"), L"12");
    EXPECT_EQ(Stored(L"/Network", L"Proxy"), L"http://proxy:3128");
    EXPECT_EQ(Stored(L"/Network", L"Timeout"), L"0.125");

    // The next run sees the changed values.
    OpenStore();
    tcOptions next;
    EXPECT_EQ(next.GetPropertyValue(next.AddProperty(tTYPE_INTEGER, L"/Network", L"Retries", L"3")), L"12");
}

// The network layer changes its options from a worker thread while the main thread uses the store.
TEST_F(OptionProperties, WorkerWritesLandInTheirGroup)
{
    tcOptions options;
    const int nIndex = options.AddProperty(tTYPE_INTEGER, L"/Network", L"LastSent", L"0");
    std::atomic<bool> bDone{false};
    std::thread worker(
        [&]
        {
            for (int i = 1; i <= 500; ++i)
                options.SetPropertyValue(nIndex, wxString::Format(L"%d", i));
            bDone = true;
        });
    for (long i = 0; !bDone; ++i)
    {
        g_pConfig->SetPath(L"/Window");
        g_pConfig->Write(L"x", i);
    }
    worker.join();
    EXPECT_EQ(Stored(L"/Network", L"LastSent"), L"500");
    EXPECT_EQ(Stored(L"/Window", L"LastSent"), L"<missing>");
    EXPECT_EQ(Stored(L"/Network", L"x"), L"<missing>");
}

TEST_F(OptionProperties, WithoutAStoreValuesStayInMemory)
{
    tDeleteConfigStore();
    tcOptions options;
    const int nIndex = options.AddProperty(tTYPE_STRING, L"/Network", L"Proxy", L"none");
    EXPECT_EQ(options.GetPropertyValue(nIndex), L"none");
    EXPECT_TRUE(options.SetPropertyValue(nIndex, L"other"));
    EXPECT_EQ(options.GetString(L"/Network", L"Proxy", wxString()), L"other");
    EXPECT_FALSE(wxFileExists(LocalFile()));
}
