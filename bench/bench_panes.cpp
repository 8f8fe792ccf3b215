// Measures the source, translation and suggestions panes over a large project. Prints, one per line
// as "name: value":
//
//     segments                the segments of the file shown
//     source_pane_fill_ms     building the source pane: every segment's XML into the grid
//     segment_switch_ms       avg of one SetNode on the translation and suggestions panes together,
//                             over 500 segments spread through the file
//     suggestions_setnode_ms  avg of SetNode on a segment with 100 proposals (limit 100), 20 times
//     commit_ms               avg of one typed commit (SetTargetText), 200 times
//     rss_mb                  resident memory at the end
//
// It never fails on a time.
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" bench_panes [--segments N] [--project FILE.xlf]
//
// Without --project it generates one file of N tagged segments (default 50,000: units of five
// sentence segments, each with a placeholder and a bold pair), the first segment with 100
// proposals. With --project it loads that XLIFF file and measures its first file.

#include "engine/XLIFFDTD.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

double Time(const std::function<void()>& fn)
{
    const Clock::time_point start = Clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double RssMb()
{
    std::ifstream statm("/proc/self/statm");
    long nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return static_cast<double>(nResident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void Figure(const char* szName, double fValue)
{
    std::printf("%s: %.3f\n", szName, fValue);
    std::fflush(stdout);
}

void Figure(const char* szName, size_t nValue)
{
    std::printf("%s: %zu\n", szName, nValue);
    std::fflush(stdout);
}

void Settle()
{
    for (int i = 0; i < 5 && wxTheApp->Pending(); ++i)
        wxTheApp->Dispatch();
    wxTheApp->ProcessIdle();
}

// One file of nSegments tagged segments in units of five; the first segment has 100 proposals.
wxString GenerateFile(int nSegments)
{
    wxString sXML;
    sXML.reserve(static_cast<size_t>(nSegments) * 260);
    sXML += L"<file original=\"big.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\">"
            L"<header><skl><internal-file>{0}</internal-file></skl></header><body>";
    int nSegment = 0;
    for (int nUnit = 1; nSegment < nSegments; ++nUnit)
    {
        sXML += wxString::Format(L"<trans-unit id=\"%d\"><source>Unit %d</source><seg-source>", nUnit, nUnit);
        for (int nMid = 1; nMid <= 5 && nSegment < nSegments; ++nMid, ++nSegment)
        {
            sXML += wxString::Format(
                L"<mrk mtype=\"seg\" mid=\"%d\">Sentence %d shows <ph id=\"%d\" ctype=\"image\"><![CDATA[<img "
                L"src=\"a.png\"/>]]></ph> a <bpt id=\"%d\" ctype=\"bold\"><![CDATA[<b>]]></bpt>bold"
                L"<ept id=\"%d\"><![CDATA[</b>]]></ept> word. </mrk>",
                nMid, nSegment + 1, 2 * nMid, 2 * nMid + 1, 2 * nMid + 1);
        }
        sXML += L"</seg-source>";
        if (nUnit == 1)
        {
            for (int i = 0; i < 100; ++i)
            {
                sXML += wxString::Format(L"<alt-trans mid=\"1\" match-quality=\"%d\"><source>Sentence %d shows a "
                                         L"bold word.</source><target>Satz %d zeigt ein fettes Wort.</target>"
                                         L"</alt-trans>",
                                         100 - i % 70, i, i);
            }
        }
        sXML += L"</trans-unit>";
    }
    sXML += L"</body></file>";
    return sXML;
}

struct Project
{
    tcDocument doc;
    std::unique_ptr<tcIO> pIO;
    SXLIFFDTD dtd;
    tcNode* pFile = nullptr;
};

bool Generate(Project& project, int nSegments)
{
    tcDictionary* pRoot = PrepareNewProjectDocument(&project.doc);
    if (!pRoot)
        return false;
    InitXLIFFDTD(&project.doc, project.dtd, false);
    tcNode* pXliff = pRoot->GetChild(0);
    if (!pXliff || !pXliff->ParseXML(GenerateFile(nSegments), &project.doc))
        return false;
    project.pFile = pXliff->GetChild(0);
    return project.pFile != nullptr;
}

bool Load(Project& project, const char* szPath)
{
    Init_XLIFFImporter();
    project.doc.CreateDoc(L"project");
    project.pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
    if (!project.pIO)
        return false;
    project.pIO->AttachDoc(&project.doc);
    if (!project.pIO->OpenDatasource(wxString::FromUTF8(szPath)))
        return false;
    int nProgress = 0;
    int nResult = 0;
    while ((nResult = project.pIO->LoadDictionary(nProgress, nullptr)) > 0)
    {
    }
    if (nResult != 0)
        return false;
    InitXLIFFDTD(&project.doc, project.dtd, true);
    std::vector<tcNode*> apFiles;
    project.doc.GetDictionary()->FindDescendantsOfElementType(project.dtd.m_pFileElement->GetID(), apFiles);
    project.pFile = apFiles.empty() ? nullptr : apFiles[0];
    return project.pFile != nullptr;
}

void Run(Project& project)
{
    const std::vector<tcNode*> apSegments = CollectFileSegments(project.dtd, project.pFile);
    Figure("segments", apSegments.size());
    if (apSegments.empty())
        return;

    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "bench_panes", wxDefaultPosition, wxSize(1200, 700));
    VRSourceFrame* pSource = nullptr;
    Figure("source_pane_fill_ms", Time([&]() {
               pSource = new VRSourceFrame(pFrame, project.dtd.m_pSourceElement, project.dtd.m_pMrkElement,
                                           apSegments);
           }));
    auto* pTranslation = new VRTranslationFrame(pFrame, &project.dtd, &project.doc);
    auto* pSuggestions = new VRSuggestedTranslationFrame(pFrame, &project.dtd, nullptr);
    auto* pSizer = new wxBoxSizer(wxHORIZONTAL);
    for (wxWindow* pPane : {static_cast<wxWindow*>(pSource), static_cast<wxWindow*>(pTranslation),
                            static_cast<wxWindow*>(pSuggestions)})
        pSizer->Add(pPane, 1, wxEXPAND);
    pFrame->SetSizer(pSizer);
    pFrame->Show();
    pFrame->Layout();
    Settle();

    const size_t nSwitches = 500;
    const size_t nStep = std::max<size_t>(1, apSegments.size() / nSwitches);
    double fSwitch = 0;
    size_t nDone = 0;
    for (size_t i = 0; i < apSegments.size() && nDone < nSwitches; i += nStep, ++nDone)
    {
        fSwitch += Time([&]() {
            pTranslation->SetNode(apSegments[i]);
            pSuggestions->SetNode(apSegments[i]);
        });
    }
    Figure("segment_switch_ms", fSwitch / static_cast<double>(nDone));
    Settle();

    // Show every proposal: the limit spin stores nothing without a project file.
    wxSpinEvent limit(wxEVT_SPINCTRL, VRSuggestedTranslationFrame::ID_LIMIT);
    pSuggestions->GetLimitSpin()->SetValue(100);
    limit.SetEventObject(pSuggestions->GetLimitSpin());
    pSuggestions->GetLimitSpin()->HandleWindowEvent(limit);
    wxSpinEvent percent(wxEVT_SPINCTRL, VRSuggestedTranslationFrame::ID_PERCENT);
    pSuggestions->GetPercentSpin()->SetValue(1);
    percent.SetEventObject(pSuggestions->GetPercentSpin());
    pSuggestions->GetPercentSpin()->HandleWindowEvent(percent);
    double fSuggestions = 0;
    for (int i = 0; i < 20; ++i)
        fSuggestions += Time([&]() { pSuggestions->SetNode(apSegments[0]); });
    Figure("suggestions_setnode_ms", fSuggestions / 20.0);
    Figure("suggestions_shown", static_cast<size_t>(pSuggestions->GetShownCount()));

    pTranslation->SetNode(apSegments[0]);
    double fCommit = 0;
    for (int i = 0; i < 200; ++i)
        fCommit += Time([&]() { pTranslation->SetTargetText(wxString::Format(L"Satz %d zeigt ein Wort.", i)); });
    Figure("commit_ms", fCommit / 200.0);
    Settle();

    Figure("rss_mb", RssMb());
    pTranslation->SetNode(nullptr);
    pFrame->Destroy();
    Settle();
}
} // namespace

int main(int argc, char** argv)
{
    int nSegments = 50000;
    const char* szProject = nullptr;
    // The toolkit sees only the arguments that are not ours.
    std::vector<char*> apArgs{argv[0]};
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--segments") == 0 && i + 1 < argc)
            nSegments = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--project") == 0 && i + 1 < argc)
            szProject = argv[++i];
        else
            apArgs.push_back(argv[i]);
    }
    int nArgs = static_cast<int>(apArgs.size());
    apArgs.push_back(nullptr);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(nArgs, apArgs.data()) || !wxTheApp->CallOnInit())
    {
        std::fprintf(stderr, "bench_panes needs a display (run it under xvfb-run)\n");
        return 1;
    }
    {
        Project project;
        const bool bReady = szProject ? Load(project, szProject) : Generate(project, nSegments);
        if (!bReady)
            std::fprintf(stderr, "bench_panes: no project to measure\n");
        else
            Run(project);
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
