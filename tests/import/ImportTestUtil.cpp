#include "tests/import/ImportTestUtil.h"

#include "varnak/include/tcDTD.h"
#include "varnak/include/tcNode.h"

std::filesystem::path ImportFixture(const std::string& sName)
{
    return std::filesystem::path(LINTRADO_FIXTURES_DIR) / "import" / sName;
}

wxString ReadFixtureText(const std::filesystem::path& path)
{
    return wxString::FromUTF8(ReadBytes(path));
}

namespace
{
wxString Escaped(const wxString& sText)
{
    wxString s;
    for (wxUniChar c : sText)
    {
        if (c == '\n')
            s += "\\n";
        else if (c == '\t')
            s += "\\t";
        else if (c == '\\')
            s += "\\\\";
        else
            s += c;
    }
    return s;
}

const char* ConstraintMark(teChildRelationConstraint e)
{
    switch (e)
    {
    case CHILD_ZEROORMORE:
        return "*";
    case CHILD_ONEORMORE:
        return "+";
    case CHILD_ZEROORONE:
        return "?";
    default:
        return "";
    }
}

void DumpNode(const tcNode* pNode, int nDepth, bool bIDs, wxString& sOut)
{
    sOut += wxString(' ', 2 * nDepth);
    switch (pNode->GetClassType())
    {
    case NODE_TEXTNODE:
        sOut += "\"" + Escaped(static_cast<const tcText*>(pNode)->GetText()) + "\"\n";
        return;
    case NODE_CDATA:
        sOut += "[[" + Escaped(static_cast<const tcCDATA*>(pNode)->GetText()) + "]]\n";
        return;
    default:
        break;
    }
    sOut += pNode->GetElementName();
    if (bIDs)
        sOut += wxString::Format(" #%d", pNode->GetID());
    const tcElement* pKind = pNode->GetElement();
    for (int i = 0; pKind && i < pKind->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pKind->GetAttribute(i);
        if (pNode->HasAttributeValue(pAttr))
            sOut += " " + pAttr->GetName() + "=\"" + Escaped(pNode->GetAttributeS(pAttr)) + "\"";
    }
    sOut += "\n";
    for (const tcNode* pChild : pNode->GetChildren())
        DumpNode(pChild, nDepth + 1, bIDs, sOut);
}
} // namespace

wxString DumpKinds(const tcDocument& doc)
{
    wxString sOut;
    const tcDTD* pDTD = doc.GetDTD();
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
    {
        const tcElement* pKind = pDTD->GetElement(i);
        sOut += wxString::Format("kind %d %s class=%d", pKind->GetID(), pKind->GetName(), int(pKind->GetClass()));
        if (pKind->AllowsPCDATA())
            sOut += " text";
        sOut += " children=[";
        for (int j = 0; j < pKind->GetNumChildren(); ++j)
        {
            const tcChildRelation* pRel = pKind->GetChildElement(j);
            sOut += (j ? " " : "") + pRel->pElement->GetName() + ConstraintMark(pRel->eConstraint);
        }
        sOut += "] attrs=[";
        for (int j = 0; j < pKind->GetNumAttributes(); ++j)
        {
            const tcAttribute* pAttr = pKind->GetAttribute(j);
            sOut += wxString::Format("%s%s#%d", j ? " " : "", pAttr->GetName(), pAttr->GetID());
        }
        sOut += "]\n";
    }
    return sOut;
}

wxString DumpTree(const tcNode* pNode, bool bIDs)
{
    wxString sOut;
    if (pNode)
        DumpNode(pNode, 0, bIDs, sOut);
    return sOut;
}

wxString DumpDocument(const tcDocument& doc, bool bIDs)
{
    return DumpKinds(doc) + "--\n" + DumpTree(doc.GetDictionary(), bIDs);
}

void TestImporter::endDocument()
{
    if (m_pDoc)
        sDumpAtEnd = DumpDocument(*m_pDoc);
    aGroupsAtEnd.clear();
    for (const auto& pGroup : m_crossRefs.Groups())
        aGroupsAtEnd.push_back(*pGroup);
    CXMLImporter::endDocument();
}

LoadOutcome LoadInto(CXMLImporter& importer, tcDocument& doc, const std::filesystem::path& path)
{
    doc.CreateDoc("test");
    importer.AttachDoc(&doc);
    importer.OpenDatasource(wxString(path.wstring()));
    LoadOutcome outcome;
    int nProgress = 0;
    outcome.nResult = importer.LoadDictionary(nProgress, nullptr);
    for (int i = 0; i < importer.GetNumLoadErrors(); ++i)
        outcome.asErrors.push_back(importer.GetLoadError(i));
    return outcome;
}
