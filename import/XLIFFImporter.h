#pragma once

#include "import/XMLFormatImporter.h"
#include "varnak/include/tGUID.h"

#include <wx/string.h>

#include <cstddef>
#include <memory>

class tcIO;

// The handler type of projects (XLIFF). It is registered for opening only; Save and SaveAs work when
// called on a handler directly.
inline constexpr const wchar_t* kszXLIFFImporterGUID = L"22D0245C-B96F-41A8-BD82-D327D199011C";
const tGUID& XLIFFImporterGUID();

// Reads an XLIFF file into a document (dictionary "xml", the root element as the one section
// "xliff", its children - the files - as entries; the document property Document / Type is
// "XLIFF") and writes it back with OutputXLIFF. The debug context "ImportXLIFF" is open while a
// handler lives. Main thread only.
class CXLIFFImporter : public CXMLFormatImporter
{
public:
    CXLIFFImporter();
    ~CXLIFFImporter() override;

protected:
    SExportOptions GetExportOptions() const override;
};

// Registers the handler type with g_pIORegistry; false when its GUID is already registered.
bool Init_XLIFFImporter();
// Removes the handler type; handlers already made stay valid.
void Done_XLIFFImporter();
// A new handler, owned by the caller.
std::unique_ptr<tcIO> AllocateIO_XLIFFImporter();
// Lets the user choose an XLIFF file (see tSelectXMLFormatFile).
bool SelectDataSource_XLIFFImporter(wchar_t* szBuffer, size_t nBufferSize);

// The name of the root element of the XML file sPath, without a namespace prefix ("xliff" for a
// project): the first element after the declaration, comments, processing instructions and the
// document type. Empty when the file does not start as an XML document (or is empty). False when
// the file cannot be read; only its first 64 KiB are looked at.
bool tReadXMLRootName(const wxString& sPath, wxString& sRoot);
