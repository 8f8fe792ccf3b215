#pragma once

// A window test with a project page: the page's environment (importers, convertors, texts), a
// memory manager and a frame to hold the page.

#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TestFiles.h"
#include "tests/workspace/ProjectFixtures.h"
#include "workspace/VRDocFrame.h"

#include <wx/frame.h>
#include <wx/sizer.h>

#include <memory>
#include <string>

class PageGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_pEnvironment = std::make_unique<PageEnvironment>();
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "Lintrado", wxDefaultPosition, wxSize(1000, 700));
        m_pFrame->SetSizer(new wxBoxSizer(wxVERTICAL));
        m_pFrame->Show();
    }
    // A page still open is deleted without saving.
    void TearDown() override
    {
        delete m_pPage;
        m_pPage = nullptr;
        m_pFrame->Destroy();
        m_pEnvironment.reset();
        GuiTest::TearDown();
    }

    // Makes pPage the test's page and lays it out in the frame.
    void ShowPage(VRDocFrame* pPage)
    {
        m_pPage = pPage;
        m_pFrame->GetSizer()->Add(pPage, 1, wxEXPAND);
        m_pFrame->Layout();
        PumpEvents(50);
    }

    // A memory file for the page, made and handed back to the manager.
    wxString MemoryFile(const std::string& sName = "memory.tmx")
    {
        CVRMemDoc* pMemDoc = m_manager.CreateMemDoc(HomePath(sName));
        EXPECT_TRUE(pMemDoc);
        const wxString sPath = pMemDoc ? pMemDoc->GetFileName() : wxString();
        m_manager.ReleaseMemDoc(pMemDoc);
        return sPath;
    }

    std::unique_ptr<PageEnvironment> m_pEnvironment;
    CVRMemDocManager m_manager;
    wxFrame* m_pFrame = nullptr;
    VRDocFrame* m_pPage = nullptr;
};
