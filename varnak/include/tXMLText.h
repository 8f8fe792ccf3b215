#pragma once

#include <wx/string.h>

#include <cstdint>

class tcDocument;

// XML text: the one escaping routine of the library. Node XML (tcNode::GenerateXML,
// GenerateXMLChildren) and the writers (OutputXLIFF, OutputTMX, OutputSRX) all escape through the
// routines below, so the same content always gives the same markup. Safe from any thread.
//
// Characters that XML 1.0 does not allow (controls other than tab, line feed and carriage return;
// lone surrogate halves; U+FFFE, U+FFFF) are never written raw: each becomes U+FFFD, and one log
// line per call tells how many were replaced. An adjacent high and low surrogate half (text built
// from UTF-16 unit by unit) count as the one character they encode.

// True for a character XML 1.0 allows in a document.
bool tIsXMLChar(uint32_t c);
// True for a name XML 1.0 accepts as an element or attribute name (qualified names included).
bool tIsValidXMLName(const wxString& sName);

// Escapes text for an attribute value in double quotes: & < > " as &amp; &lt; &gt; &quot;, and
// tab, line feed and carriage return as &#9; &#10; &#13; (a parser would turn them into blanks).
// Entity-like text is escaped like any other: "&amp;" gives "&amp;amp;".
wxString tEscapeXMLCharacters(const wxString& sText);
// Escapes text for element content: & < > as &amp; &lt; &gt;, and carriage return as &#13; (a
// parser would turn it into a line feed).
wxString tEscapeXMLCharacters_PCDATA(const wxString& sText);

// Decodes references in one left-to-right pass (a decoded "&" never starts a new reference): the
// five predefined entities, decimal and hexadecimal character references, and, when pDoc is given,
// the entities its DTD declares (their value is taken as text). A reference that names no known
// entity, or a character XML 1.0 does not allow, is left as it stands.
wxString tUnescapeXMLCharacters(const wxString& sText, const tcDocument* pDoc = nullptr);

// A valid XML name made from sName: every character a name may not hold becomes "_", and "_" is
// put in front when the first character may not start a name. An empty name gives "_".
wxString tMakeValidXMLName(const wxString& sName);

// ---- Building blocks of node XML and the writers ------------------------------------------------

// Appends a text node's text as element content. Text nodes hold decoded text (the importers and
// ParseXML both decode), so a literal "&lt;" in the content is written as "&amp;lt;" and reads back
// as the same four characters.
void tAppendXMLText(wxString& sOut, const wxString& sText);
// Appends the escaped attribute value (tEscapeXMLCharacters).
void tAppendXMLAttributeValue(wxString& sOut, const wxString& sValue);
// Appends a CDATA section. Content holding "]]>" is split over two sections ("]]" ends the first,
// ">" starts the next), which a parser joins back into the same text. A carriage return, which a
// parser would turn into a line feed, is written between two sections as "&#13;".
void tAppendXMLCDATA(wxString& sOut, const wxString& sText);
