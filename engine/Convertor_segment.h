#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

struct SXLIFFDTD;
class CVRMemDoc;
struct CVRMemDocMatch;
class CVRSRXDoc;
class tcConvertorProgress;
class tcAttribute;
class tcDocument;
class tcElement;
class tcNode;

// The segment model: one imported source document as translation units of text runs and inline
// codes, between a convertor's Import and the writing of the units into the project's XLIFF body.
// Main thread only; the writer context and the code identifier counter are process-wide.

class CSegmentTUChild;

// A translation unit: its top-level children in order, owned.
using CSegmentUnit = std::vector<std::unique_ptr<CSegmentTUChild>>;
using CSegmentChildren = std::vector<std::unique_ptr<CSegmentTUChild>>;

// The exact type of a node; the writer treats each kind on its own (a start code is no group).
enum class teSegmentKind
{
    Other,
    Text,
    Group,
    Start,
    End,
    Sub
};

// A node of a unit. A node owns its children; partner and unit references own nothing.
class CSegmentTUChild
{
public:
    virtual ~CSegmentTUChild();
    CSegmentTUChild(const CSegmentTUChild&) = delete;
    CSegmentTUChild& operator=(const CSegmentTUChild&) = delete;

    virtual teSegmentKind Kind() const { return teSegmentKind::Other; }

    // The node's inline-code identifier, drawn from the process-wide counter on the first call
    // (the first node ever asked gets 1); later calls return the same value.
    virtual int GetID();
    // True when a direct child is a sub-flow.
    bool HasSubFlow() const;

    // The style name is written as the code's ctype; the tag name is the convertor's own.
    void SetStyleName(const wxString& sName) { m_sStyleName = sName; }
    wxString GetStyleName() const { return m_sStyleName; }
    void SetTagName(const wxString& sName) { m_sTagName = sName; }
    wxString GetTagName() const { return m_sTagName; }

    // The position the node took in the list it was appended to; -1 before.
    int GetIndex() const { return m_nIndex; }
    // The unit the node belongs to: null until it is appended, and for a child appended to a node
    // that had no unit yet.
    const CSegmentUnit* GetUnit() const { return m_pUnit; }
    const CSegmentChildren& GetChildren() const { return m_apChildren; }

    // Appends this node's XLIFF markup to *psMarkup and its plain text to *psPlain, each only when
    // given, and sets *pbSubFlow when the node holds a sub-flow. nSegStart and nSegEnd bound the
    // current segment by child indexes of the node's list (-1: unbounded); they decide between the
    // paired (bpt/ept) and isolated (it) forms of codes. With bSegmentSubFlows (and pnCounter and
    // pRules given) sub-flows are cut into segments numbered from *pnCounter, each looked up in the
    // memory for pTransUnit.
    void GenerateXLIFF(int nSegStart, int nSegEnd, bool bSegmentSubFlows, int* pnCounter, wxString* psMarkup,
                       wxString* psPlain, bool* pbSubFlow, CVRSRXDoc* pRules, tcNode* pTransUnit);
    // The markup of the node's children (sub-flows as XLIFF sub elements).
    wxString GenerateChildrenXLIFF(bool bSegmentSubFlows, int* pnCounter, CVRSRXDoc* pRules, tcNode* pTransUnit);

    // Identifiers keep rising for the whole run of the program; tests start again from 0 with this.
    static void ResetIDCounterForTests();

protected:
    CSegmentTUChild() = default;

    // Appends pChild to this node's children: its index is the current child count, its unit this
    // node's unit.
    CSegmentTUChild* AppendChild(std::unique_ptr<CSegmentTUChild> pChild);

    int m_nID = -1;

private:
    friend CSegmentTUChild* AddTUChild(CSegmentUnit* pUnit, std::unique_ptr<CSegmentTUChild> pChild);

    CSegmentChildren m_apChildren;
    wxString m_sStyleName;
    wxString m_sTagName;
    int m_nIndex = -1;
    const CSegmentUnit* m_pUnit = nullptr;
};

// A run of text. The text is XML character content and reaches the markup as it stands: a
// convertor escapes "<" and "&" itself (entity and character references stay references).
class CSegmentText : public CSegmentTUChild
{
public:
    explicit CSegmentText(const wxString& sText = wxString()) : m_sText(sText) {}

    teSegmentKind Kind() const override { return teSegmentKind::Text; }
    // Taken by value and swapped in: a temporary's text (a whole file's, for plain text) is not
    // copied again.
    void SetText(wxString sText) { m_sText.swap(sText); }
    const wxString& GetText() const { return m_sText; }

private:
    wxString m_sText;
};

// Used as it is, a group: a node that only holds children. Its subclasses are the codes.
class CSegmentStyle : public CSegmentTUChild
{
public:
    CSegmentStyle() = default;

    teSegmentKind Kind() const override { return teSegmentKind::Group; }

    // Appends a child (see AppendChild) and returns it; it is owned by this node.
    CSegmentTUChild* AddChild(std::unique_ptr<CSegmentTUChild> pChild) { return AppendChild(std::move(pChild)); }
    // Appends a new text run holding sText and returns it.
    CSegmentText* AddText(const wxString& sText);
    // Adds sText as text runs, with a line feed or carriage return each becoming a child start code
    // whose text is "<newline>" or "<carriagereturn>". An empty text adds nothing.
    void AddTextWithLineBreaks(const wxString& sText);

    // Pairs an opening and a closing code, both ways. Only start and end codes use their partner.
    void SetPartner(CSegmentStyle* pOther);
    CSegmentStyle* GetPartner() const { return m_pPartner; }

private:
    CSegmentStyle* m_pPartner = nullptr;
};

// An opening inline code; its children hold the code's markup from the source document.
class CSegmentStyleStart : public CSegmentStyle
{
public:
    teSegmentKind Kind() const override { return teSegmentKind::Start; }
};

// A closing inline code. Paired with a start code it carries the start code's identifier.
class CSegmentStyleEnd : public CSegmentStyle
{
public:
    teSegmentKind Kind() const override { return teSegmentKind::End; }
    // Takes the partner's identifier when the partner is a start code (drawing it first if needed);
    // otherwise as CSegmentTUChild::GetID.
    int GetID() override;
};

// A sub-flow: translatable text inside a code (an attribute value, a comment), written as a sub
// element.
class CSegmentStyleSub : public CSegmentStyle
{
public:
    teSegmentKind Kind() const override { return teSegmentKind::Sub; }
};

// Appends a top-level child to a unit and returns it (owned by the unit). A sub-flow is wrapped in
// a new group that takes its place, so a unit never holds a sub-flow directly. A null unit frees
// the child and returns null.
CSegmentTUChild* AddTUChild(CSegmentUnit* pUnit, std::unique_ptr<CSegmentTUChild> pChild);
// Adds sText to the unit as text runs, with each line feed or carriage return becoming a start code
// whose text is "<newline>" or "<carriagereturn>". An empty text adds nothing.
void AddTextWithLineBreaks(CSegmentUnit* pUnit, const wxString& sText);

// The units of one document. Constructing it sets the process-wide writer context (the pointers
// are not owned and must stay valid until Segment has run); the destructor leaves the context.
class CSegmentDoc
{
public:
    // pXLIFFDTD: the project's handles; pDoc: the project document; pRules: segmentation rules set
    // to the source language; pMemory: looked up for every segment, or null for no look-up;
    // sLookupLanguage: the source language the memory is asked in; pBody: the XLIFF body the units
    // go to; nThreshold: lowest score that pre-fills a target, -1 for no pre-filling;
    // sTargetLanguage: the project's target language: only a proposal in that language (equal in
    // any case, or one tag a "-" prefix of the other) pre-fills a target; empty pre-fills nothing.
    CSegmentDoc(const SXLIFFDTD* pXLIFFDTD, tcDocument* pDoc, CVRSRXDoc* pRules, CVRMemDoc* pMemory,
                const wxString& sLookupLanguage, tcNode* pBody, int nThreshold, const wxString& sTargetLanguage);
    ~CSegmentDoc();
    CSegmentDoc(const CSegmentDoc&) = delete;
    CSegmentDoc& operator=(const CSegmentDoc&) = delete;

    // Appends a unit (normally still empty; fill it with AddTUChild) and returns it, owned by the
    // document.
    CSegmentUnit* AddUnit(std::unique_ptr<CSegmentUnit> pUnit = std::make_unique<CSegmentUnit>());
    int GetNumUnits() const { return static_cast<int>(m_apUnits.size()); }
    // Null for an index out of range.
    CSegmentUnit* GetUnit(int nIndex) const;

    // Writes every unit, in order, under the body node of the writer context. pProgress (may be
    // null) moves from its value towards its highest as units are written; when it reports
    // cancellation, the units not yet written are left out (and proposals not yet written too).
    // The memory is looked up on CMemDocLookupPool::GetDefaultThreads() workers meanwhile; it must
    // not change until Segment returns. The result does not depend on the number of workers.
    void Segment(tcConvertorProgress* pProgress = nullptr);

private:
    std::vector<std::unique_ptr<CSegmentUnit>> m_apUnits;
};

// Writes one unit as a trans-unit under the context's body node: source, segmented source, the
// memory's proposals (alt-trans) and a pre-filled target. An empty unit writes nothing; so does a
// context without document, handles or body. Markup the document cannot parse (text runs holding a
// bare "<" or "&") is reported by an assertion and written again with its text runs escaped.
void SegmentTranslationUnit(const CSegmentUnit& unit);

// Adds segment nNumber, holding sMarkup, to the seg-source node as an mrk node of pMrkElement.
void AddSegmentMarker(int nNumber, const wxString& sMarkup, tcNode* pSegSource, tcElement* pMrkElement,
                      tcAttribute* pMtypeAttr, tcAttribute* pMidAttr);

// Looks sText (XLIFF content) up in the context's memory, appends one alt-trans per proposal to
// pTransUnit and pre-fills its target from the best one as the context allows. nNumber is the
// segment number, -1 for a unit without segments. Nothing without a memory. While
// CSegmentDoc::Segment runs, the look-up goes to its workers and the proposals are written later,
// in the order the look-ups were asked (nothing else is added to a trans-unit after its look-ups).
void AddMemoryMatches(tcNode* pTransUnit, const wxString& sText, int nNumber);
// The writing half of AddMemoryMatches: the proposals of a look-up as alt-trans, and the pre-filled
// target.
void WriteMemoryMatches(tcNode* pTransUnit, const std::vector<CVRMemDocMatch>& aMatches, int nNumber);
