// ParseXML and GenerateXML round trips over a fragment from the input, and the escaping routines:
// what is written reads back as the same content, and writing it again gives the same text.
#include "fuzz/FuzzSupport.h"

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <string>

namespace
{
// A document with the minimal dictionary DTD, a root and one section, as the importers leave it.
struct Document
{
    tcDocument doc;
    tcDictionary* pRoot = nullptr;

    Document()
    {
        doc.CreateDoc("fuzz");
        doc.CreateEmptyOvraDTD();
        pRoot = static_cast<tcDictionary*>(doc.AllocateElementByID(ELEMENTID_DICTIONARY));
        doc.SetDictionary(pRoot);
        pRoot->AddLanguage("");
    }

    // A new node of the kind "seg" under the section.
    tcNode* Seg()
    {
        tcElement* pKind = tEnsureElementExists(&doc, "seg", nullptr, false, CHILD_ZEROORMORE);
        tcNode* pNode = doc.AllocateElement(pKind);
        pRoot->GetLanguage(0)->AddChildLast(pNode);
        return pNode;
    }
};

// The text with every character XML forbids replaced, as the writers replace them; a high and a
// low surrogate half side by side stand for one allowed character and are kept.
wxString AsWritten(const wxString& sText)
{
    wxString sOut;
    for (size_t i = 0; i < sText.length(); ++i)
    {
        const uint32_t c = static_cast<uint32_t>(sText[i].GetValue());
        const uint32_t d = i + 1 < sText.length() ? static_cast<uint32_t>(sText[i + 1].GetValue()) : 0;
        if (c >= 0xD800 && c <= 0xDBFF && d >= 0xDC00 && d <= 0xDFFF)
        {
            sOut += wxUniChar(c);
            sOut += wxUniChar(d);
            ++i;
        }
        else
            sOut += tIsXMLChar(c) ? wxUniChar(c) : wxUniChar(0xFFFD);
    }
    return sOut;
}

std::string Show(const wxString& s)
{
    return "[" + s.utf8_string() + "]";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzInit();
    const std::string sBytes(reinterpret_cast<const char*>(pData), nSize);
    wxString sInput = wxString::FromUTF8(sBytes);
    if (sInput.empty() && nSize > 0)
        sInput = wxString::From8BitData(sBytes.data(), sBytes.size());

    Document d;
    tcNode* pFirst = d.Seg();
    if (pFirst->ParseXML(sInput, &d.doc))
    {
        const wxString sWritten = pFirst->GenerateXMLChildren();
        tcNode* pSecond = d.Seg();
        if (!pSecond->ParseXML(sWritten, &d.doc))
            FuzzFail("written content does not parse", Show(sInput) + " -> " + Show(sWritten));
        const wxString sRewritten = pSecond->GenerateXMLChildren();
        if (sRewritten != sWritten)
            FuzzFail("written content changes when read and written again",
                     Show(sInput) + " -> " + Show(sWritten) + " -> " + Show(sRewritten));
        // Characters XML forbids are kept as read and replaced when written.
        if (pSecond->GenerateXMLChildren(false, false) != AsWritten(pFirst->GenerateXMLChildren(false, false)))
            FuzzFail("written content reads back as other text", Show(sInput) + " -> " + Show(sWritten));
    }

    // The characters a document may hold, escaped both ways, read back as themselves.
    wxString sText;
    for (wxUniChar c : sInput)
    {
        if (tIsXMLChar(static_cast<uint32_t>(c.GetValue())))
            sText += c;
    }
    const wxString sAttribute = tEscapeXMLCharacters(sText);
    if (tUnescapeXMLCharacters(sAttribute) != sText)
        FuzzFail("an escaped attribute value does not unescape to its text", Show(sText) + " -> " + Show(sAttribute));
    const wxString sContent = tEscapeXMLCharacters_PCDATA(sText);
    if (tUnescapeXMLCharacters(sContent) != sText)
        FuzzFail("escaped content does not unescape to its text", Show(sText) + " -> " + Show(sContent));
    tcNode* pText = d.Seg();
    if (!pText->ParseXML(sContent, &d.doc))
        FuzzFail("escaped content does not parse", Show(sText) + " -> " + Show(sContent));
    if (pText->GenerateXMLChildren(false, false) != sText)
        FuzzFail("escaped content parses as other text", Show(sText) + " -> " + Show(sContent));
    return 0;
}
