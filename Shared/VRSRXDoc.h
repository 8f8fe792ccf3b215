#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

class tcDocument;
class tcIO;
// A compiled expression of a rule (defined in VRSRXDoc.cpp); rule copies share it.
struct CVRSRXExpression;

// One segmentation rule: a before-break and an after-break expression, either of which may be
// absent. Copies share the compiled expressions (atomic reference counts), so lists of rules are
// cheap to copy. Matching never changes the rule: a rule may be used from several threads at once,
// each with its own Progress.
//
// Expressions are Perl-syntax Boost expressions over wide text. Unicode property classes (\p{Lu},
// \P{Lu}, also inside [...]) are compiled with Boost's ICU support, which plain wide expressions
// reject; the one-letter categories (\p{L}, \pN, ...) are read as ICU and the SRX format read them
// (letter, number, ...), not as Boost's class names, under which \p{L} would mean lower case.
class CVRSRXRule
{
public:
    // Where the before-break scan of one rule stands inside one segment, so that the next, longer
    // prefix of the same segment resumes there instead of rescanning the segment from its start.
    // Owned by the caller; a default Progress starts from scratch. It follows one segment start:
    // given another start it begins again by itself.
    struct Progress
    {
        const wchar_t* pStart = nullptr;
        // Next search start of the scan (where the last settled match ended) and the next start
        // position to try; positions between the two could not start a match.
        int nSearchStart = 0;
        int nNextStart = 0;
        // The last settled match was empty, so the next may not be empty at the same place.
        bool bAfterEmpty = false;
        // The furthest position the settled steps looked at; they hold for longer prefixes only.
        int nReach = 0;
        // Before-break results known per position (0 unknown, 1 holds, 2 does not).
        std::vector<signed char> aKnown;
        // A matching failure of this rule was logged for this segment.
        bool bFailureLogged = false;
    };

    // The matching work one rule may still spend, counted in steps of the expression engine over
    // the text. Owned by the caller and shared by every Match call given it; once spent, those calls
    // give -1 at once and bExhausted stays set (the call that spent it logs one line).
    struct Budget
    {
        long long nLeft = 0;
        bool bExhausted = false;
    };

    // Compiles the two texts; an empty text means no condition. Throws TextFailure with the
    // expression library's message when one does not compile.
    CVRSRXRule(const wxString& sBefore, const wxString& sAfter);
    virtual ~CVRSRXRule();
    CVRSRXRule(const CVRSRXRule& other);
    CVRSRXRule& operator=(const CVRSRXRule& other);

    // Whether the rule applies at nPos characters after pStart, given the text up to pEnd
    // (nPos >= 1, pStart + nPos < pEnd):
    //  1  it applies: the before expression, run over [pStart, pStart + nPos) one match after
    //     another, has a match ending at pStart + nPos, and the after expression matches completely
    //     at pStart + nPos within [pStart + nPos, pEnd) (taken as a text of its own);
    //  0  the before condition holds and the after expression could match there with more text;
    // -1  it does not apply.
    // A rule without either expression applies everywhere. A match that the expression library
    // gives up on (complexity limits) counts as -1 and is logged.
    int Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd) const;
    // The same, resuming the before-break scan kept in progress: the cost of a query grows with the
    // rule's own look-behind, not with the length of the segment.
    int Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Progress& progress) const;
    // The same within a budget of matching work (none when pBudget is null): a rule that would spend
    // more counts as -1.
    int Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Progress& progress, Budget* pBudget) const;

    bool HasBefore() const { return m_bHasBefore; }
    bool HasAfter() const { return m_bHasAfter; }
    // The texts the rule was compiled from.
    const wxString& GetBeforeText() const { return m_sBefore; }
    const wxString& GetAfterText() const { return m_sAfter; }
    // True when both rules were made from the same texts, so they always give the same result.
    bool SameTexts(const CVRSRXRule& other) const;

private:
    bool BeforeHolds(const wchar_t* pStart, int nPos, Progress& progress, Budget* pBudget) const;
    int AfterResult(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Budget* pBudget) const;

    std::shared_ptr<const CVRSRXExpression> m_pBefore;
    std::shared_ptr<const CVRSRXExpression> m_pAfter;
    bool m_bHasBefore = false;
    bool m_bHasAfter = false;
    wxString m_sBefore;
    wxString m_sAfter;
};

// The segmentation rules of one SRX file, and the incremental break search over the text of one
// translation unit at a time.
//
// The file is read through the SRX handler of g_pIORegistry. SetLanguage selects a language's rule
// set and appends its rules to those already selected (so after several calls the rule sets of
// every language selected apply, in the order added). Then, per unit: Clear, and
// FindNextSegmentBreak with ever longer prefixes of the unit's text.
//
// Rule texts are read from the file as the document writes them as XML (text escaped: "&", "<" and
// ">" reach the expression as "&amp;", "&lt;" and "&gt;"), which is the form the unit writer
// segments; a CDATA section counts as the same text written plainly.
//
// The matching work of one unit is bounded in proportion to its length: each rule gets
// kBudgetBase steps plus kBudgetPerChar per character of the unit seen so far, and a rule that
// spends them (a runaway expression such as "(a+)+b") is given up for the rest of the unit, with
// one log line; the other rules still segment it.
//
// Stateful (the scan position follows one unit): main thread only.
class CVRSRXDoc
{
public:
    static constexpr long long kBudgetBase = 100000;
    static constexpr long long kBudgetPerChar = 1000;

    // Loads the rule file. Throws TextFailure: "Could not assign an IO handler for type SRX" when no
    // SRX handler is registered, or the handler's load errors, each followed by "\n".
    explicit CVRSRXDoc(const wxString& sPath);
    virtual ~CVRSRXDoc();
    CVRSRXDoc(const CVRSRXDoc&) = delete;
    CVRSRXDoc& operator=(const CVRSRXDoc&) = delete;

    // Selects the rules of a language and appends them. The language is compared in lower case with
    // each languagemap's languagepattern as plain text (the last equal map wins); without one, the
    // last map whose pattern is exactly ".*" serves. "all" and "default" store the language ".*".
    // Throws TextFailure with one of the "Invalid SRX File: ..." messages (also logged), or with the
    // expression library's message for a rule that does not compile; a failed call changes nothing.
    // A rule whose break value is none of "yes", "no", "true", "false" is reported as an assertion
    // and skipped.
    void SetLanguage(const wxString& sLanguage);

    // Starts a new unit: scan position 1.
    void Clear();

    // The next break in the segment starting at pStart, with the text available up to pEnd: the
    // break's offset from pStart (at least 1, always below pEnd - pStart), or -1 when the available
    // text holds no break yet (more text may decide). Positions are examined from the scan position
    // on; exception rules take precedence over break rules at every position. After a break the
    // caller starts the next segment at pStart + the offset. Asserts (and finds nothing) before any
    // SetLanguage.
    int FindNextSegmentBreak(const wchar_t* pStart, const wchar_t* pEnd);

    // Empty before SetLanguage; ".*" after "all" or "default".
    const wxString& GetLanguage() const { return m_sLanguage; }
    int GetNumBreakRules() const { return m_nBreakRules; }
    int GetNumExceptionRules() const { return m_nExceptionRules; }
    const std::vector<CVRSRXRule>& GetBreakRules() const { return m_aBreakRules; }
    const std::vector<CVRSRXRule>& GetExceptionRules() const { return m_aExceptionRules; }
    // The first position of the current segment not yet examined.
    int GetScanPosition() const { return m_nScanPosition; }

private:
    // Applies the rules of a list at one position: 1, 0 or -1 as CVRSRXRule::Match, for the first
    // rule that does not give -1.
    int MatchList(const std::vector<CVRSRXRule>& aRules, const std::vector<char>& abRepeated,
                  std::vector<CVRSRXRule::Progress>& aProgress, std::vector<CVRSRXRule::Budget>& aBudgets,
                  const wchar_t* pStart, int nPos, const wchar_t* pEnd);
    void ResetProgress();
    // Budgets of a new unit, and their growth as more of the unit's text is seen.
    void ResetBudgets();
    void GrowBudgets(const wchar_t* pStart, const wchar_t* pEnd);

    std::unique_ptr<tcDocument> m_pDoc;
    std::unique_ptr<tcIO> m_pIO;
    std::vector<CVRSRXRule> m_aBreakRules;
    std::vector<CVRSRXRule> m_aExceptionRules;
    wxString m_sLanguage;
    int m_nScanPosition = 1;
    int m_nBreakRules = 0;
    int m_nExceptionRules = 0;

    // A rule that repeats an earlier one of its list (a language selected twice) can never decide
    // anything the earlier one did not: it is not matched again.
    std::vector<char> m_abBreakRepeated;
    std::vector<char> m_abExceptionRepeated;
    std::vector<CVRSRXRule::Progress> m_aBreakProgress;
    std::vector<CVRSRXRule::Progress> m_aExceptionProgress;
    // Per unit (kept across its breaks): the rules' budgets, and the span of the unit's text seen.
    std::vector<CVRSRXRule::Budget> m_aBreakBudgets;
    std::vector<CVRSRXRule::Budget> m_aExceptionBudgets;
    const wchar_t* m_pUnitStart = nullptr;
    const wchar_t* m_pUnitEnd = nullptr;
};
