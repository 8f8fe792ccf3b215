// Element start inside the style-set and DTD sections of native dictionary files.

#include "Shared/ImportXML.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tNumber.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax2/Attributes.hpp>

#include <climits>
#include <utility>
#include <vector>

namespace
{
// The attributes of one element, in the order of its start tag, unescaped.
class CNativeAttrs
{
public:
    explicit CNativeAttrs(const xercesc::Attributes& attrs)
    {
        for (XMLSize_t i = 0; i < attrs.getLength(); ++i)
            m_aValues.emplace_back(tXMLUnescapeString(attrs.getQName(i)), tXMLUnescapeString(attrs.getValue(i)));
    }
    size_t size() const { return m_aValues.size(); }
    const wxString& Name(size_t i) const { return m_aValues[i].first; }
    const wxString& Value(size_t i) const { return m_aValues[i].second; }
    // The first attribute of that name; null when the tag has none.
    const wxString* Find(const wxString& sName) const
    {
        for (const auto& item : m_aValues)
            if (item.first == sName)
                return &item.second;
        return nullptr;
    }

private:
    std::vector<std::pair<wxString, wxString>> m_aValues;
};

// Style texts and scripts carry their line breaks and tabs as backslash-n and backslash-t.
wxString ExpandBreaks(const wxString& sText)
{
    wxString s = sText;
    s.Replace("\\n", "\n");
    s.Replace("\\t", "\t");
    return s;
}

int ReadInt(const wxString& sText)
{
    int n = 0;
    tParseXMLDecimal(sText, n);
    return n;
}

// Sets the style property an attribute names; false for a name that is no property.
bool SetStyleProperty(tcStyle& style, const wxString& sName, const wxString& sValue)
{
    struct TextProperty
    {
        const wchar_t* szName;
        wxString tcStyle::*pMember;
    };
    static const TextProperty s_aText[] = {
        {L"font", &tcStyle::sFont},       {L"colourf", &tcStyle::sColourF}, {L"colourb", &tcStyle::sColourB},
        {L"beforei", &tcStyle::sBeforeI}, {L"afteri", &tcStyle::sAfterI},   {L"beforeo", &tcStyle::sBeforeO},
        {L"aftero", &tcStyle::sAfterO},   {L"beforeg", &tcStyle::sBeforeG}, {L"afterg", &tcStyle::sAfterG},
        {L"between", &tcStyle::sBetween},
    };
    struct IntProperty
    {
        const wchar_t* szName;
        int tcStyle::*pMember;
    };
    static const IntProperty s_aInt[] = {
        {L"bold", &tcStyle::nB},          {L"italic", &tcStyle::nI},    {L"underline", &tcStyle::nU},
        {L"superscript", &tcStyle::nSup}, {L"subscript", &tcStyle::nSub}, {L"smallcaps", &tcStyle::nSC},
        {L"caps", &tcStyle::nC},
    };
    struct RealProperty
    {
        const wchar_t* szName;
        float tcStyle::*pMember;
    };
    static const RealProperty s_aReal[] = {
        {L"fontsize", &tcStyle::fSize},  {L"beforet", &tcStyle::fIndentL},    {L"aftert", &tcStyle::fIndentR},
        {L"firstline", &tcStyle::fIndent}, {L"indent", &tcStyle::fIndentNested}, {L"abovep", &tcStyle::fSpaceA},
        {L"belowp", &tcStyle::fSpaceB},
    };
    for (const TextProperty& property : s_aText)
        if (sName == property.szName)
        {
            style.*property.pMember = sValue;
            return true;
        }
    for (const IntProperty& property : s_aInt)
        if (sName == property.szName)
        {
            style.*property.pMember = ReadInt(sValue);
            return true;
        }
    for (const RealProperty& property : s_aReal)
        if (sName == property.szName)
        {
            style.*property.pMember = tStringToFloat(sValue);
            return true;
        }
    if (sName == "style")
    {
        style.SetStyleFromCSVString(ExpandBreaks(sValue));
        return true;
    }
    if (sName == "paragraph")
    {
        style.SetParagraph(ReadInt(sValue) != 0);
        return true;
    }
    if (sName == "luaModifier")
    {
        style.SetLuaModifier(ExpandBreaks(sValue));
        return true;
    }
    if (sName == "luaModifierText")
    {
        style.SetLuaModifier(sValue);
        return true;
    }
    // Borders: a property name and one letter for the side.
    if (sName.length() < 2)
        return false;
    tcBorder* pBorder = nullptr;
    switch (static_cast<wchar_t>(sName.Last()))
    {
    case L'T':
        pBorder = &style.BorderT;
        break;
    case L'B':
        pBorder = &style.BorderB;
        break;
    case L'L':
        pBorder = &style.BorderL;
        break;
    case L'R':
        pBorder = &style.BorderR;
        break;
    default:
        return false;
    }
    const wxString sProperty = sName.Left(sName.length() - 1);
    if (sProperty == "style")
        pBorder->SetBorderStyle(ReadInt(sValue));
    else if (sProperty == "padding")
        pBorder->SetPadding(tStringToFloat(sValue));
    else if (sProperty == "width")
        pBorder->SetWidth(tStringToFloat(sValue));
    else if (sProperty == "colour")
        pBorder->SetColour(sValue);
    else
        return false;
    return true;
}

// Reads the attributes a rule requires, in their order: true when all are there; otherwise the
// load error of the first one missing is added.
bool RequireAll(CXMLImporter& importer, const CNativeAttrs& attrs,
                std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> aRequired,
                std::vector<wxString>& asValues)
{
    asValues.clear();
    for (const auto& required : aRequired)
    {
        const wxString* psValue = attrs.Find(required.first);
        if (!psValue)
        {
            importer.AddLoadError(required.second);
            return false;
        }
        asValues.push_back(*psValue);
    }
    return true;
}
} // namespace

// ---- Style sets ----------------------------------------------------------------------------------

void CXMLImporter::StartStyleSet(const xercesc::Attributes& xmlAttrs)
{
    m_bInStyleSet = true;
    m_nSectionDepth = m_abOpenedXmlSpace.size();
    const CNativeAttrs attrs(xmlAttrs);
    const wxString* psName = attrs.Find("name");
    if (!psName)
    {
        AddLoadError("styleset with invalid name attribute : not added");
        m_pCurrentStyleSet = nullptr;
        return;
    }
    // The first style set of a file loaded whole takes the place of the set the document was
    // created with. That set leaves only when the load succeeds, so a failed load still has it; and
    // it is the only one replaced, so a set the file gave is never lost to a later section.
    if (m_bLoadingDictionary && !m_bDefaultStyleSetReplaced)
    {
        m_bDefaultStyleSetReplaced = true;
        m_pReplacedStyleSet = m_pDoc->GetStyleSet(0);
    }
    m_pCurrentStyleSet = m_pDoc->AddStyleSet(std::make_unique<tcStyles>(*psName));
}

void CXMLImporter::StartStyleSetContent(const wxString& sName, const xercesc::Attributes& xmlAttrs)
{
    const CNativeAttrs attrs(xmlAttrs);
    tcDTD* pDTD = m_pDoc->GetDTD();
    std::vector<wxString> asValues;

    if (sName == "order")
    {
        if (m_pCurrentStyleSet)
            m_pCurrentOrder = m_pCurrentStyleSet->GetOrder();
        else
            AddLoadError("order with no valid styleset to be added too: ignored");
    }
    else if (sName == "order_element")
    {
        if (!m_pCurrentOrder)
        {
            AddLoadError("order_element with no valid order: ignored");
            return;
        }
        const wxString* psKind = attrs.Find("elementname");
        if (!psKind)
        {
            AddLoadError("Order element with no name - ignored");
            return;
        }
        m_pCurrentOrderElement = pDTD->FindElementByName(*psKind);
        if (!m_pCurrentOrderElement)
        {
            // The orders that follow would refer to kinds that are not there: the file is not one
            // this program can show, so the load fails as a whole.
            StopWithError(kvFormat(L"could not find order element for :  '%s' - no further parsing will be done",
                                   *psKind));
            const long long nLine = m_pLocator ? static_cast<long long>(m_pLocator->getLineNumber()) : 0;
            const long long nColumn = m_pLocator ? static_cast<long long>(m_pLocator->getColumnNumber()) : 0;
            AddLoadError(kvFormat(L"Fatal error in file %s at line %lld , column %lld : the element kind of an "
                                  L"output order is not declared, the file was not loaded",
                                  m_sDatasource, nLine, nColumn));
        }
    }
    else if (sName == "order_item")
    {
        if (!m_pCurrentOrderElement || !m_pCurrentStyleSet)
        {
            AddLoadError("order_item with no valid order element: ignored");
            return;
        }
        if (!RequireAll(*this, attrs,
                        {{L"type", L"order_item with no valid type attribute: not added"},
                         {L"name", L"order_item with no valid name attribute: not added"},
                         {L"visible", L"order_item with no valid visible attribute: not added"}},
                        asValues))
            return;
        const wxString& sType = asValues[0];
        const wxString& sItem = asValues[1];
        const bool bVisible = tParseBoolValue(asValues[2]);
        // A kind or an attribute the writer cannot name would make the document impossible to save.
        if ((sType == "element" && !tIsNativeElementName(sItem)) || (sType == "attribute" && !tIsValidXMLName(sItem)))
        {
            AddLoadError("order_item with no valid name attribute: not added");
            return;
        }
        tcOrder* pOrder = m_pCurrentStyleSet->GetOrder();
        if (sType == "element")
        {
            tcElement* pChild = AddElementFromInstance(m_pDoc, sItem, m_pCurrentOrderElement, nullptr, CHILD_ZEROORMORE);
            pOrder->AddElementOrderChild(m_pCurrentOrderElement, pChild, bVisible);
        }
        else if (sType == "attribute")
        {
            tcAttribute* pAttr = CreateAttributeIfMissing(sItem, m_pCurrentOrderElement);
            // An attribute stands once in the order, at its latest place.
            pOrder->RemoveAttributeCompletely(pAttr);
            pOrder->AddElementOrderAttribute(m_pCurrentOrderElement, pAttr, bVisible);
        }
        else if (sType == "pcdata")
        {
            m_pCurrentOrderElement->SetAllowPCDATA(true);
            pOrder->AddElementOrderPCDATA(m_pCurrentOrderElement, bVisible);
        }
        else
        {
            AddLoadError(kvFormat(L"orderitem with invalid type '%s', not added.", sType));
        }
    }
    else if (sName == "style")
    {
        StartStyle(xmlAttrs);
    }
    else if (sName == "style_autonumber")
    {
        tcAutoNumber record;
        const wxString* psType = attrs.Find("type");
        if (!psType)
        {
            AddLoadError("style_autonumber with invalid type attribute: not added");
            return;
        }
        record.eStyle = ReadInt(*psType);
        const wchar_t* const aszFlags[] = {L"always", L"breadth", L"depth"};
        const wchar_t* const aszMissing[] = {L"style_autonumber with invalid always attribute : not added",
                                             L"style_autonumber with invalid breadth attribute : not added",
                                             L"style_autonumber with invalid depth attribute: not added"};
        bool* const apbFlags[] = {&record.bAlways, &record.bBreadth, &record.bDepth};
        for (int i = 0; i < 3; ++i)
        {
            const wxString* psFlag = attrs.Find(aszFlags[i]);
            if (!psFlag)
            {
                AddLoadError(aszMissing[i]);
                return;
            }
            *apbFlags[i] = tParseBoolValue(*psFlag);
        }
        if (!m_pCurrentAttributeStyle)
        {
            AddLoadError("style_autonumber with no attribute style to add to: not added");
            return;
        }
        m_pCurrentAttributeStyle->aAutoNumber.push_back(record);
    }
}

void CXMLImporter::StartStyle(const xercesc::Attributes& xmlAttrs)
{
    const CNativeAttrs attrs(xmlAttrs);
    if (!m_pCurrentStyleSet)
    {
        AddLoadError("style with no valid styleset to be added to: not added");
        return;
    }
    // The first three attributes say what the style is for, by position.
    if (attrs.size() < 1 || attrs.Name(0) != "type")
    {
        AddLoadError("the 'type' attribute must appear first: not added");
        return;
    }
    const wxString& sType = attrs.Value(0);
    if (sType != "element" && sType != "attribute")
    {
        AddLoadError(kvFormat(L"Style with invalid type '%s', not added.", sType));
        return;
    }
    if (attrs.size() < 2 || attrs.Name(1) != "elementname")
    {
        AddLoadError("the 'elementname' attribute must appear second: not added");
        return;
    }
    tcElement* pKind = m_pDoc->GetDTD()->FindElementByName(attrs.Value(1));
    if (!pKind)
    {
        AddLoadError("style with invalid 'elementname': not added");
        return;
    }
    if (attrs.size() < 3 || attrs.Name(2) != "attributename")
    {
        AddLoadError("the 'attributename' attribute must appear third: not added");
        return;
    }

    tcStyle* pStyle = nullptr;
    if (sType == "element")
    {
        pStyle = m_pCurrentStyleSet->FindElementStyleByName(pKind->GetName());
        if (!pStyle)
            pStyle = m_pCurrentStyleSet->AddStyle(std::make_unique<tcStyleElement>(pKind));
    }
    else
    {
        const wxString& sAttribute = attrs.Value(2);
        if (!pKind->FindAttributeByName(sAttribute))
        {
            AddLoadError("style with invalid 'attributename': not added");
            return;
        }
        tcAttribute* pAttr = CreateAttributeIfMissing(sAttribute, pKind);
        if (!pAttr)
        {
            tAssert(__FILE__, __LINE__, "pAttribute!=NULL");
            return;
        }
        tcStyleAttribute* pAttrStyle = m_pCurrentStyleSet->FindAttributeStyleByName(pKind->GetName(), sAttribute);
        if (!pAttrStyle)
        {
            pAttrStyle = static_cast<tcStyleAttribute*>(
                m_pCurrentStyleSet->AddStyle(std::make_unique<tcStyleAttribute>(pKind, pAttr)));
            m_pCurrentAttributeStyle = pAttrStyle;
        }
        pStyle = pAttrStyle;
    }
    for (size_t i = 3; i < attrs.size(); ++i)
        SetStyleProperty(*pStyle, attrs.Name(i), attrs.Value(i));
}

// ---- The DTD section -----------------------------------------------------------------------------

void CXMLImporter::StartDTDSectionContent(const wxString& sName, const xercesc::Attributes& xmlAttrs)
{
    const CNativeAttrs attrs(xmlAttrs);
    tcDTD* pDTD = m_pDoc->GetDTD();
    std::vector<wxString> asValues;

    if (sName == "specialtypes")
    {
        m_bInSpecialTypes = true;
    }
    else if (sName == "special")
    {
        if (!m_bInSpecialTypes)
            return;
        int nType = -1;
        int nSection = -1;
        wxString sAttr, sElem;
        for (size_t i = 0; i < attrs.size(); ++i)
        {
            const wxString& sAttrName = attrs.Name(i);
            // Only a whole number counts: stray text must not become designation kind 0.
            if (sAttrName == "type")
            {
                if (!tParseXMLDecimal(attrs.Value(i), nType))
                    nType = -1;
            }
            else if (sAttrName == "section")
            {
                if (!tParseXMLDecimal(attrs.Value(i), nSection))
                    nSection = -1;
            }
            else if (sAttrName == "attr")
                sAttr = attrs.Value(i);
            else if (sAttrName == "elem")
                sElem = attrs.Value(i);
            else
            {
                AddLoadError(kvFormat(L"Invalid attribute type \"%s\" on special type element.", sAttrName));
                return;
            }
        }
        if (nType == -1 || nSection == -1 || sElem.empty() || (sAttr.empty() && nType != SPECIAL_SENSE))
        {
            AddLoadError("Warning: Special type element with missing attributes");
            return;
        }
        SpecialTypeRecord record;
        record.nSectionID = static_cast<uint32_t>(nSection);
        record.nKind = static_cast<uint32_t>(nType);
        record.sElementName = sElem;
        record.sAttributeName = sAttr;
        m_aPendingSpecialTypes.push_back(record);
    }
    else if (sName == "dtdlist")
    {
        if (!RequireAll(*this, attrs,
                        {{m_sIdAttributeName.wc_str(), L"dtdlist with no id, not added."},
                         {L"name", L"dtdlist with no name, not added."}},
                        asValues))
            return;
        m_pCurrentList = pDTD->FindListByName(asValues[1]);
        if (!m_pCurrentList)
        {
            int nID = 0;
            // The largest identifier leaves no next one for the lists made after it.
            if (!tParseXMLDecimal(asValues[0], nID) || nID == INT_MAX)
            {
                AddLoadError("dtdlist with invalid id #, not added.");
                return;
            }
            m_pCurrentList = pDTD->AddAttrList(std::make_unique<tcAttrList>(asValues[1], nID));
            if (pDTD->GetNextListID() <= nID)
                pDTD->SetNextListID(nID + 1);
        }
        m_dtd.BindPendingAttrLists(asValues[1], m_pCurrentList);
    }
    else if (sName == "dtdlistitem")
    {
        if (!m_pCurrentList)
        {
            AddLoadError("dtdlistitem with no dtdlist specified, not added.");
            return;
        }
        if (!RequireAll(*this, attrs,
                        {{m_sIdAttributeName.wc_str(), L"dtdlistitem with no id, not added."},
                         {L"name", L"dtdlistitem with no name, not added."}},
                        asValues))
            return;
        int nID = 0;
        if (tParseXMLDecimal(asValues[0], nID) && nID != INT_MAX)
        {
            m_pCurrentList->AddListItem(nID, asValues[1], true);
            return;
        }
        const wxString sWarning = kvFormat(L"dtdlistitem: Invalid list item ID (%s,%s)", asValues[0], asValues[1]);
        AddLoadError(sWarning);
        kvLogVisibleWarning(L"%s", sWarning);
    }
    else if (sName == "listlabelset")
    {
        if (!m_pCurrentList)
        {
            AddLoadError("listlabelset with no dtdlist specified, not added.");
            return;
        }
        const wxString* psName = attrs.Find("name");
        if (!psName)
        {
            AddLoadError("listlabelset with no name, not added.");
            return;
        }
        auto pSet = std::make_unique<tcLabelSet>();
        pSet->SetName(*psName);
        m_pCurrentLabelSet = m_pCurrentList->AddLabelSet(std::move(pSet));
    }
    else if (sName == "listlabel")
    {
        if (!m_pCurrentLabelSet)
        {
            AddLoadError("listlabel with no listlabelset specified, not added.");
            return;
        }
        if (!RequireAll(*this, attrs,
                        {{L"listitemid", L"listlabel with no listitemid, not added."},
                         {L"name", L"listlabel with no name, not added."}},
                        asValues))
            return;
        int nID = 0;
        if (tParseXMLDecimal(asValues[0], nID))
            m_pCurrentLabelSet->AddLabel(nID, asValues[1]);
        else
            kvLogVisibleWarning(L"listlabel: Invalid list item ID (%s,%s)", asValues[0], asValues[1]);
    }
    else if (sName == "xreftype")
    {
        if (!RequireAll(*this, attrs,
                        {{m_sIdAttributeName.wc_str(), L"cross reference type with no id specified, not added."},
                         {L"name", L"cross reference type with no name specified, not added."}},
                        asValues))
            return;
        int nID = 0;
        if (tParseXMLDecimal(asValues[0], nID))
            pDTD->AddCrossRefType(std::make_unique<tcRefType>(nID, asValues[1]));
        else
            kvLogVisibleWarning(L"xreftype: Invalid type ID (%s,%s)", asValues[0], asValues[1]);
    }
    else if (sName == "xreflabelset")
    {
        wxString sSetName = "unnamed";
        if (const wxString* psName = attrs.Find("name"))
            sSetName = *psName;
        else
            AddLoadError("Warning: cross reference labelset with no name specified, not added.");
        auto pSet = std::make_unique<tcRefLabelSet>();
        pSet->SetName(sSetName);
        m_pCurrentRefLabelSet = pDTD->AddRefLabelSet(std::move(pSet));
    }
    else if (sName == "xreflabel")
    {
        if (!RequireAll(*this, attrs,
                        {{L"xreftypeid", L"cross reference label with no type id specified, not added."},
                         {L"labels", L"cross reference label with no labels specified, not added."},
                         {L"labelp", L"cross reference label with no labelp specified, not added."}},
                        asValues))
            return;
        if (!m_pCurrentRefLabelSet)
        {
            AddLoadError("cross reference label with no labelset specified, not added.");
            return;
        }
        int nID = 0;
        if (tParseXMLDecimal(asValues[0], nID))
            m_pCurrentRefLabelSet->AddLabel(nID, asValues[1], asValues[2]);
        else
            kvLogVisibleWarning(L"xreflabel: Invalid type ID (%s,%s,%s)", asValues[0], asValues[1], asValues[2]);
    }
}
