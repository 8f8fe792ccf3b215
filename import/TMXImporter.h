#pragma once

#include "import/XMLFormatImporter.h"
#include "varnak/include/tGUID.h"

#include <cstddef>
#include <memory>

class tcIO;

// The handler type of translation memories (TMX), registered for opening, saving and saving as.
inline constexpr const wchar_t* kszTMXImporterGUID = L"0B1E062C-F1ED-4482-ABAC-5875EB90D436";
const tGUID& TMXImporterGUID();

// Reads a TMX file into a document (dictionary "xml", section "tmxdoc", one entry "tmx" holding
// the file's tree; the document property Document / Type is "TMX") and writes it back with
// OutputTMX. Evt_NodeInserted announces every finished node while a memory loads. Main thread only.
class CTMXImporter : public CXMLFormatImporter
{
public:
    CTMXImporter();
    ~CTMXImporter() override;
};

// Registers the handler type with g_pIORegistry; false when its GUID is already registered.
bool Init_TMXImporter();
// Removes the handler type; handlers already made stay valid.
void Done_TMXImporter();
// A new handler, owned by the caller.
std::unique_ptr<tcIO> AllocateIO_TMXImporter();
// Lets the user choose a TMX file (see tSelectXMLFormatFile).
bool SelectDataSource_TMXImporter(wchar_t* szBuffer, size_t nBufferSize);
