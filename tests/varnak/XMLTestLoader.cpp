#include "tests/varnak/XMLTestLoader.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
void DumpNode(const tcNode* pNode, int nDepth, std::string& sOut)
{
    const std::string sIndent(static_cast<size_t>(nDepth) * 2, ' ');
    const tcElement* pElement = pNode->GetElement();
    if (!pElement)
    {
        sOut += sIndent + "node of class " + std::to_string(pNode->GetClassType()) + "\n";
        return;
    }
    sOut += sIndent + "<" + tToUTF8(pElement->GetName());
    for (int i = 0; i < pElement->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pElement->GetAttribute(i);
        if (const wxString* psValue = pNode->GetAttributePStrValue(pAttr))
            sOut += " " + tToUTF8(pAttr->GetName()) + "=[" + tToUTF8(*psValue) + "]";
    }
    sOut += "\n";
    wxString sText;
    auto flushText = [&]()
    {
        if (!sText.empty())
            sOut += sIndent + "  text[" + tToUTF8(sText) + "]\n";
        sText.clear();
    };
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (pChild->IsClass(NODE_TEXTNODE))
        {
            sText += static_cast<const tcText*>(pChild)->GetText();
            continue;
        }
        flushText();
        if (pChild->IsClass(NODE_CDATA))
            sOut += sIndent + "  cdata[" + tToUTF8(static_cast<const tcCDATA*>(pChild)->GetText()) + "]\n";
        else
            DumpNode(pChild, nDepth + 1, sOut);
    }
    flushText();
}
} // namespace

std::unique_ptr<tcDocument> LoadTestXML(const std::string& sUTF8, teTestFormat eFormat)
{
    auto pDoc = std::make_unique<tcDocument>();
    pDoc->CreateDoc("translate");
    pDoc->CreateEmptyOvraDTD();
    tcDTD* pDTD = pDoc->GetDTD();
    const wchar_t* aszNames[3][2] = {{L"xliff", L"file"}, {L"tmxdoc", L"tmx"}, {L"srxdoc", L"srx"}};
    const auto nFormat = static_cast<size_t>(eFormat);
    pDTD->GetElementByID(ELEMENTID_DICTIONARY)->SetName("xml");
    pDTD->GetElementByID(ELEMENTID_SECTION)->SetName(aszNames[nFormat][0]);
    pDTD->GetElementByID(ELEMENTID_ENTRY)->SetName(aszNames[nFormat][1]);

    tcElement* pScratchKind = AddElement(pDoc.get(), "test-loader-scratch", NODE_NODE, 0, 0, false);
    tcNode* pScratch = pDoc->AllocateElement(pScratchKind);
    if (!pScratch->ParseXML(kvFromUTF8(sUTF8), pDoc.get()))
        return nullptr;
    tcNode* pRoot = nullptr;
    for (tcNode* pChild : pScratch->GetChildren())
    {
        if (pChild->IsElementNode())
        {
            if (pRoot)
                return nullptr;
            pRoot = pChild;
        }
    }
    if (!pRoot)
        return nullptr;
    pScratch->RemoveChild(pRoot);
    pDoc->DeleteTreeFromMem(pScratch);

    auto* pDictionary = static_cast<tcDictionary*>(pDoc->AllocateElementByID(ELEMENTID_DICTIONARY));
    pDoc->SetDictionary(pDictionary);
    if (eFormat == teTestFormat::XLIFF)
    {
        if (!pRoot->IsClass(NODE_SECTION))
            return nullptr;
        pDictionary->AddChildLast(pRoot);
    }
    else
    {
        if (!pRoot->IsClass(NODE_ENTRY))
            return nullptr;
        pDictionary->AddLanguage("")->InsertEntry(static_cast<tcEntry*>(pRoot));
    }
    pDoc->OnLoaded();
    return pDoc;
}

std::string DumpTree(const tcDocument& doc)
{
    std::string sOut;
    if (const tcDictionary* pDictionary = doc.GetDictionary())
    {
        for (const tcNode* pChild : pDictionary->GetChildren())
            DumpNode(pChild, 0, sOut);
    }
    return sOut;
}

std::string ReadFixture(const std::string& sName)
{
    const std::filesystem::path path = std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / sName;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
