#pragma once

#include <wx/string.h>

#include <vector>

class tcDocument;
class tcElement;
class tcNode;
struct SXLIFFDTD;

// Window-free routines on a project's segments: the text a segment shows, its target and the
// commit of a typed target. A segment is a `mrk` of a unit's segmented source (or of a sub-flow
// inside it), or the `source` of an unsegmented unit. Main thread only.

// The segments of one `file` in document order, as the source pane lists them: CollectUnitSegments
// of its translatable units.
std::vector<tcNode*> CollectFileSegments(const SXLIFFDTD& dtd, const tcNode* pFile);

// The nearest `trans-unit` above pNode (pNode itself excluded); null when there is none. Every
// reader and writer of a segment's unit goes through this one walk, so a sub-flow segment and a
// sentence segment find the same unit.
tcNode* FindTransUnit(const SXLIFFDTD& dtd, const tcNode* pNode);

// The segment number of a `mrk` (its `mid`, read as a decimal integer), -1 for any other node.
int GetSegmentMid(const SXLIFFDTD& dtd, const tcNode* pNode);

// The XML of pNode's children (escaped, CDATA kept), leaving out `note` children: translation notes
// live inside the segment node and belong to no text that is shown, counted or stored in the memory.
wxString GenerateSegmentXML(const tcNode* pNode);

// The XML a segment shows in the source grid: GenerateSegmentXML for a `source` or `mrk` node. For
// any other node (or null) the text is empty, the node's element name is logged and the assertion
// "0" is reported.
wxString GetSegmentXML(const tcNode* pNode, const tcElement* pSourceElement, const tcElement* pMrkElement);

// The target XML of a segment: for a `mrk`, the content of the first `mrk` with the same `mid` in
// its unit's first `target`; otherwise the content of that `target`. Empty when there is none.
// *ppTarget (when given) receives the unit's first `target`, null when it has none.
wxString GetTargetXML(const SXLIFFDTD& dtd, const tcNode* pSourceNode, tcNode** ppTarget = nullptr);

// Typed text made well-formed where it is plainly meant as text: outside CDATA sections, every "&"
// that begins no character reference or predefined entity becomes "&amp;", and every "<" that opens
// no bpt, ept, ph, it, sub or mrk tag and no CDATA section becomes "&lt;".
wxString EscapeStrayMarkup(const wxString& sText);

// What a commit did.
struct STargetCommit
{
    // The unit's target; null when the segment lies in no unit (nothing was written).
    tcNode* pTarget = nullptr;
    // The node that received the text: the target, or its `mrk` for the segment.
    tcNode* pDestination = nullptr;
    // The target did not exist and was made by this commit.
    bool bNewTarget = false;
    // The text was not well-formed even after EscapeStrayMarkup and went in as plain text.
    bool bStoredAsText = false;
};

// Stores sText as the target of the segment pSourceNode: finds or makes the unit's `target` (added in
// the unit's order) and, for a `mrk` segment, the target `mrk` with its `mid` (the first one with
// that `mid`; a new one, with mtype "seg", goes before the first `mrk` with a greater `mid`, else at
// the end); replaces its content with the parsed text; makes its inline codes those of the source
// segment; marks the document changed and reports the node modified. Text that does not parse is
// escaped (EscapeStrayMarkup) and, failing that, stored whole as plain text, with a log line, so a
// keystroke is never dropped.
STargetCommit CommitTargetXML(const SXLIFFDTD& dtd, tcDocument* pDoc, tcNode* pSourceNode, const wxString& sText);
