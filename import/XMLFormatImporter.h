#pragma once

#include "Shared/ImportXML.h"
#include "varnak/include/tOutput.h"

#include <wx/string.h>

#include <cstddef>
#include <vector>

class tcEntry;
class tcProgress;

// The writer of a format (OutputSRX, OutputTMX, OutputXLIFF).
typedef int (*tcXMLFormatWriter)(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath,
                                 const SExportOptions& options, const tsXMLExportOptions& xmlOptions);

// What sets one of the three file formats apart: its root element, the names its document's
// element kinds take, its document type property, its writer, and the debug scopes of its root
// handlers and saving (null for none). The texts are literals.
struct CXMLFormat
{
    const wchar_t* szRoot;
    const wchar_t* szSectionName;
    // The name of the one entry that stands for the root element; null when the root element is
    // the section and its children are the entries (XLIFF).
    const wchar_t* szEntryName;
    // The document property Document / Type; null for none.
    const wchar_t* szDocumentType;
    tcXMLFormatWriter pfnWrite;
    const char* szScopeStart;
    const char* szScopeEnd;
    const char* szScopeSave;
    const char* szScopeSaveAs;
    // Whether an element kind of this name holds elements only, so that blanks between its children
    // are layout and not kept; null when every blank is kept.
    bool (*pfnIsLayoutKind)(const wxString& sName);
};

// The common frame of the SRX, TMX and XLIFF handlers: the file's root element becomes the top of
// the document in the one shape the writers and their readers expect (dictionary "xml", one
// section, and for SRX and TMX one entry for the root), everything below it is read by the generic
// importer, and saving goes through the format's writer.
//
// Only the document element counts as the root: an element of the same name deeper in the file is
// ordinary content, and a file whose document element has another name is read by the generic
// importer as it stands. Main thread only.
class CXMLFormatImporter : public CXMLImporter
{
public:
    // Writes the attached document to the data source through the format's writer, which replaces
    // the file atomically: the writer's result (0) on success; less than 0 on failure (no
    // document, no data source, a document of the wrong shape or read from a file with another
    // document element, an unwritable file), with the file as it was. apEntries is ignored: the whole file is written. Never throws.
    int Save(const std::vector<tcEntry*>& apEntries) override;
    // Makes sPath the data source (also when the save then fails) and saves. pProgress is ignored.
    int SaveAs(const wxString& sPath, tcProgress* pProgress) override;

    void startDocument() override;
    void startElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname,
                      const xercesc::Attributes& attrs) override;
    void endElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname) override;

protected:
    // The handler keeps a reference to format, which must outlive it (a static). Sets the switches
    // every format shares: no file identifiers, CDATA sections kept, text kept decoded.
    explicit CXMLFormatImporter(const CXMLFormat& format);

    // The options the writer is given; the default record unless a format needs its own.
    virtual SExportOptions GetExportOptions() const;

private:
    void StartRoot(const xercesc::Attributes& attrs);
    // Drops the current element's last child when it is a text of blanks only and the element's kind
    // holds elements only: called when a child starts and when the element ends, so that the text
    // is whole, however the parser delivered it.
    void DropLayout();

    const CXMLFormat& m_format;
    // Elements open at this point of the file, so that only the document element is the root.
    int m_nDepth = 0;
    // True once the document element was taken as this format's root.
    bool m_bOwnRoot = false;
    // True when the last file read had another document element: the generic reading of it is
    // not written back as this format.
    bool m_bForeignRoot = false;
};

// Lets the user choose a file to open through the installed user prompts, with sFilter as the
// file filter and sTitle as the chooser's title (empty: the toolkit's own), and copies its path, terminated, into szBuffer (nBufferSize wide characters). False
// when the user cancelled (the buffer is untouched) or the path does not fit (the buffer holds a
// cut path that must not be used).
bool tSelectXMLFormatFile(const wxString& sFilter, wchar_t* szBuffer, size_t nBufferSize,
                          const wxString& sTitle = wxString());
