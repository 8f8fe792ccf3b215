#pragma once

#include "app/AppPaths.h"
#include "app/BrindovaFrame.h"
#include "app/ProgramServices.h"
#include "tests/harness/GuiTest.h"

#include <wx/weakref.h>

#include <filesystem>

// A window test of the whole program: its own start-up services (paths, catalog, importers) and
// one main window, which the derived test makes in m_pFrame and which goes at the end.
class ProgramWindowTest : public GuiTest
{
protected:
    // The paths as the program works them out for itself: the build copies the data beside the
    // programs, so the test program finds it by the program's own rule.
    void StartServices()
    {
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

    // A menu command, as the menu sends it.
    void Command(int nID)
    {
        wxCommandEvent event(wxEVT_MENU, nID);
        event.SetEventObject(m_pFrame.get());
        m_pFrame->ProcessWindowEvent(event);
    }

    wxWeakRef<BrindovaFrame> m_pFrame;
    bool m_bServices = false;
};
