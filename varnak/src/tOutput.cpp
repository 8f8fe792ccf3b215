#include "varnak/include/tOutput.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tString.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tXMLStream.h"
#include "varnak/include/tcNode.h"

#include <functional>
#include <string>

namespace
{
const wchar_t kXLIFFVersion[] = L"1.2";
const wchar_t kXLIFFNamespace[] = L"urn:oasis:names:tc:xliff:document:1.2";
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

enum class teShape
{
    SectionRoot, // XLIFF
    EntryRoot    // TMX, SRX
};

bool IsWritten(const tcAttribute* pAttr)
{
    return pAttr->GetName() != gsInternalIdAttrName;
}

// Every element and attribute name that would be written is one XML accepts; sBad receives the
// first that is not.
bool NamesAreValid(const tcNode* pNode, wxString& sBad)
{
    const tcElement* pElement = pNode->GetElement();
    if (pElement)
    {
        if (!tIsValidXMLName(pElement->GetName()))
        {
            sBad = pElement->GetName();
            return false;
        }
        for (int i = 0; i < pElement->GetNumAttributes(); ++i)
        {
            const tcAttribute* pAttr = pElement->GetAttribute(i);
            if (IsWritten(pAttr) && pNode->HasAttributeValue(pAttr) && !tIsValidXMLName(pAttr->GetName()))
            {
                sBad = pAttr->GetName();
                return false;
            }
        }
    }
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (!NamesAreValid(pChild, sBad))
            return false;
    }
    return true;
}

// The node written as the root element, or null (with the reason) for a document of another shape.
const tcNode* FindRoot(const tcDocument* pDoc, const tcDictionary* pDictionary, teShape eShape, wxString& sWhy)
{
    if (!pDictionary && pDoc)
        pDictionary = pDoc->GetDictionary();
    if (!pDictionary)
    {
        sWhy = L"the document has no dictionary";
        return nullptr;
    }
    if (pDoc && pDictionary->GetDoc() != pDoc)
    {
        sWhy = L"the dictionary belongs to another document";
        return nullptr;
    }
    if (pDictionary->GetNumChildren() != 1 || pDictionary->GetNumSections() != 1)
    {
        sWhy = L"the dictionary does not hold exactly one section";
        return nullptr;
    }
    const tcLanguage* pSection = pDictionary->GetSection(0);
    if (eShape == teShape::SectionRoot)
        return pSection;
    if (pSection->GetNumChildren() != 1 || !pSection->GetChild(0)->IsKindOfClass(NODE_ENTRY))
    {
        sWhy = L"the section does not hold exactly one entry";
        return nullptr;
    }
    return pSection->GetChild(0);
}

void AppendAttribute(wxString& sOut, const wxString& sName, const wxString& sValue)
{
    sOut += L' ';
    sOut += sName;
    sOut += L"=\"";
    tAppendXMLAttributeValue(sOut, sValue);
    sOut += L'"';
}

// The root element's start tag (with the XLIFF additions), without its closing ">" or "/>".
void AppendRootStart(wxString& sOut, const tcNode* pRoot, bool bXLIFF)
{
    const tcElement* pElement = pRoot->GetElement();
    sOut += L'<';
    sOut += pElement->GetName();
    wxString sVersion;
    bool bHasVersion = false;
    bool bHasNamespace = false;
    for (int i = 0; i < pElement->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pElement->GetAttribute(i);
        const wxString* psValue = pRoot->GetAttributePStrValue(pAttr);
        if (!psValue || !IsWritten(pAttr))
            continue;
        AppendAttribute(sOut, pAttr->GetName(), *psValue);
        if (pAttr->GetName() == L"version")
        {
            bHasVersion = true;
            sVersion = *psValue;
        }
        else if (pAttr->GetName() == L"xmlns")
            bHasNamespace = true;
    }
    if (bXLIFF)
    {
        if (!bHasVersion)
            AppendAttribute(sOut, L"version", kXLIFFVersion);
        if (!bHasNamespace && (!bHasVersion || sVersion == kXLIFFVersion))
            AppendAttribute(sOut, L"xmlns", kXLIFFNamespace);
    }
}

// The root of the document to write, or null when it cannot be written (logged).
const tcNode* CheckedRoot(const tcDocument* pDoc, const tcDictionary* pDictionary, teShape eShape,
                          const wchar_t* szWriter)
{
    wxString sWhy;
    const tcNode* pRoot = FindRoot(pDoc, pDictionary, eShape, sWhy);
    if (pRoot && !pRoot->GetElement())
        sWhy = L"the root node has no element kind";
    else if (pRoot && !NamesAreValid(pRoot, sWhy))
        sWhy = L"\"" + sWhy + L"\" is not a valid XML name";
    else if (pRoot)
        sWhy.clear();
    if (!pRoot || !sWhy.empty())
    {
        kvLogError(L"%s: the document cannot be written: %s", szWriter, sWhy.wc_str());
        return nullptr;
    }
    return pRoot;
}

// The text is produced in pieces of about this many units, each handed on as UTF-8, so that the
// whole document is never held as wide text (nor, when writing a file, as bytes).
constexpr size_t kPieceUnits = 1 << 16;

typedef std::function<void(wxString&)> tfnFlush;

// The rest of an element whose start tag (without its ">") is in sText: its content exactly as the
// document holds it, and its end.
void AppendContentAsItStands(const tcNode* pNode, wxString& sText, const tfnFlush& fnFlush)
{
    if (!tWritesXMLChildren(pNode, true))
    {
        sText += L"/>";
        return;
    }
    sText += L'>';
    tStreamXMLChildren(pNode, true, true, sText, kPieceUnits, fnFlush);
    sText += L"</";
    sText += pNode->GetElement()->GetName();
    sText += L'>';
}

// Whether pNode is laid out one child per line: a TMX kind of elements only, holding at least one
// element and no text that would be written.
bool LaysOut(const tcNode* pNode)
{
    if (!tIsTMXLayoutKind(pNode->GetElement()->GetName()))
        return false;
    bool bElements = false;
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (pChild->GetElement())
            bElements = true;
        else if (!pChild->IsClass(NODE_TEXTNODE) || !static_cast<const tcText*>(pChild)->GetText().empty())
            return false;
    }
    return bElements;
}

void AppendLine(wxString& sText, int nDepth)
{
    sText += L'\n';
    sText.append(static_cast<size_t>(nDepth) * 2, L' ');
}

// A TMX element nDepth levels below the root, laid out where LaysOut allows.
void AppendLaidOut(const tcNode* pNode, int nDepth, wxString& sText, const tfnFlush& fnFlush)
{
    AppendRootStart(sText, pNode, false);
    if (!LaysOut(pNode))
    {
        AppendContentAsItStands(pNode, sText, fnFlush);
        return;
    }
    sText += L'>';
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (!pChild->GetElement())
            continue;
        AppendLine(sText, nDepth + 1);
        AppendLaidOut(pChild, nDepth + 1, sText, fnFlush);
        if (sText.length() >= kPieceUnits)
            fnFlush(sText);
    }
    AppendLine(sText, nDepth);
    sText += L"</";
    sText += pNode->GetElement()->GetName();
    sText += L'>';
}

// The XML of the document under pRoot, piece by piece to fnWrite; bLayout for TMX.
void WriteXML(const tcNode* pRoot, bool bXLIFF, bool bLayout, const std::function<void(const std::string&)>& fnWrite)
{
    fnWrite(kDeclaration);
    const tfnFlush Flush = [&](wxString& sText)
    {
        fnWrite(tToUTF8(sText));
        sText.clear();
    };
    wxString sText;
    sText.reserve(kPieceUnits + kPieceUnits / 4);
    if (bLayout)
    {
        sText += L'\n';
        AppendLaidOut(pRoot, 0, sText, Flush);
        sText += L'\n';
    }
    else
    {
        AppendRootStart(sText, pRoot, bXLIFF);
        AppendContentAsItStands(pRoot, sText, Flush);
    }
    Flush(sText);
}

bool Generate(const tcDocument* pDoc, const tcDictionary* pDictionary, teShape eShape, bool bXLIFF, bool bLayout,
              const wchar_t* szWriter, std::string& sOut)
{
    sOut.clear();
    const tcNode* pRoot = CheckedRoot(pDoc, pDictionary, eShape, szWriter);
    if (!pRoot)
        return false;
    WriteXML(pRoot, bXLIFF, bLayout, [&sOut](const std::string& sPiece) { sOut += sPiece; });
    return true;
}

int Output(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath, teShape eShape, bool bXLIFF,
           bool bLayout, const wchar_t* szWriter)
{
    const tcNode* pRoot = CheckedRoot(pDoc, pDictionary, eShape, szWriter);
    if (!pRoot)
        return -1;
    tcAtomicFile file(sPath);
    if (file.IsOpen())
        WriteXML(pRoot, bXLIFF, bLayout, [&file](const std::string& sPiece) { file.Write(sPiece); });
    if (!file.Commit())
    {
        kvLogError(L"%s: %s", szWriter, file.GetError().wc_str());
        return -2;
    }
    return 0;
}
} // namespace

bool tIsTMXLayoutKind(const wxString& sName)
{
    for (const wchar_t* szKind : {L"tmx", L"header", L"body", L"tu", L"tuv", L"ude"})
        if (sName == szKind)
            return true;
    return false;
}

int OutputXLIFF(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath, const SExportOptions&,
                const tsXMLExportOptions&)
{
    return Output(pDoc, pDictionary, sPath, teShape::SectionRoot, true, false, L"OutputXLIFF");
}

int OutputTMX(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath, const SExportOptions&,
              const tsXMLExportOptions&)
{
    return Output(pDoc, pDictionary, sPath, teShape::EntryRoot, false, true, L"OutputTMX");
}

int OutputSRX(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath, const SExportOptions&,
              const tsXMLExportOptions&)
{
    return Output(pDoc, pDictionary, sPath, teShape::EntryRoot, false, false, L"OutputSRX");
}

bool GenerateXLIFF(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut)
{
    return Generate(pDoc, pDictionary, teShape::SectionRoot, true, false, L"OutputXLIFF", sOut);
}

bool GenerateTMX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut)
{
    return Generate(pDoc, pDictionary, teShape::EntryRoot, false, true, L"OutputTMX", sOut);
}

bool GenerateSRX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut)
{
    return Generate(pDoc, pDictionary, teShape::EntryRoot, false, false, L"OutputSRX", sOut);
}
