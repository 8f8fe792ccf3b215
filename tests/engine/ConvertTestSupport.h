#pragma once

#include "engine/XLIFFDTD.h"

#include <wx/string.h>

#include <memory>
#include <optional>
#include <string>

class CSegmentDoc;
class CVRSRXDoc;
class tcConvertor;
class tcDictionary;
class tcDocument;
class tcNode;

// Helpers of the convertor tests.

// A segment model as compact text, units in order as "U[...]":
// - T(text) a text run, line feeds written "\n";
// - Sn(tag|style|content) the n-th start code of the model (without tag name and style: Sn(content));
// - E(content) an end code, E(content=Sn) when paired with start code n;
// - NL and CR the line-break codes, G(...) the group around a sub-flow.
// Inside a code's content text stands as it is, a sub-flow as {content} or {style:content}, a line
// break as [NL] or [CR], and a code of its own as Sn(...).
std::string DumpSegments(const CSegmentDoc& doc);

// The file at sPath in the running test's temporary home, written with sBytes.
wxString WriteTestFile(const std::string& sName, const std::string& sBytes);
std::string ReadTestFile(const wxString& sPath);

// A new project document ("en" to "de") with sentence-break rules and no memory, to convert into.
class CConvertProject
{
public:
    CConvertProject();
    ~CConvertProject();

    // Converts the file at sPath with the convertor; the new file element (null when Convert made
    // none). *pbRead, when given, receives Convert's result.
    tcNode* Convert(tcConvertor& convertor, const wxString& sPath, bool* pbRead = nullptr);
    // The bytes OutputTranslation writes for pFile in sLanguage; nullopt when it fails.
    std::optional<std::string> Output(tcConvertor& convertor, tcNode* pFile, const wxString& sLanguage);

    tcDocument& Doc() { return *m_pDoc; }
    const SXLIFFDTD& DTD() const { return m_dtd; }

private:
    std::unique_ptr<tcDocument> m_pDoc;
    SXLIFFDTD m_dtd;
    tcDictionary* m_pRoot = nullptr;
    std::unique_ptr<CVRSRXDoc> m_pRules;
    int m_nOutputs = 0;
};
