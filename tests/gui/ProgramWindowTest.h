#pragma once

#include "app/AppPaths.h"
#include "app/BrindovaFrame.h"
#include "app/ProgramServices.h"
#include "tests/harness/EventPump.h"
#include "tests/harness/GuiTest.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/weakref.h>

#include <filesystem>
#include <string>

// A text of the shipped catalog.
inline wxString CatalogText(const char* szKey)
{
    return g_LocEngine.FindTranslation(szKey);
}

#ifdef LINTRADO_ARTEFACTS_DIR
// A file in the folder where the test program leaves its screenshots and files.
inline wxString Artefact(const std::string& sName)
{
    return wxString::FromUTF8(LINTRADO_ARTEFACTS_DIR) + "/" + wxString::FromUTF8(sName);
}
#endif

// Base of the tests that drive the program's main window: the program's own start-up services
// with the data the build copies beside the programs (found by the program's own path rule, so the
// shipped catalog is the one in use). The test makes the window in m_pFrame; the window and the
// services go at the test's end.
class ProgramWindowTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ApplyAppPaths(ComputeAppPaths(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())));
        ASSERT_TRUE(tStartProgramServices());
        m_bServices = true;
    }
    void TearDown() override
    {
        if (m_pFrame)
            m_pFrame->Destroy();
        PumpUntil([this] { return !m_pFrame; });
        if (m_bServices)
            tStopProgramServices();
        GuiTest::TearDown();
    }

    // The main window at a size of its own, shown.
    void ShowMainWindow()
    {
        m_pFrame = new BrindovaFrame(g_sAppName, wxPoint(0, 0), wxSize(1000, 700));
        m_pFrame->Show();
        PumpEvents(100);
    }

    // Runs the menu command nID as a click on its menu item does.
    void Command(int nID)
    {
        wxCommandEvent event(wxEVT_MENU, nID);
        event.SetEventObject(m_pFrame.get());
        m_pFrame->ProcessWindowEvent(event);
    }

    wxWeakRef<BrindovaFrame> m_pFrame;
    bool m_bServices = false;
};
