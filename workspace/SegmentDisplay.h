#pragma once

#include <wx/string.h>

#include <string>

// The text a segment editor holds, and how it is styled. A segment is stored as XML: text with inline
// elements (bpt, ept, it, ph, sub). The editor holds it in a form a translator can type into:
// - text is decoded ("&amp;" is "&", "<" is "<"), so every key goes in as the character it is;
// - each top-level element (a code) keeps its raw XML between kCodeOpen and kCodeClose, so that a
//   typed "<" can never be taken for a code and a code's CDATA can never end it early;
// - two codes that touch have kCodeGap between them, a zero-width place where the caret can rest
//   and text can be typed (the editor's protected styles give no caret place between two codes).
// The open and close marks are the last private-use characters of plane 16, which no text uses by
// agreement (noncharacters would not do: the control shows those byte by byte). The gap is the
// deprecated LANGUAGE TAG, which is drawn with no width. Met in a segment's text the three are shown
// as U+FFFD. Display and XML convert both ways without loss otherwise.
constexpr wchar_t kCodeOpen = 0x10FFFB;
constexpr wchar_t kCodeClose = 0x10FFFC;
constexpr wchar_t kCodeGap = 0xE0001;

// Style numbers of the segment editor. Plain text is 1; 2 to 11 are the look-alike bpt/ept markers
// (chosen by the last digit of the element's i attribute), 12 to 18 the other markers and the hidden
// parts of inline elements. Styles 2 to 18 are protected. 19 is the gap between two codes: hidden,
// but not protected, so the caret can stop on either side of it.
enum
{
    SEGSTYLE_UNSTYLED = 0,
    SEGSTYLE_TEXT = 1,
    SEGSTYLE_BPT_FIRST = 2,
    SEGSTYLE_BPT_LAST = 11,
    SEGSTYLE_BPT_HIDDEN = 12,
    SEGSTYLE_PH = 13,
    SEGSTYLE_PH_HIDDEN = 14,
    SEGSTYLE_IT = 15,
    SEGSTYLE_IT_HIDDEN = 16,
    SEGSTYLE_SUB = 17,
    SEGSTYLE_SUB_HIDDEN = 18,
    SEGSTYLE_GAP = 19,
};

// True for the styles of markers and hidden inline content (2 to 18).
inline bool tIsProtectedSegmentStyle(int nStyle)
{
    return nStyle >= SEGSTYLE_BPT_FIRST && nStyle <= SEGSTYLE_SUB_HIDDEN;
}

// The editor's form of a segment's XML (see above). XML that is not well-formed keeps every
// character: a "<" that starts no complete element is text.
wxString tSegmentXMLToDisplay(const wxString& sXML);
// The segment's XML from the editor's form: text escaped once, codes as they were, gaps dropped.
wxString tSegmentDisplayToXML(const wxString& sDisplay);
// The codes of an editor text, marks included, one after the other: equal for two texts exactly
// when they hold the same codes in the same order.
wxString tSegmentDisplayCodes(const wxString& sDisplay);
// What the translator sees of an editor text as plain text: the text without codes and gaps.
wxString tSegmentDisplayPlainText(const wxString& sDisplay);

// Byte positions in the UTF-8 bytes of an editor text (as the control counts them).
// The number of text bytes (codes and gaps left out) before nPos.
int tSegmentTextOffset(const std::string& sBytes, int nPos);
// The position right after the nOffset-th text byte (0 for offset 0); the end when the text is
// shorter. The inverse of tSegmentTextOffset for a caret that follows text.
int tSegmentPositionOfTextOffset(const std::string& sBytes, int nOffset);
// Whether the bytes at nPos are the given mark.
bool tIsSegmentMarkAt(const std::string& sBytes, int nPos, wchar_t cMark);
// The UTF-8 length of each mark.
constexpr int kSegmentMarkBytes = 4;

// The styles the editor gives the bytes [nFrom, nEnd) of an editor text's UTF-8 bytes: one char per
// byte, each holding a style number (not a digit). Text is 1, a gap 19; inside a code, the element
// is styled by its name: "<bpt"/"<ept", "<it", "<ph", "<sub" (first letters only, so "item" counts
// as "it") and any other element like "<ph", with the opener, the closing "/" and ">" as markers and
// the rest (attributes, content, closing name, the two marks) hidden. Bytes at or past nEnd are
// never read. Out-of-range arguments are clamped to the text.
std::string tLexSegmentStyles(const std::string& sBytes, int nFrom, int nEnd);
