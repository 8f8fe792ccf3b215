#pragma once

#include <wx/string.h>

#include <vector>

class tcIO;
class tcNode;
struct SXLIFFDTD;

// Window-free parts of the suggestions pane: which memory proposals a segment shows, and where a
// project keeps the pane's two limits. Main thread only.

// One proposal (`alt-trans`) of a segment.
struct SSuggestion
{
    // The `match-quality` as a decimal integer; -1 when it has none or it is no integer ("85%").
    int nScore = -1;
    // The `match-quality` as written.
    wxString sRating;
    // The XML of the proposal's `source` and `target` contents.
    wxString sSource;
    wxString sTarget;
    // The proposal's `target`, null when it has none. Owned by the document.
    tcNode* pTarget = nullptr;
};

// The proposals of a segment, best first: the `alt-trans` children of the segment's unit (for a
// `mrk`, those with its `mid`) whose score is at least nMinPercent or -1, at most nMaxCount of
// them. Equal scores show the later proposal first; over the limit the lowest score goes first,
// and of equal lowest scores the earliest. A null segment or one outside a unit gives none.
std::vector<SSuggestion> CollectSuggestions(const SXLIFFDTD& dtd, const tcNode* pSegment, int nMinPercent,
                                            int nMaxCount);

// The pane's stored limits, per project file.
struct SSuggestionLimits
{
    int nMinPercent = 30;
    int nMaxCount = 5;
};

// Both limits are kept in 1..100: the memory stores at most 100 proposals per segment.
constexpr int kSuggestionLimitMax = 100;

// The configuration group of a project file: "/Settings/Documents/" + the path with every "/" and
// "\" replaced by "_". Empty for an empty path (a project that has no file yet stores nothing).
wxString SuggestionSettingsGroup(const wxString& sProjectPath);

// The limits stored for pIO's data source in g_pConfig, clamped to 1..100; the defaults (30 and 5)
// when there is no handler, no data source or no store.
SSuggestionLimits ReadSuggestionLimits(const tcIO* pIO);
// Stores the limits for pIO's data source; does nothing without a handler, data source or store.
// Returns whether they were written.
bool WriteSuggestionLimits(const tcIO* pIO, const SSuggestionLimits& limits);
