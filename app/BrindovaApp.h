#pragma once

#include <wx/app.h>

#include <memory>

class wxFrame;
class wxSingleInstanceChecker;
class wxTimer;

// The application object: sets up paths, log and library services when constructed, starts the
// program in OnInit and shuts everything down in its destructor, in a fixed order.
//
// For tests of the whole program the environment variable LINTRADO_TEST_AUTOCLOSE, when set to a
// number of milliseconds, puts the program in no-user-interaction mode (no splash, no modal box)
// and closes the main window that long after it was shown. LINTRADO_TEST_FAULT=segv makes the
// program raise SIGSEGV once its main loop runs, for tests of the crash report; "hang" also makes
// the report handler hang until its alarm, shortened to one second, ends the process.
class BrindovaApp : public wxApp
{
public:
    BrindovaApp();
    ~BrindovaApp() override;

    // False, with nothing shown, when another instance runs or no default catalog is named.
    bool OnInit() override;
    void OnFatalException() override;
    // An exception that left an event handler or the main loop ends in the error boundary
    // (tReportCurrentException): logged, shown once, and the program goes on.
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;

private:
    // Steps that other components fill in.
    void OpenScriptBindings();
    // Logs what OpenScriptBindings did, once the log is open.
    void LogScriptBindings();
    void RegisterAssertHandler();
    void StartFaultReportSender();
    void StopFaultReportSender();
    void ShutdownNetwork();
    void ReportFatalException();
    wxFrame* CreateMainWindow(const wxString& sTitle, const wxPoint& pos, const wxSize& size);

    void ShowSplash();
    void StartTestAutoClose(wxFrame* pFrame);

    std::unique_ptr<wxSingleInstanceChecker> m_pSingleInstanceChecker;
    wxString m_sScriptOpeningError;
    std::unique_ptr<wxTimer> m_pTestAutoCloseTimer;
};

wxDECLARE_APP(BrindovaApp);
