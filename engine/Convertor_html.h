#pragma once

#include "Shared/ImportXMLLimits.h"
#include "engine/Convertor.h"
#include "varnak/include/tTextEncoding.h"

#include <wx/string.h>

#include <map>
#include <memory>
#include <vector>

class tcPreviewWindowFamily;

// HTML and XML documents. A character-at-a-time tokenizer cuts the document into translation units
// of text runs and inline codes: tags become codes (their markup kept verbatim), the text between
// them translatable text, selected attribute values and comments sub-flows, and line breaks of the
// source "<newline>" and "<carriagereturn>" codes. Output concatenates the units' text in the
// language asked for and turns the break codes back into characters.
//
// Tags are known by their element name, whatever their attributes: in HTML without regard to case,
// in XML as written. The name decides whether a start tag begins a new unit (a block tag), which
// style its code gets, and which start code an end tag closes (the most recent one still open of
// that name). A document whose elements nest deeper than an XML load allows is refused.
//
// A ">" inside a quoted attribute value, a comment, a CDATA section or a DOCTYPE's internal subset
// does not end the tag. The tokenizer validates nothing and rejects nothing; whatever it cannot
// read as markup stays in the document as a code, so a document converted and output in its source
// language comes back as it was, with these exceptions:
// - "<br>", "<br/>" and "<br />" come back as "<br />";
// - a bare "&" or ">" in text, or a bare "&" or "<" in a translatable attribute value, comes back
//   escaped ("&amp;", "&gt;", "&lt;"), and character references and "&quot;" or "&apos;" in text
//   as the characters they stand for;
// - the output is UTF-8 without byte order mark whatever the source's encoding, and a declaration
//   naming another encoding (the XML declaration's encoding; in HTML also a meta element's charset
//   or its http-equiv Content-Type charset) is rewritten to "utf-8" in the written document only
//   (the project keeps the document as read; nothing is added where nothing was declared);
// - a line feed the translator types becomes "<br />" (in XML as well), and an element that is
//   itself named `newline` or `carriagereturn` comes back as a line break.
// Main thread only.
class tcConvertorHTML : public tcConvertor
{
public:
    // With bLists, the tables of HTML: "alt" as the one translatable attribute, the block tags
    // (the document's structure, headings, paragraphs, list items and terms, table rows and cells,
    // preformatted text, quotations and captions), and the styles of "b", "i" and "p". Without
    // them every attribute value is translatable and no tag starts a unit.
    tcConvertorHTML(const wxString& sTypeName, tcDocument* pDoc, const wxString& sSourceLanguage, bool bLists);
    ~tcConvertorHTML() override;

    // Reads m_sSourcePath into units, decoded as tcTextFileInputStream does with the declarations
    // of HTML (a meta charset, else an XML declaration; undeclared Latin-1 read as windows-1252) or,
    // for the XML convertor, of XML (the XML declaration); undeclared UTF-8 with stray bytes is
    // reported with ReportStrayBytes. A file that cannot be opened or read gives false with the
    // reason in GetFailure, adding nothing; so does a document whose elements nest deeper than
    // kMaxXMLElementDepth, with the XML load's message. The progress is not used.
    bool Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress) override;
    // PostProcessOutput, then the family's shared window under pParent; null without a window.
    wxWindow* Preview(const wxString& sSkeleton, const wxString& sText, wxWindow* pParent, tcNode* pFile) override;
    wxWindow* ShowLastPreview(wxWindow* pParent) override;
    // PostProcessOutput, then WriteTextFile; false when the file could not be written.
    bool Export(const wxString& sSkeleton, const wxString& sText, const wxString& sOutputPath, tcNode* pFile) override;

    // The document's own text from generated text, in place: each line feed (a "<br>" of the source
    // or one the translator typed) becomes "<br />", the break codes become a line feed or a
    // carriage return, and the preview markers become highlight spans.
    static void PostProcessOutput(wxString& sText);

    // The text of a run as it goes to the unit writer: XML content in which references stand for
    // characters. The HTML convertor keeps it as written.
    virtual wxString UnescapeText(const wxString& sText) const;

    // Gives start codes of the element sName the style sStyle (written as their ctype).
    void SetStyle(const wxString& sName, const wxString& sStyle)
    {
        m_mapStyles[m_bNamesIgnoreCase ? sName.Lower() : sName] = sStyle;
    }
    // The page the last Preview showed, after PostProcessOutput.
    const wxString& GetLastPreviewText() const { return m_sLastPreviewText; }

    // The live HTML and XML convertors and their shared preview window.
    static tcPreviewWindowFamily& PreviewFamily();

protected:
    std::vector<wxString> m_asTranslatableAttributes;
    // Element names as compared (lower case while m_bNamesIgnoreCase).
    std::vector<wxString> m_asBlockTags;
    std::map<wxString, wxString> m_mapStyles;
    bool m_bNamesIgnoreCase = true;
    // Start tags nested deeper refuse the document; programs that measure the tokenizer raise it.
    size_t m_nMaxDepth = kMaxXMLElementDepth;
    wxString m_sLastPreviewText;
    // The declarations of its own encoding the document may carry.
    teDeclarations m_declarations = teDeclarations::HTML;
};

// XML documents: the tokenizer of tcConvertorHTML, every attribute value translatable, no block
// tags (units are cut only at declarations), the styles of "b", "i" and "p".
class tcConvertorXML : public tcConvertorHTML
{
public:
    tcConvertorXML(tcDocument* pDoc, const wxString& sSourceLanguage);
    ~tcConvertorXML() override;

    // References the project document knows (the predefined entities, character references and
    // entities its DTD declares) decoded, and the result escaped again as XML content, so a
    // decoded "<" or "&" never reaches the writer as markup.
    wxString UnescapeText(const wxString& sText) const override;
};

// The allocators of the registry rows "HTML documents" and "XML documents".
std::unique_ptr<tcConvertor> AllocateConvertor_HTML(tcDocument* pDoc, const wxString& sSourceLanguage);
std::unique_ptr<tcConvertor> AllocateConvertor_XML(tcDocument* pDoc, const wxString& sSourceLanguage);
