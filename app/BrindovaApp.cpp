#include "app/BrindovaApp.h"

#include "Shared/ErrorBoundary.h"
#include "Shared/Internet.h"
#include "Shared/Options.h"
#include "app/AppPaths.h"
#include "app/AssertHandlerApp.h"
#include "app/BrindovaFrame.h"
#include "app/FatalReport.h"
#include "app/ProgramServices.h"
#include "app/StartupScripts.h"
#include "app/SystemInfoBlock.h"
#include "app/WindowGeometry.h"
#include "app/WxUserPrompts.h"
#include "net/ErrorReportSender.h"
#include "platform/OfficeSettingsLock.h"
#include "script/LuaBindings.h"
#include "script/tolua.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/kvLogWx.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tSystem.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcThreads.h"

#include <wx/bitmap.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/snglinst.h>
#include <wx/splash.h>
#include <wx/stdpaths.h>
#include <wx/timer.h>
#include <wx/utils.h>

extern "C"
{
#include <lauxlib.h>
}

#include <algorithm>
#include <csignal>
#include <cstdlib>

namespace
{
const char* const kTestAutoCloseVariable = "LINTRADO_TEST_AUTOCLOSE";

// Milliseconds of the test hook; -1 when it is not set.
long TestAutoCloseDelay()
{
    const char* szValue = std::getenv(kTestAutoCloseVariable);
    long nMillis = 0;
    if (!szValue || !wxString(szValue).ToLong(&nMillis) || nMillis < 0)
        return -1;
    return nMillis;
}

// The test hook of the fault report: "segv" makes the program fault once it runs, "hang" also
// makes the report handler hang, with its alarm shortened to one second.
const char* const kTestFaultVariable = "LINTRADO_TEST_FAULT";
} // namespace

BrindovaApp::BrindovaApp()
{
    wxHandleFatalExceptions(true);
    tcThreads::SetMainThread();
    OpenScriptBindings();

    SetVendorName("Korvendel");
    SetAppName("Lintrado");
    tApp()->SetAppName("Lintrado");

    // The XDG layout keeps the toolkit's own files out of ~/.Lintrado; the log goes to the XDG
    // data folder for the same reason.
    wxStandardPaths& stdPaths = wxStandardPaths::Get();
    stdPaths.SetFileLayout(wxStandardPaths::FileLayout_XDG);
    ApplyAppPaths(ComputeAppPaths(stdPaths.GetExecutablePath()));

    wxString sLogFilename = ComputeLogFilename(GetUserLocalDataFolder(GetAppName()), g_sAppPath);
    tInitEventGroups();
    g_sLogFilename = sLogFilename;
    kvLogInit(g_sLogFilename);
    LogScriptBindings();

    RegisterAssertHandler();
    tSetupDefaultEncoding();
    tDetermineOSVersion();
    LogSystemInfo();
    tcTimers::SetTimerPeriod(1);

    g_pConfig = nullptr;
    gsInternalIdAttrName = "vrID";
}

BrindovaApp::~BrindovaApp()
{
    // The sender stops before the options are saved with the other services.
    StopFaultReportSender();
    tStopProgramServices();

    // Held until the settings are on disk, so that a copy started meanwhile cannot read stale ones.
    m_pSingleInstanceChecker.reset();

    ShutdownNetwork();

    // Collectors of script-owned objects run here, while everything they may touch still exists.
    tLuaDone();
    kvLog(L"Shutdown: Lua state closed");

    kvLog(L"Shutdown: log closed");
    kvLogDone();
    tcTimers::DoneTimerPeriod();
}

bool BrindovaApp::OnInit()
{
    // The toolkit's start-up has set the user's locale by now; numbers must stay locale-free.
    tSetupDefaultEncoding();

    long nAutoCloseMillis = TestAutoCloseDelay();
    if (nAutoCloseMillis >= 0)
        tApp()->SetNoUserInteraction(true);
    tInstallWxUserPrompts();
    kvInstallVisibleWarningShower();

    m_pSingleInstanceChecker = std::make_unique<wxSingleInstanceChecker>();
    bool bLocked = false;
    {
        wxLogNull noToolkitLog; // a lock that cannot be made is logged below, not shown
        const tcInstanceLockPlace lock = ComputeInstanceLockPlace(GetVendorName() + "|" + GetAppName());
        bLocked = m_pSingleInstanceChecker->Create(lock.sName, lock.sFolder);
    }
    if (!bLocked)
        kvLogError(L"The single-instance lock could not be made; starting without it");
    else if (m_pSingleInstanceChecker->IsAnotherRunning())
    {
        kvLog(L"Another program instance is already running, aborting.");
        return false;
    }

    // Only now that no other instance runs: a lock it holds is no crash's.
    tRestoreOfficeSettingsAfterCrash();

    if (!tStartProgramServices([this] { ShowSplash(); }))
        return false;

    StartFaultReportSender();

    tcWindowGeometry geometry = ClampWindowGeometry(ReadWindowGeometry(g_pConfig), wxGetClientDisplayRect().GetSize());
    wxFrame* pFrame =
        CreateMainWindow(g_sAppName, wxPoint(geometry.x, geometry.y), wxSize(geometry.nWidth, geometry.nHeight));
    // Focus rectangles and keyboard underlines are always drawn under GTK: nothing to switch on.
    pFrame->Show();
    if (geometry.bMaximized)
        pFrame->Maximize();
    // The user's own scripts come last, when everything they may reach exists.
    RunStartupScripts(GetStartupScriptsFolder(GetAppName()));

    if (nAutoCloseMillis >= 0)
        StartTestAutoClose(pFrame);

    const wxString sFault = wxString::FromUTF8(std::getenv(kTestFaultVariable) ? std::getenv(kTestFaultVariable) : "");
    if (sFault == "segv" || sFault == "hang")
    {
        if (sFault == "hang")
            tSetFatalReportHangForTest(true, 1);
        CallAfter([] { std::raise(SIGSEGV); });
    }
    return true;
}

void BrindovaApp::OnFatalException()
{
    ReportFatalException();
}

bool BrindovaApp::OnExceptionInMainLoop()
{
    tReportCurrentException("the main loop");
    return true;
}

void BrindovaApp::OnUnhandledException()
{
    tReportCurrentException("the application");
}

void BrindovaApp::ShowSplash()
{
    long nNoSplash = 0;
    if (g_pConfig)
    {
        g_pConfig->SetPath("/App");
        g_pConfig->Read("NoSplash", &nNoSplash, 0L);
    }

    if (argc > 1)
    {
        for (int i = 0; i < argc; ++i)
            kvLog(L"argv[%d]=%s", i, wxString(argv[i]));
        return;
    }
    if (nNoSplash != 0 || tApp()->GetNoUserInteraction())
        return;

    wxString sImage = g_sAppDataPath + "/Images/Splash.png";
    wxBitmap bitmap;
    if (tFileExists(sImage))
    {
        wxLogNull noToolkitLog; // a damaged image only means no splash
        bitmap.LoadFile(sImage, wxBITMAP_TYPE_PNG);
    }
    if (bitmap.IsOk())
    {
        // The splash screen's own timer closes and deletes it; start-up goes on meanwhile, so the
        // main thread never sleeps while the splash shows.
        new wxSplashScreen(bitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, 1000, nullptr, wxID_ANY,
                           wxDefaultPosition, wxDefaultSize, wxSIMPLE_BORDER | wxSTAY_ON_TOP);
    }
}

void BrindovaApp::StartTestAutoClose(wxFrame* pFrame)
{
    long nMillis = TestAutoCloseDelay();
    m_pTestAutoCloseTimer = std::make_unique<wxTimer>(pFrame);
    pFrame->Bind(wxEVT_TIMER,
                 [pFrame](wxTimerEvent&)
                 {
                     kvLog(L"Test hook: closing the main window (shown: %s)", pFrame->IsShown() ? L"yes" : L"no");
                     pFrame->Close(true);
                 });
    m_pTestAutoCloseTimer->StartOnce(std::max(1L, nMillis));
}

wxFrame* BrindovaApp::CreateMainWindow(const wxString& sTitle, const wxPoint& pos, const wxSize& size)
{
    return new BrindovaFrame(sTitle, pos, size);
}

namespace
{
// Test hook: with this variable set, opening the script package fails.
const char* const kTestFailScriptOpeningVariable = "LINTRADO_TEST_FAIL_SCRIPT_OPENING";

int OpenBindingsProtected(lua_State* L)
{
    if (std::getenv(kTestFailScriptOpeningVariable))
        return luaL_error(L, "opening refused by the test hook");
    tLuaOpenBindings(L);
    return 0;
}
} // namespace

void BrindovaApp::OpenScriptBindings()
{
    // This runs before the log exists: the outcome is kept and logged by LogScriptBindings. A
    // failure leaves the program without the package rather than ending it.
    m_sScriptOpeningError.clear();
    lua_State* L = tLuaInit();
    if (!L)
    {
        m_sScriptOpeningError = "no Lua state";
        return;
    }
    lua_pushcfunction(L, OpenBindingsProtected);
    tLuaPCall(L, 0, 0, &m_sScriptOpeningError);
}

void BrindovaApp::LogScriptBindings()
{
    if (m_sScriptOpeningError.empty())
    {
        const tolua_Counts counts = tolua_counts(g_pLua);
        kvLog(L"Script bindings opened: %d type names, %d classes, %d functions, %d variables, %d constants",
              counts.types, counts.classes, counts.functions, counts.variables, counts.constants);
    }
    else
        kvLog(L"LUA ERROR: the script bindings could not be opened, scripts run without them: %s",
              m_sScriptOpeningError);
}

void BrindovaApp::RegisterAssertHandler()
{
    tRegisterAppAssertHandler();
    // The log is open: a crash from here on leaves an error log and a record (but sends nothing
    // before the options are read).
    tPrepareFatalReport();
}

void BrindovaApp::StartFaultReportSender()
{
    // The options are read: the crash report may carry its address now.
    tPrepareFatalReport();
    tErrReportSenderStart();
}

void BrindovaApp::StopFaultReportSender()
{
    tErrReportSenderDone();
}

void BrindovaApp::ShutdownNetwork()
{
    CURLDone();
    // The configuration store is gone: a crash from here on is only logged.
    tPrepareFatalReport();
}

void BrindovaApp::ReportFatalException()
{
    tReportFatalException();
}
