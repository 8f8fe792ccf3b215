#include "app/BrindovaApp.h"

#include "Shared/ErrorBoundary.h"
#include "Shared/Options.h"
#include "app/AppPaths.h"
#include "app/BrindovaFrame.h"
#include "app/ProgramServices.h"
#include "app/SystemInfoBlock.h"
#include "app/WindowGeometry.h"
#include "app/WxUserPrompts.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/kvLogWx.h"
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

#include <algorithm>
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

    if (nAutoCloseMillis >= 0)
        StartTestAutoClose(pFrame);
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

void BrindovaApp::OpenScriptBindings()
{
    // The script binding component opens its package on the library's Lua state here.
}

void BrindovaApp::RegisterAssertHandler()
{
    // The assertion report component registers its handler here; it lives until the process ends.
}

void BrindovaApp::StartFaultReportSender()
{
    // The fault-report sender starts its work queue here.
}

void BrindovaApp::StopFaultReportSender()
{
    // The fault-report sender stops its work queue here, before the options are saved.
}

void BrindovaApp::ShutdownNetwork()
{
    // The network layer releases its library here.
}

void BrindovaApp::ReportFatalException()
{
    // The fault-report component writes and sends its fatal-exception report here.
}
