// Element start inside the style-set and DTD sections of native dictionary files.

#include "Shared/ImportXML.h"

// Style sets and the DTD section are not read yet: a "styleset" element only opens its section, so
// that its content is skipped as a whole, and the content of both sections is ignored.

void CXMLImporter::StartStyleSet(const xercesc::Attributes&)
{
    m_bInStyleSet = true;
}

void CXMLImporter::StartStyleSetContent(const wxString&, const xercesc::Attributes&) {}

void CXMLImporter::StartDTDSectionContent(const wxString&, const xercesc::Attributes&) {}
