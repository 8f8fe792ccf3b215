#pragma once

#include <wx/string.h>

#include <vector>

class tcDocument;
class tcNode;

// Routines on segment text and XLIFF inline codes (bpt, ept, ph, it; sub and mrk wrap text). Main
// thread only (CountWords, TextOutsideCodes and StripInlineMarkup are safe from any thread).

// Words for the statistics, and for scripts, which get the same count: runs of letters and digits.
// An apostrophe, hyphen or underscore between two such characters keeps them one word ("don't",
// "well-known", "LC_ALL"), and so do a full stop or comma between two digits ("3.14", "1,000");
// every other character separates words. Each CJK ideograph, hiragana or katakana character is a
// word of its own. Letters outside ASCII are letters under the program's C.UTF-8 locale.
int CountWords(const wxString& sText);

// The text a reader of the document sees in a segment's XML: text and CDATA outside inline codes,
// with references decoded, as runs split where a code stands (a line break, a non-breaking space or
// a table cell kept in a code still parts the words on either side); empty runs are left out. The
// codes (ph, bpt, ept, it) with everything inside them, their own markup and any sub-flow (which
// the project counts as a segment of its own), and translation notes are left out; the mrk and sub
// wrappers outside codes give their text and split nothing. sXML is escaped element content as
// GenerateXMLChildren(true, true) writes it; comments and processing instructions give nothing, and
// an unfinished tag ends the text.
std::vector<wxString> TextOutsideCodes(const wxString& sXML);

// Appends to apTags the outermost inline codes (ph, bpt, ept, it) below pNode, or pNode itself
// when it is one, in document order; nothing inside a code is looked at. A null node adds nothing.
void CollectInlineTags(const tcNode* pNode, std::vector<tcNode*>& apTags);

// Makes the target's outermost inline codes equal to the source's, position by position, so that a
// translator can move text but not change, drop or invent codes. apSourceTags and apTargetTags come
// from CollectInlineTags on the source and on pTarget. Surplus target codes are deleted from pDoc
// (DeleteTreeFromDoc: the document is marked changed) and removed from apTargetTags; missing ones
// are appended as copies at the end of pTarget (not added to apTargetTags), except that a target
// without any code gets the source's codes that stand before the source's text at its start; a
// code that differs in
// kind or XML is deleted and a copy of the source code takes its place, and apTargetTags then holds
// the copy. Copies are allocated in pDoc. Does nothing for a null document or target.
void SyncInlineTags(tcDocument* pDoc, tcNode* pTarget, const std::vector<tcNode*>& apSourceTags,
                    std::vector<tcNode*>& apTargetTags);

// Replaces each bpt, ept, ph, it, sub and mrk element in the XML text by its content, in place, so
// that only the text and the codes' own markup remain; an empty element (<ph/>) disappears. The text
// may be escaped with CDATA sections (GenerateXMLChildren(true, true)) or raw (false, false).
//
// Only the XLIFF elements are unwrapped, never the document's own markup that a code carries:
// CDATA sections are taken as they stand, and inside a code only a `sub` that closes before the
// code does counts as an element, so "H<bpt><sub></bpt>2<ept></sub></ept>O" gives "H<sub>2</sub>O".
// A tag that is opened and never closed, or a stray end tag, stays in the text.
void StripInlineMarkup(wxString& sText);
