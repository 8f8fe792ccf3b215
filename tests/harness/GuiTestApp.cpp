#include "tests/harness/GuiTestApp.h"

#include "tests/harness/GuiTest.h"
#include "tests/harness/ModalDialogScript.h"

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <locale>

namespace
{
void FailOnAssert(const wxString& sFile, int nLine, const wxString& sFunc, const wxString& sCond, const wxString& sMsg)
{
    ADD_FAILURE_AT(sFile.utf8_string().c_str(), nLine)
        << "wxWidgets assertion \"" << sCond.utf8_string() << "\" failed in " << sFunc.utf8_string() << ": "
        << sMsg.utf8_string();
}

// Writes everything to stderr; what the program would put in front of the user fails the test.
class TestLog : public wxLog
{
protected:
    void DoLogRecord(wxLogLevel nLevel, const wxString& sMsg, const wxLogRecordInfo&) override
    {
        std::fprintf(stderr, "wxLog: %s\n", sMsg.utf8_string().c_str());
        if (nLevel <= wxLOG_Message)
            ADD_FAILURE() << "wxLog would show the user: " << sMsg.utf8_string();
    }
};

void FailOnCurrentException(const char* szWhere)
{
    try
    {
        throw;
    }
    catch (const std::exception& e)
    {
        ADD_FAILURE() << "Exception escaped " << szWhere << ": " << e.what();
    }
    catch (...)
    {
        ADD_FAILURE() << "Unknown exception escaped " << szWhere;
    }
}
} // namespace

bool GuiTestApp::OnInit()
{
    // wxApp::OnInit would parse the command line, which holds the test runner's arguments.
    SetVendorName("Korvendel");
    SetAppName("Lintrado");
    SetExitOnFrameDelete(false);
    // As the program does, and after the toolkit's own start-up, which may set the locale.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));
    delete wxLog::SetActiveTarget(new TestLog);
    return true;
}

bool GuiTestApp::OnExceptionInMainLoop()
{
    FailOnCurrentException("an event handler");
    return true;
}

void GuiTestApp::OnUnhandledException()
{
    FailOnCurrentException("the application");
}

int RunGuiTests(int& argc, char** argv)
{
    // No accessibility bus and no settings daemon: neither exists under Xvfb and waiting for them
    // only slows start-up; settings the toolkit writes stay in memory.
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GSETTINGS_BACKEND", "memory", 0);
    wxSetAssertHandler(FailOnAssert);

    wxApp::SetInstance(new GuiTestApp);
    if (!wxEntryStart(argc, argv))
    {
        std::fprintf(stderr, "The window tests need a display (run them under xvfb-run).\n");
        return 1;
    }
    if (!wxTheApp->CallOnInit())
    {
        wxEntryCleanup();
        return 1;
    }
    ModalDialogScript::Get().Register();

    const int nResult = RUN_ALL_TESTS();

    DestroyTopLevelWindows();
    ModalDialogScript::Get().Unregister();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return nResult;
}
