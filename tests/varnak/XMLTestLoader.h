#pragma once

#include "varnak/include/tcDocument.h"

#include <wx/string.h>

#include <memory>
#include <string>

// A small loader for the XML writer tests, built on tcNode::ParseXML: it gives a document the shape
// the format importers give (root "xml", one section; XLIFF: the root element is the section and
// its children the entries; TMX and SRX: the root element is the section's one entry).
enum class teTestFormat
{
    XLIFF,
    TMX,
    SRX
};

// Null when the text is not well-formed or has no single root element.
std::unique_ptr<tcDocument> LoadTestXML(const std::string& sUTF8, teTestFormat eFormat);

// A canonical dump of the document's tree below the dictionary: element names with their attribute
// values (declaration order), text and CDATA content. Adjacent text nodes count as one and empty
// ones as none, as they read back from a file; identifiers and the DTD are left out.
std::string DumpTree(const tcDocument& doc);

// The bytes of a file under tests/fixtures.
std::string ReadFixture(const std::string& sName);
