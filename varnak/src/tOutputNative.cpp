// The writer of native dictionary files.

#include "varnak/include/tOutput.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tString.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <set>
#include <unordered_map>

namespace
{
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const wchar_t kDocType[] = L"brindovaicon";
const wchar_t kListSeparator[] = L"brindova__list__seperator";
// The importer takes an attribute called so as the file's own identifier of an entry or node.
const wchar_t kIdAttribute[] = L"id";

// The importer undoes one level of escaping in names and attribute values beyond the parser's
// (it replaces "&gt;", "&lt;", "&amp;", "&apos;", "&quot;"), so every "&" of a value is escaped
// once more before the XML escaping.
wxString ValueForImporter(const wxString& sValue)
{
    wxString s = sValue;
    s.Replace("&", "&amp;");
    return s;
}

void AppendAttribute(wxString& sOut, const wxString& sName, const wxString& sValue)
{
    sOut += L' ';
    sOut += sName;
    sOut += L"=\"";
    tAppendXMLAttributeValue(sOut, ValueForImporter(sValue));
    sOut += L'"';
}

void AppendInt(wxString& sOut, const wxString& sName, long long nValue)
{
    AppendAttribute(sOut, sName, tIntToString(nValue));
}

void AppendReal(wxString& sOut, const wxString& sName, float fValue)
{
    AppendAttribute(sOut, sName, tFloatToString(fValue));
}

void AppendBool(wxString& sOut, const wxString& sName, bool bValue)
{
    AppendAttribute(sOut, sName, bValue ? "1" : "0");
}

bool IsReferencePart(const wxString& sName)
{
    return sName == "reftypegroup" || sName == "reference" || sName == "reflemma" || sName == "refsense";
}

// Attributes of a node kind that the file carries as attributes.
bool IsWrittenAttribute(const tcAttribute* pAttr)
{
    return pAttr->GetName() != gsInternalIdAttrName && pAttr->GetName() != kIdAttribute;
}

const wchar_t* TypeText(teAttrType eType)
{
    switch (eType)
    {
    case ATTR_NDATA:
        return L"NDATA";
    case ATTR_LIST:
        return L"LDATA";
    case ATTR_LISTN:
        return L"LNDATA";
    case ATTR_LISTNS:
        return L"LNSDATA";
    case ATTR_LUASCRIPT:
        return L"LUASCRIPTDATA";
    default:
        return L"CDATA";
    }
}

const wchar_t* DefaultKindText(teDefaultType eDefault)
{
    static const wchar_t* const s_aszKinds[] = {
        L"#NORMAL",       L"#REQUIRED",     L"#IMPLIED",      L"#FIXED",        L"#AUTONUMBER",
        L"#SOUNDFILE",    L"#IMAGEFILE",    L"#VIDEOFILE",    L"#USERCREATED",  L"#USERCHANGED",
        L"#DATECREATED",  L"#DATECHANGED",  L"#HYPERLINK"};
    const int n = static_cast<int>(eDefault);
    return n >= 0 && n < ATTRDEF_MAX ? s_aszKinds[n] : L"#IMPLIED";
}

const wchar_t* MultiplicityMark(teChildRelationConstraint e)
{
    switch (e)
    {
    case CHILD_ZEROORMORE:
        return L"*";
    case CHILD_ONEORMORE:
        return L"+";
    case CHILD_ZEROORONE:
        return L"?";
    default:
        return L"";
    }
}

// An entity value literal: the parser resolves character references in it, the importer then
// the five references, so "&" is escaped for both and the quote and "%" for the parser.
wxString EntityValue(const wxString& sValue)
{
    wxString s = ValueForImporter(sValue);
    s.Replace("&", "&#38;");
    s.Replace("%", "&#37;");
    s.Replace("\"", "&#34;");
    return s;
}

class CNativeWriter
{
public:
    CNativeWriter(const tcDocument& doc, const tcDictionary& dictionary) : m_doc(doc), m_dictionary(dictionary) {}

    // False, with the reason, for a document the format cannot hold.
    bool Check(wxString& sWhy) const;
    wxString Write();

private:
    void NumberNodes(const tcNode* pNode);
    void WriteDocType();
    void WriteKind(const tcElement* pKind, const wxString& sModel);
    wxString ContentModel(const tcElement* pKind) const;
    void WriteDTDSection();
    void WriteDesignations(const tcLanguage* pSection);
    void WriteStyleSet(const tcStyles& set);
    void WriteStyle(const tcStyle& style);
    void WriteNode(const tcNode* pNode);
    void WriteReferences(const tcReferences* pReferences);
    void WriteAttributeValues(const tcNode* pNode, bool bEntry);
    wxString ListValue(const tcNode* pNode, const tcAttribute* pAttr) const;

    const tcDocument& m_doc;
    const tcDictionary& m_dictionary;
    wxString m_sOut;
    // Identifiers in the file of entries and element nodes, by node.
    std::unordered_map<const tcNode*, int> m_mapFileIDs;
    int m_nNextFileID = 1;
};

bool CNativeWriter::Check(wxString& sWhy) const
{
    const tcDTD* pDTD = m_doc.GetDTD();
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
    {
        const tcElement* pKind = pDTD->GetElement(i);
        if (!tIsNativeElementName(pKind->GetName()))
        {
            sWhy = L"\"" + pKind->GetName() + L"\" is not an element name the file can hold";
            return false;
        }
        for (int j = 0; j < pKind->GetNumAttributes(); ++j)
        {
            const wxString& sAttr = pKind->GetAttribute(j)->GetName();
            if (!tIsValidXMLName(sAttr))
            {
                sWhy = L"\"" + sAttr + L"\" is not a valid XML name";
                return false;
            }
        }
    }
    // List names stand in the comments that announce attributes, which cannot hold "--".
    for (int i = 0; i < pDTD->GetNumLists(); ++i)
    {
        if (pDTD->GetAttrList(i)->GetName().Contains("--"))
        {
            sWhy = L"the list name \"" + pDTD->GetAttrList(i)->GetName() + L"\" cannot stand in an XML comment";
            return false;
        }
    }
    for (int i = 0; i < pDTD->GetNumEntities(); ++i)
    {
        if (!tIsValidXMLName(pDTD->GetEntity(i)->GetEntity()))
        {
            sWhy = L"\"" + pDTD->GetEntity(i)->GetEntity() + L"\" is not a valid entity name";
            return false;
        }
    }
    const tcElement* pDictionaryKind = pDTD->GetElementByID(ELEMENTID_DICTIONARY);
    const tcElement* pSectionKind = pDTD->GetElementByID(ELEMENTID_SECTION);
    const tcElement* pEntryKind = pDTD->GetElementByID(ELEMENTID_ENTRY);
    if (!pDictionaryKind || !pSectionKind || !pEntryKind || m_dictionary.GetElement() != pDictionaryKind)
    {
        sWhy = L"the DTD lacks the dictionary, section or entry kind";
        return false;
    }
    return true;
}

void CNativeWriter::NumberNodes(const tcNode* pNode)
{
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (!pChild->GetElement())
            continue;
        if (!pChild->IsKindOfClass(NODE_SECTION))
            m_mapFileIDs[pChild] = m_nNextFileID++;
        NumberNodes(pChild);
    }
}

wxString CNativeWriter::Write()
{
    NumberNodes(&m_dictionary);
    WriteDocType();
    m_sOut += L'<';
    m_sOut += kDocType;
    m_sOut += L'>';
    WriteDTDSection();
    for (int i = 0; i < m_doc.GetNumStyleSets(); ++i)
        WriteStyleSet(*m_doc.GetStyleSet(i));
    WriteNode(&m_dictionary);
    m_sOut += L"</";
    m_sOut += kDocType;
    m_sOut += L'>';
    return m_sOut;
}

// ---- Document type -------------------------------------------------------------------------------

wxString CNativeWriter::ContentModel(const tcElement* pKind) const
{
    const bool bReferences = pKind->GetID() == ELEMENTID_REFERENCES;
    std::vector<const tcChildRelation*> apRelations;
    for (int i = 0; i < pKind->GetNumChildren(); ++i)
    {
        const tcChildRelation* pRelation = pKind->GetChildElement(i);
        if (pRelation->pElement && !IsReferencePart(pRelation->pElement->GetName()))
            apRelations.push_back(pRelation);
    }
    if (pKind->AllowsPCDATA() && !bReferences)
    {
        // Mixed content names each kind once, each any number of times.
        wxString sModel = L"(#PCDATA";
        std::set<const tcElement*> setSeen;
        for (const tcChildRelation* pRelation : apRelations)
        {
            if (setSeen.insert(pRelation->pElement).second)
                sModel += L"|" + pRelation->pElement->GetName();
        }
        return sModel + (setSeen.empty() ? L")" : L")*");
    }
    // The references kind is known by the reference parts its model names.
    wxString sModel = bReferences ? L"(reflemma*" : L"(";
    for (const tcChildRelation* pRelation : apRelations)
    {
        if (sModel.length() > 1)
            sModel += L",";
        sModel += pRelation->pElement->GetName() + MultiplicityMark(pRelation->eConstraint);
    }
    return sModel.length() > 1 ? sModel + L")" : wxString(L"EMPTY");
}

void CNativeWriter::WriteKind(const tcElement* pKind, const wxString& sModel)
{
    m_sOut += L"<!ELEMENT " + pKind->GetName() + L" " + sModel + L">";
    const tcDTD* pDTD = m_doc.GetDTD();
    for (int i = 0; i < pKind->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pKind->GetAttribute(i);
        if (!IsWrittenAttribute(pAttr))
            continue;
        const tcAttrList* pList = pAttr->GetList();
        const bool bListType = pAttr->GetType() == ATTR_LIST || pAttr->GetType() == ATTR_LISTN ||
                               pAttr->GetType() == ATTR_LISTNS;
        const wxString sList = pList && bListType && pDTD->GetListIndex(pList) >= 0 ? pList->GetName() : wxString();
        m_sOut += L"<!-- ATTDATA ";
        m_sOut += TypeText(pAttr->GetType());
        m_sOut += L", " + (sList.empty() ? wxString(L"NONE") : sList) + L", ";
        m_sOut += DefaultKindText(pAttr->GetDefaultType());
        m_sOut += pAttr->TestFlag(0x100) ? L", rtl -->" : L", ltr -->";
        m_sOut += L"<!ATTLIST " + pKind->GetName() + L" " + pAttr->GetName() + L" CDATA ";
        if (pAttr->GetDefault().empty())
            m_sOut += L"#IMPLIED>";
        else
        {
            m_sOut += L'"';
            tAppendXMLAttributeValue(m_sOut, ValueForImporter(pAttr->GetDefault()));
            m_sOut += L"\">";
        }
    }
}

void CNativeWriter::WriteDocType()
{
    const tcDTD* pDTD = m_doc.GetDTD();
    m_sOut += L"<!DOCTYPE ";
    m_sOut += kDocType;
    m_sOut += L" [";
    // The separator's replacement text is "&#38;...;", which an attribute value turns into the text
    // "&brindova__list__seperator;" that the importer splits list values at; other readers of the
    // format know the entity. This writer puts the escaped text itself between values.
    m_sOut += L"<!ENTITY " + wxString(kListSeparator) + L" \"&#38;#38;" + kListSeparator + L";\">";
    static const wchar_t* const s_aszPredefined[] = {L"lt", L"gt", L"amp", L"apos", L"quot"};
    for (int i = 0; i < pDTD->GetNumEntities(); ++i)
    {
        const tcEntity* pEntity = pDTD->GetEntity(i);
        bool bPredefined = pEntity->GetEntity() == kListSeparator;
        for (const wchar_t* szName : s_aszPredefined)
            bPredefined = bPredefined || pEntity->GetEntity() == szName;
        if (!bPredefined)
            m_sOut += L"<!ENTITY " + pEntity->GetEntity() + L" \"" + EntityValue(pEntity->GetValue()) + L"\">";
    }

    const tcElement* pDictionaryKind = pDTD->GetElementByID(ELEMENTID_DICTIONARY);
    const tcElement* pSectionKind = pDTD->GetElementByID(ELEMENTID_SECTION);
    const tcElement* pEntryKind = pDTD->GetElementByID(ELEMENTID_ENTRY);
    m_sOut += L"<!ELEMENT " + wxString(kDocType) + L" (dtd?,styleset*," + pDictionaryKind->GetName() + L")>";
    WriteKind(pDictionaryKind, L"(" + pSectionKind->GetName() + L"*)");
    WriteKind(pSectionKind, L"(" + pEntryKind->GetName() + L"*)");
    WriteKind(pEntryKind, ContentModel(pEntryKind));
    for (int i = 0; i < pDTD->GetNumElements(); ++i)
    {
        const tcElement* pKind = pDTD->GetElement(i);
        if (pKind == pDictionaryKind || pKind == pSectionKind || pKind == pEntryKind || IsReferencePart(pKind->GetName()))
            continue;
        WriteKind(pKind, ContentModel(pKind));
    }
    m_sOut += L"]>";
}

// ---- The DTD section -----------------------------------------------------------------------------

void CNativeWriter::WriteDesignations(const tcLanguage* pSection)
{
    const tcDTD* pDTD = m_doc.GetDTD();
    const auto write = [&](int eKind, const tcAttributeDesc& desc)
    {
        const tcElement* pKind = pDTD->GetElementByID(desc.nElementID);
        if (!pKind)
            return;
        m_sOut += L"<special";
        AppendInt(m_sOut, "type", eKind);
        AppendInt(m_sOut, "section", pSection->GetID());
        AppendAttribute(m_sOut, "elem", pKind->GetName());
        if (eKind != SPECIAL_SENSE)
        {
            const tcAttribute* pAttr = pKind->FindAttributeByID(desc.nAttributeID);
            if (!pAttr)
            {
                m_sOut.erase(m_sOut.rfind(L"<special"));
                return;
            }
            AppendAttribute(m_sOut, "attr", pAttr->GetName());
        }
        m_sOut += L"/>";
    };
    for (const tcAttributeDesc& desc : pSection->m_aTEDesc)
        write(SPECIAL_TE, desc);
    if (pSection->m_FreqDesc.nElementID > 0)
        write(SPECIAL_FREQ, pSection->m_FreqDesc);
    for (const tcAttributeDesc& desc : pSection->m_aSenseDesc)
        write(SPECIAL_SENSE, desc);
    for (const tcAttributeDesc& desc : pSection->m_aOutputLemmaSignDesc)
        write(SPECIAL_OUTPUTLEMMASIGN, desc);
    for (const tcAttributeDesc& desc : pSection->m_aNotesDesc)
        write(SPECIAL_NOTES, desc);
}

void CNativeWriter::WriteDTDSection()
{
    const tcDTD* pDTD = m_doc.GetDTD();
    m_sOut += L"<dtd><specialtypes>";
    for (int i = 0; i < m_dictionary.GetNumSections(); ++i)
        WriteDesignations(m_dictionary.GetSection(i));
    m_sOut += L"</specialtypes>";
    for (int i = 0; i < pDTD->GetNumLists(); ++i)
    {
        const tcAttrList* pList = pDTD->GetAttrList(i);
        m_sOut += L"<dtdlist";
        AppendInt(m_sOut, kIdAttribute, pList->GetID());
        AppendAttribute(m_sOut, "name", pList->GetName());
        m_sOut += L'>';
        for (int j = 0; j < pList->GetNumItems(); ++j)
        {
            m_sOut += L"<dtdlistitem";
            AppendInt(m_sOut, kIdAttribute, pList->GetItemID(j));
            AppendAttribute(m_sOut, "name", pList->GetItemText(j));
            m_sOut += L"/>";
        }
        for (int j = 0; j < pList->GetNumLabelSets(); ++j)
        {
            const tcLabelSet* pSet = pList->GetLabelSet(j);
            m_sOut += L"<listlabelset";
            AppendAttribute(m_sOut, "name", pSet->GetName());
            m_sOut += L'>';
            for (int k = 0; k < pSet->GetNumLabels(); ++k)
            {
                m_sOut += L"<listlabel";
                AppendInt(m_sOut, "listitemid", pSet->GetLabelIDFromIndex(k));
                AppendAttribute(m_sOut, "name", pSet->GetLabelByIndex(k));
                m_sOut += L"/>";
            }
            m_sOut += L"</listlabelset>";
        }
        m_sOut += L"</dtdlist>";
    }
    for (int i = 0; i < pDTD->GetNumCrossRefTypes(); ++i)
    {
        const tcRefType* pType = pDTD->GetCrossRefTypeByIndex(i);
        m_sOut += L"<xreftype";
        AppendInt(m_sOut, kIdAttribute, pType->GetID());
        AppendAttribute(m_sOut, "name", pType->GetName());
        m_sOut += L"/>";
    }
    for (int i = 0; i < pDTD->GetNumRefLabelSets(); ++i)
    {
        const tcRefLabelSet* pSet = pDTD->GetRefLabelSet(i);
        m_sOut += L"<xreflabelset";
        AppendAttribute(m_sOut, "name", pSet->GetName());
        m_sOut += L'>';
        for (int j = 0; j < pSet->GetNumLabels(); ++j)
        {
            const tcRefLabelSet::Label* pLabel = pSet->GetLabel(j);
            m_sOut += L"<xreflabel";
            AppendInt(m_sOut, "xreftypeid", pLabel->nID);
            AppendAttribute(m_sOut, "labels", pLabel->sLabelS);
            AppendAttribute(m_sOut, "labelp", pLabel->sLabelP);
            m_sOut += L"/>";
        }
        m_sOut += L"</xreflabelset>";
    }
    m_sOut += L"</dtd>";
}

// ---- Style sets ----------------------------------------------------------------------------------

void CNativeWriter::WriteStyle(const tcStyle& style)
{
    // Alignment has no attribute of its own; the settings text carries it.
    AppendAttribute(m_sOut, "style", wxString::Format("alignment=%d", style.eAlignment));
    AppendAttribute(m_sOut, "font", style.sFont);
    AppendReal(m_sOut, "fontsize", style.fSize);
    AppendInt(m_sOut, "bold", style.nB);
    AppendInt(m_sOut, "italic", style.nI);
    AppendInt(m_sOut, "underline", style.nU);
    AppendInt(m_sOut, "superscript", style.nSup);
    AppendInt(m_sOut, "subscript", style.nSub);
    AppendInt(m_sOut, "smallcaps", style.nSC);
    AppendInt(m_sOut, "caps", style.nC);
    AppendAttribute(m_sOut, "colourf", style.sColourF);
    AppendAttribute(m_sOut, "colourb", style.sColourB);
    AppendAttribute(m_sOut, "beforei", style.sBeforeI);
    AppendAttribute(m_sOut, "afteri", style.sAfterI);
    AppendAttribute(m_sOut, "beforeo", style.sBeforeO);
    AppendAttribute(m_sOut, "aftero", style.sAfterO);
    AppendAttribute(m_sOut, "beforeg", style.sBeforeG);
    AppendAttribute(m_sOut, "afterg", style.sAfterG);
    AppendAttribute(m_sOut, "between", style.sBetween);
    AppendInt(m_sOut, "paragraph", style.bParagraph ? 1 : 0);
    AppendReal(m_sOut, "beforet", style.fIndentL);
    AppendReal(m_sOut, "aftert", style.fIndentR);
    AppendReal(m_sOut, "firstline", style.fIndent);
    AppendReal(m_sOut, "indent", style.fIndentNested);
    AppendReal(m_sOut, "abovep", style.fSpaceA);
    AppendReal(m_sOut, "belowp", style.fSpaceB);
    const struct
    {
        const wchar_t* szSide;
        const tcBorder* pBorder;
    } aBorders[] = {{L"T", &style.BorderT}, {L"B", &style.BorderB}, {L"L", &style.BorderL}, {L"R", &style.BorderR}};
    for (const auto& border : aBorders)
    {
        AppendInt(m_sOut, wxString(L"style") + border.szSide, border.pBorder->GetBorderStyle());
        AppendReal(m_sOut, wxString(L"padding") + border.szSide, border.pBorder->GetPadding());
        AppendReal(m_sOut, wxString(L"width") + border.szSide, border.pBorder->GetWidth());
        AppendAttribute(m_sOut, wxString(L"colour") + border.szSide, border.pBorder->GetColour());
    }
    // The importer turns backslash-n and backslash-t of "luaModifier" into breaks and tabs (so older
    // files keep reading so); a script holding a backslash goes under a name it reads as it stands.
    const bool bBackslash = style.m_sLuaModifier.find(L'\\') != wxString::npos;
    AppendAttribute(m_sOut, bBackslash ? "luaModifierText" : "luaModifier", style.m_sLuaModifier);
}

void CNativeWriter::WriteStyleSet(const tcStyles& set)
{
    const tcDTD* pDTD = m_doc.GetDTD();
    const auto isLive = [pDTD](const tcElement* pKind) { return pKind && pDTD->GetElementIndex(pKind) >= 0; };
    m_sOut += L"<styleset";
    AppendAttribute(m_sOut, "name", set.GetName());
    m_sOut += L"><order>";
    const tcOrder* pOrder = set.GetOrder();
    for (int i = 0; i < pOrder->GetNumElements(); ++i)
    {
        const tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(i);
        if (!isLive(pItems->GetElement()))
            continue;
        m_sOut += L"<order_element";
        AppendAttribute(m_sOut, "elementname", pItems->GetElement()->GetName());
        m_sOut += L'>';
        for (int j = 0; j < pItems->GetNumOrderItems(); ++j)
        {
            const tcOrderItem* pItem = pItems->GetOrderItem(j);
            wxString sType, sName;
            switch (pItem->GetType())
            {
            case ORDER_ELEMENT:
            {
                const tcElement* pChild = static_cast<const tcOrderElement*>(pItem)->GetElement();
                if (!isLive(pChild))
                    continue;
                sType = L"element";
                sName = pChild->GetName();
                break;
            }
            case ORDER_ATTRIBUTE:
            {
                const tcAttribute* pAttr = static_cast<const tcOrderAttribute*>(pItem)->GetAttribute();
                if (!pAttr || !IsWrittenAttribute(pAttr))
                    continue;
                sType = L"attribute";
                sName = pAttr->GetName();
                break;
            }
            case ORDER_PCDATA:
                sType = L"pcdata";
                break;
            default:
                continue;
            }
            m_sOut += L"<order_item";
            AppendAttribute(m_sOut, "type", sType);
            AppendAttribute(m_sOut, "name", sName);
            AppendBool(m_sOut, "visible", pItem->IsVisible());
            m_sOut += L"/>";
        }
        m_sOut += L"</order_element>";
    }
    m_sOut += L"</order>";
    for (int i = 0; i < set.GetNumStyles(); ++i)
    {
        const tcStyle* pStyle = set.GetStyle(i);
        const tcElement* pKind = nullptr;
        const tcAttribute* pAttr = nullptr;
        if (pStyle->GetType() == STYLE_ELEMENT)
            pKind = static_cast<const tcStyleElement*>(pStyle)->pElement;
        else if (pStyle->GetType() == STYLE_ATTRIBUTE)
        {
            pKind = static_cast<const tcStyleAttribute*>(pStyle)->pElement;
            pAttr = static_cast<const tcStyleAttribute*>(pStyle)->pAttribute;
            if (!pAttr || !IsWrittenAttribute(pAttr))
                continue;
        }
        if (!isLive(pKind))
            continue;
        m_sOut += L"<style";
        AppendAttribute(m_sOut, "type", pAttr ? "attribute" : "element");
        AppendAttribute(m_sOut, "elementname", pKind->GetName());
        AppendAttribute(m_sOut, "attributename", pAttr ? pAttr->GetName() : wxString());
        WriteStyle(*pStyle);
        m_sOut += L"/>";
        // Numbering records follow the attribute style they belong to.
        if (pAttr)
        {
            for (const tcAutoNumber& record : static_cast<const tcStyleAttribute*>(pStyle)->aAutoNumber)
            {
                m_sOut += L"<style_autonumber";
                AppendInt(m_sOut, "type", record.eStyle);
                AppendBool(m_sOut, "always", record.bAlways);
                AppendBool(m_sOut, "breadth", record.bBreadth);
                AppendBool(m_sOut, "depth", record.bDepth);
                m_sOut += L"/>";
            }
        }
    }
    m_sOut += L"</styleset>";
}

// ---- The dictionary ------------------------------------------------------------------------------

wxString CNativeWriter::ListValue(const tcNode* pNode, const tcAttribute* pAttr) const
{
    const tcAttrList* pList = pAttr->GetList();
    const auto itemID = [pList](const wxString& sText)
    {
        const int nIndex = pList->FindByText(sText);
        // An item the list lacks goes by its text, which the importer adds to the list.
        return nIndex >= 0 ? tIntToString(pList->GetItemID(nIndex)) : ValueForImporter(sText);
    };
    if (pAttr->GetType() == ATTR_LIST)
        return itemID(pNode->GetAttributeS(pAttr));
    wxString sValue;
    for (const wxString& sPart : pNode->GetAttributeListN(pAttr))
    {
        if (!sValue.empty())
            sValue += L"&" + wxString(kListSeparator) + L";";
        sValue += itemID(sPart);
    }
    return sValue;
}

void CNativeWriter::WriteAttributeValues(const tcNode* pNode, bool bEntry)
{
    const tcElement* pKind = pNode->GetElement();
    for (int i = 0; i < pKind->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pKind->GetAttribute(i);
        const wxString* psValue = pNode->GetAttributePStrValue(pAttr);
        if (!psValue || !IsWrittenAttribute(pAttr) || (bEntry && pAttr->GetName() == "Incomplete"))
            continue;
        const bool bList = pAttr->GetList() && (pAttr->GetType() == ATTR_LIST || pAttr->GetType() == ATTR_LISTN ||
                                                pAttr->GetType() == ATTR_LISTNS);
        if (!bList)
        {
            AppendAttribute(m_sOut, pAttr->GetName(), *psValue);
            continue;
        }
        // The value is escaped once for the importer part by part, the separator excepted, so the
        // parser gives the importer the separator text it splits at. (Written as a reference to the
        // declared entity it would count as an entity expansion, and a large dictionary would trip
        // the parser's guard against entity bombs.)
        m_sOut += L' ' + pAttr->GetName() + L"=\"";
        tAppendXMLAttributeValue(m_sOut, ListValue(pNode, pAttr));
        m_sOut += L'"';
    }
}

void CNativeWriter::WriteReferences(const tcReferences* pReferences)
{
    for (int i = 0; i < pReferences->GetNumRefEntries(); ++i)
    {
        const tcEntry* pEntry = pReferences->GetRefEntry(i);
        auto itEntry = m_mapFileIDs.find(pEntry);
        if (!pEntry || itEntry == m_mapFileIDs.end())
            continue;
        m_sOut += L"<reflemma";
        AppendInt(m_sOut, "lemmaid", itEntry->second);
        AppendInt(m_sOut, "type", pReferences->GetRefType(i));
        m_sOut += L'>';
        for (int j = 0; j < pReferences->GetNumRefSenses(i); ++j)
        {
            auto itSense = m_mapFileIDs.find(pReferences->GetRefSense(i, j));
            if (itSense == m_mapFileIDs.end())
                continue;
            m_sOut += L"<refsense";
            AppendInt(m_sOut, "senseid", itSense->second);
            m_sOut += L"/>";
        }
        m_sOut += L"</reflemma>";
    }
}

void CNativeWriter::WriteNode(const tcNode* pNode)
{
    switch (pNode->GetClassType())
    {
    case NODE_TEXTNODE:
        tAppendXMLText(m_sOut, static_cast<const tcText*>(pNode)->GetText());
        return;
    case NODE_CDATA:
        tAppendXMLCDATA(m_sOut, static_cast<const tcCDATA*>(pNode)->GetText());
        return;
    default:
        break;
    }
    const tcElement* pKind = pNode->GetElement();
    if (!pKind)
        return;
    const bool bSection = pNode->IsKindOfClass(NODE_SECTION);
    const bool bEntry = pNode->IsKindOfClass(NODE_ENTRY);
    m_sOut += L'<' + pKind->GetName();
    auto itID = m_mapFileIDs.find(pNode);
    if (bSection)
        AppendInt(m_sOut, kIdAttribute, pNode->GetID());
    else if (itID != m_mapFileIDs.end())
        AppendInt(m_sOut, kIdAttribute, itID->second);
    WriteAttributeValues(pNode, bEntry);
    if (bEntry && static_cast<const tcEntry*>(pNode)->IsIncomplete())
        AppendBool(m_sOut, "Incomplete", true);
    const size_t nStartTagEnd = m_sOut.length();
    m_sOut += L'>';
    const size_t nContentStart = m_sOut.length();
    if (pNode->IsKindOfClass(NODE_REFERENCES))
        WriteReferences(static_cast<const tcReferences*>(pNode));
    for (const tcNode* pChild : pNode->GetChildren())
    {
        // The dictionary holds sections only and a section entries only: nothing else reads back.
        if (pNode == &m_dictionary && !pChild->IsKindOfClass(NODE_SECTION))
            continue;
        if (bSection && !pChild->IsKindOfClass(NODE_ENTRY))
            continue;
        WriteNode(pChild);
    }
    if (m_sOut.length() == nContentStart)
    {
        m_sOut.replace(nStartTagEnd, 1, L"/>");
        return;
    }
    m_sOut += L"</" + pKind->GetName() + L'>';
}

bool Generate(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut)
{
    sOut.clear();
    if (!pDictionary && pDoc)
        pDictionary = pDoc->GetDictionary();
    wxString sWhy;
    if (!pDoc || !pDictionary)
        sWhy = L"the document has no dictionary";
    else if (pDictionary->GetDoc() != pDoc)
        sWhy = L"the dictionary belongs to another document";
    if (sWhy.empty())
    {
        CNativeWriter writer(*pDoc, *pDictionary);
        if (writer.Check(sWhy))
        {
            sOut = kDeclaration;
            sOut += tToUTF8(writer.Write());
            return true;
        }
    }
    kvLogError(L"OutputNative: the document cannot be written: %s", sWhy.wc_str());
    return false;
}
} // namespace

int OutputNative(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath, const SExportOptions&,
                 const tsXMLExportOptions&)
{
    std::string sBytes;
    if (!Generate(pDoc, pDictionary, sBytes))
        return -1;
    wxString sError;
    if (!tWriteFileAtomically(sPath, sBytes, &sError))
    {
        kvLogError(L"OutputNative: %s", sError.wc_str());
        return -2;
    }
    return 0;
}

bool tIsNativeElementName(const wxString& sName)
{
    // A kind named like the wrapper would be declared twice.
    return tIsValidXMLName(sName) && !sName.Contains(":") && sName != kDocType;
}

bool GenerateNative(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut)
{
    return Generate(pDoc, pDictionary, sOut);
}
