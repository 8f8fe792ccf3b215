#pragma once

#include "Shared/ImportXML.h"
#include "tests/harness/AssertRecorder.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDocument.h"

#include <wx/string.h>

#include <filesystem>
#include <string>
#include <vector>

// The path of a file under tests/fixtures/import.
std::filesystem::path ImportFixture(const std::string& sName);
// The whole file as UTF-8 text; empty when it cannot be read.
wxString ReadFixtureText(const std::filesystem::path& path);

// A canonical text of a document: its element kinds (identifier, name, class, text flag, child
// relations with their multiplicity marks, attributes with identifiers) in DTD order, then the
// tree, one node per line, indented by depth, element nodes with the attribute values they hold
// (in declaration order), text as "..." and CDATA as [[...]], with \n, \t and \\ escaped. With
// bIDs every element node shows its identifier as #n.
wxString DumpDocument(const tcDocument& doc, bool bIDs = false);
wxString DumpKinds(const tcDocument& doc);
wxString DumpTree(const tcNode* pNode, bool bIDs = false);

// An importer whose switches and bookkeeping tests may set and read.
class TestImporter : public CXMLImporter
{
public:
    using CXMLImporter::m_abXmlSpacePreserve;
    using CXMLImporter::m_aNodeStack;
    using CXMLImporter::m_bCaptureCDATA;
    using CXMLImporter::m_bInitFailed;
    using CXMLImporter::m_bListValuesByText;
    using CXMLImporter::m_bStopParsing;
    using CXMLImporter::m_bUseIdAttribute;
    using CXMLImporter::m_crossRefs;
    using CXMLImporter::m_nEntityExpansionLimit;
    using CXMLImporter::m_eParseState;
    using CXMLImporter::m_pDictionary;
    using CXMLImporter::m_psDictionaryElementName;
    using CXMLImporter::m_sInitError;

    // The document as it stood at the end of the parse, before a failed load is taken back, and
    // the reference groups collected by then.
    wxString sDumpAtEnd;
    std::vector<CXMLRefGroup> aGroupsAtEnd;

    void endDocument() override;
};

// Loads a file into a new document the way the program does (CreateDoc, attach, open,
// LoadDictionary).
struct LoadOutcome
{
    int nResult = 0;
    std::vector<wxString> asErrors;
};
LoadOutcome LoadInto(CXMLImporter& importer, tcDocument& doc, const std::filesystem::path& path);
