#pragma once

#include "import/XMLFormatImporter.h"
#include "varnak/include/tGUID.h"

#include <cstddef>
#include <memory>

class tcIO;

// The handler type of segmentation-rule files (SRX), registered for opening, saving and saving as.
inline constexpr const wchar_t* kszSRXImporterGUID = L"AE567AC9-0795-4DEC-8833-80F9CBFEDFAA";
const tGUID& SRXImporterGUID();

// Reads an SRX file into a document (dictionary "xml", section "srxdoc", one entry "srx" holding
// the file's tree) and writes it back with OutputSRX. Main thread only.
class CSRXImporter : public CXMLFormatImporter
{
public:
    CSRXImporter();
    ~CSRXImporter() override;
};

// Registers the handler type with g_pIORegistry; false when its GUID is already registered.
bool Init_SRXImporter();
// Removes the handler type; handlers already made stay valid.
void Done_SRXImporter();
// A new handler, owned by the caller.
std::unique_ptr<tcIO> AllocateIO_SRXImporter();
// Lets the user choose an SRX file (see tSelectXMLFormatFile).
bool SelectDataSource_SRXImporter(wchar_t* szBuffer, size_t nBufferSize);
