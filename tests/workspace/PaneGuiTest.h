#pragma once

#include "Shared/Options.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/EventPump.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/PaneTestSupport.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/app.h>

#include <algorithm>

// Base of the pane window tests: the fixture project, the program's texts and images, a
// configuration store of the test's own and a frame that records notifications.
class PaneGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(UseProgramData());
        tCreateConfigStore(HomePath("Lintrado.conf"), wxString());
        ASSERT_TRUE(m_project.IsLoaded());
        m_project.Doc()->ClearDirty();
        m_pFrame = new NotificationFrame;
    }
    void TearDown() override
    {
        GuiTest::TearDown();
        tDeleteConfigStore();
        g_LocEngine.Clear();
    }

    // Pumps until a notification nId has arrived; false when none came.
    bool WaitFor(int nId)
    {
        return PumpUntil([this, nId]() {
            const std::vector<int> anIds = m_pFrame->Ids();
            return std::find(anIds.begin(), anIds.end(), nId) != anIds.end();
        });
    }
    // Lets queued notifications and timers run for a while, for checks that nothing more comes.
    // Lets the commit timer run, then waits until every posted notification has been handled (a
    // busy machine may not have handled them within the first pump).
    static void Settle()
    {
        PumpEvents(150);
        EXPECT_TRUE(PumpUntil([] { return !wxTheApp->HasPendingEvents(); }));
    }
    int Count(int nId) const
    {
        const std::vector<int> anIds = m_pFrame->Ids();
        return static_cast<int>(std::count(anIds.begin(), anIds.end(), nId));
    }

    PaneProject m_project;
    NotificationFrame* m_pFrame = nullptr;
};
