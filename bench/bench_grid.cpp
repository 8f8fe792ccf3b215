// Measures the row grid with tagged segments, in the two layouts the panes use: the source layout
// (one column of read-only segment editors) and the suggestions layout (a text column and two editor
// columns). For each layout and size it prints, one per line as "name: value":
//
//     fill_ms               a frozen fill, row by row
//     thaw_redraw_ms        Thaw and the first redraw shown
//     scroll_redraw_*_ms    avg, p95 and max over 300 thumb jumps and 300 line steps, each with
//                           redraw, update and yield
//     select_far_ms         avg of 200 selections off screen (scroll and redraw)
//     select_near_ms        avg of 200 selections on screen (separator colours only)
//     drag_ms               avg of 100 row-separator drags of +-5 pixels (resize and redraw)
//     windows               the grid's child windows at the end
//     rss_mb                resident memory at the end
//
// and per layout the ratio of the average scroll redraw at the large size to that at 1,000 rows
// (near 1 when a redraw costs the same at any size). It never fails on a time.
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" bench_grid [--rows N]
//
// Sizes: 1,000 and 50,000 rows; --rows N replaces the large size.

#include "Shared/AppUtils_sharedTestText.h"
#include "workspace/VRGrid.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/stattext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

// Read by LeakSanitizer in sanitizer builds: fontconfig keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace
{
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Time(const std::function<void()>& fn)
{
    const Clock::time_point start = Clock::now();
    fn();
    return MsSince(start);
}

double RssMb()
{
    std::ifstream statm("/proc/self/statm");
    long nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return static_cast<double>(nResident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void Figure(const char* szName, double dValue)
{
    std::printf("%s: %.3f\n", szName, dValue);
}

// A segment as the convertors write it, with bold codes and a placeholder around fake sentences.
wxString TaggedSegment()
{
    return tGenFakeSentence(2, 6, true, nullptr) + " <bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>" +
           tGenFakeSentence(1, 4, false, nullptr) + "<ept id=\"1\"><![CDATA[</b>]]></ept> " +
           tGenFakeSentence(3, 12, false, nullptr) + "<ph id=\"2\"><![CDATA[<br/>]]></ph>.";
}

void Settle()
{
    wxTheApp->Yield(true);
}

// Redraw, update and yield, as the user sees a scroll step.
double ScrollStep(VRGrid* pGrid, int nPosition, wxEventType type)
{
    return Time(
        [&]()
        {
            wxScrollBar* pBar = pGrid->GetScrollbar();
            pBar->SetThumbPosition(nPosition);
            wxScrollEvent event(type, pBar->GetId(), pBar->GetThumbPosition(), wxVERTICAL);
            event.SetEventObject(pBar);
            pBar->GetEventHandler()->ProcessEvent(event);
            pGrid->Update();
            Settle();
        });
}

struct SStats
{
    double dAvg = 0, dP95 = 0, dMax = 0;
};

SStats Stats(std::vector<double> adTimes)
{
    SStats stats;
    if (adTimes.empty())
        return stats;
    std::sort(adTimes.begin(), adTimes.end());
    double dSum = 0;
    for (double d : adTimes)
        dSum += d;
    stats.dAvg = dSum / static_cast<double>(adTimes.size());
    stats.dP95 = adTimes[std::min(adTimes.size() - 1, adTimes.size() * 95 / 100)];
    stats.dMax = adTimes.back();
    return stats;
}

// Runs one layout at one size; returns the average scroll redraw.
double Run(bool bSuggestions, int nRows)
{
    std::printf("layout: %s\nrows: %d\n", bSuggestions ? "suggestions" : "source", nRows);
    std::srand(1);
    const int nColumns = bSuggestions ? 3 : 1;
    std::vector<wxString> asValues;
    asValues.reserve(static_cast<size_t>(nRows) * static_cast<size_t>(nColumns));
    for (int i = 0; i < nRows * nColumns; ++i)
        asValues.push_back(bSuggestions && i % 3 == 0 ? tGenFakeSentence(1, 1, false, nullptr) : TaggedSegment());

    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "bench_grid", wxPoint(0, 0), wxSize(900, 800));
    auto* pGrid = new VRGrid(pFrame, wxID_ANY);
    if (bSuggestions)
        pGrid->AddColumn(
            new VRTextColumn(pGrid, &wxTextCtrl::SetEditable, false, &wxTextCtrl::SetValue, &wxTextCtrl::GetValue));
    for (int i = bSuggestions ? 1 : 0; i < nColumns; ++i)
        pGrid->AddColumn(new VRSegmentEditorColumn(pGrid, &VRSegmentEditor::SetReadOnly, true,
                                                   &VRSegmentEditor::LoadSegment, &VRSegmentEditor::GetText));
    pFrame->Show();
    for (int i = 0; i < 100 && !pFrame->IsShownOnScreen(); ++i)
        Settle();

    Figure("fill_ms", Time(
                          [&]()
                          {
                              pGrid->Freeze();
                              for (int nRow = 0; nRow < nRows; ++nRow)
                                  for (int nColumn = 0; nColumn < nColumns; ++nColumn)
                                      pGrid->AddItem(nColumn, asValues[static_cast<size_t>(nRow * nColumns + nColumn)]);
                          }));
    Figure("thaw_redraw_ms", Time(
                                 [&]()
                                 {
                                     pGrid->Thaw();
                                     pGrid->Update();
                                     Settle();
                                 }));

    std::vector<double> adScroll;
    for (int i = 0; i < 300; ++i)
        adScroll.push_back(ScrollStep(pGrid, std::rand() % nRows, wxEVT_SCROLL_THUMBTRACK));
    pGrid->ScrollToRow(nRows / 2);
    for (int i = 0; i < 300; ++i)
    {
        const int nTop = pGrid->GetFirstVisibleRow();
        adScroll.push_back(
            ScrollStep(pGrid, i % 2 ? nTop + 1 : nTop - 1, i % 2 ? wxEVT_SCROLL_LINEDOWN : wxEVT_SCROLL_LINEUP));
    }
    const SStats scroll = Stats(adScroll);
    Figure("scroll_redraw_avg_ms", scroll.dAvg);
    Figure("scroll_redraw_p95_ms", scroll.dP95);
    Figure("scroll_redraw_max_ms", scroll.dMax);

    std::vector<double> adFar, adNear;
    for (int i = 0; i < 200; ++i)
    {
        const int nTop = pGrid->GetFirstVisibleRow();
        const int nFar = (nTop + nRows / 3 + std::rand() % std::max(1, nRows / 3)) % nRows;
        adFar.push_back(Time(
            [&]()
            {
                pGrid->SetSelectedItem(nFar);
                pGrid->Update();
            }));
        const int nShown = std::max(1, pGrid->GetColumn(0)->GetNumDisplayedRows() - 1);
        const int nNear = std::min(nRows - 1, pGrid->GetFirstVisibleRow() + std::rand() % nShown);
        adNear.push_back(Time(
            [&]()
            {
                pGrid->SetSelectedItem(nNear);
                pGrid->Update();
            }));
    }
    Figure("select_far_ms", Stats(adFar).dAvg);
    Figure("select_near_ms", Stats(adNear).dAvg);

    std::vector<double> adDrag;
    for (int i = 0; i < 100; ++i)
    {
        wxWindow* pSeparator = pGrid->GetActiveRowSeparators().at(2);
        wxCommandEvent drag(wxEVT_CHOICE, VRGRID_ROW_DRAGGED);
        drag.SetInt(i % 2 ? -5 : 5);
        drag.SetEventObject(pSeparator);
        adDrag.push_back(Time(
            [&]()
            {
                pSeparator->GetEventHandler()->ProcessEvent(drag);
                pGrid->Update();
            }));
    }
    Figure("drag_ms", Stats(adDrag).dAvg);

    pGrid->SetSelectedItem(nRows - 1);
    const auto& apLabels = pGrid->GetActiveLabels();
    const wxString sLast = wxString::Format("%d", nRows);
    const bool bLastShown = std::any_of(apLabels.begin(), apLabels.end(),
                                        [&](wxStaticText* pLabel) { return pLabel->GetLabel() == sLast; });
    Figure("last_row_shown", bLastShown ? 1 : 0);
    Figure("windows", static_cast<double>(pGrid->GetChildren().size()));
    Figure("rss_mb", RssMb());

    pFrame->Destroy();
    Settle();
    return scroll.dAvg;
}
} // namespace

int main(int argc, char** argv)
{
    int nLarge = 50000;
    // The toolkit sees only the arguments that are not ours.
    std::vector<char*> apArgs = {argv[0]};
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
            nLarge = std::max(1, std::atoi(argv[++i]));
        else
            apArgs.push_back(argv[i]);
    int nArgs = static_cast<int>(apArgs.size());
    apArgs.push_back(nullptr);

    // No accessibility bus and no settings daemon under Xvfb: waiting for them only slows start-up.
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GSETTINGS_BACKEND", "memory", 0);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(nArgs, apArgs.data()) || !wxTheApp->CallOnInit())
    {
        std::fprintf(stderr, "bench_grid needs a display (run it under xvfb-run)\n");
        return 1;
    }
    for (bool bSuggestions : {false, true})
    {
        const double dSmall = Run(bSuggestions, 1000);
        const double dLarge = Run(bSuggestions, nLarge);
        std::printf("layout: %s\n", bSuggestions ? "suggestions" : "source");
        Figure(nLarge == 50000 ? "redraw_ratio_50k_vs_1k" : "redraw_ratio_large_vs_1k",
               dSmall > 0 ? dLarge / dSmall : 0);
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
