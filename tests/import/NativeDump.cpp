#include "tests/import/NativeDump.h"

#include "varnak/include/tNumber.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

namespace
{
wxString Text(const wxString& s)
{
    wxString sOut = "\"";
    for (wxUniChar c : s)
    {
        if (c == '\n')
            sOut += "\\n";
        else if (c == '\t')
            sOut += "\\t";
        else if (c == '"' || c == '\\')
            sOut += wxString("\\") + c;
        else
            sOut += c;
    }
    return sOut + "\"";
}

wxString Real(float f)
{
    return tFloatToString(f);
}

wxString Border(const char* szSide, const tcBorder& border)
{
    return wxString::Format(" border%s=%d/%s/%s/", szSide, border.GetBorderStyle(), Real(border.GetPadding()),
                            Real(border.GetWidth())) +
           Text(border.GetColour());
}

wxString StyleProperties(const tcStyle& s)
{
    wxString sOut;
    sOut += " font=" + Text(s.sFont) + " size=" + Real(s.fSize);
    sOut += wxString::Format(" b=%d i=%d u=%d sup=%d sub=%d sc=%d c=%d", s.nB, s.nI, s.nU, s.nSup, s.nSub, s.nSC, s.nC);
    sOut += " colourf=" + Text(s.sColourF) + " colourb=" + Text(s.sColourB);
    sOut += " beforei=" + Text(s.sBeforeI) + " afteri=" + Text(s.sAfterI) + " beforeo=" + Text(s.sBeforeO) +
            " aftero=" + Text(s.sAfterO) + " beforeg=" + Text(s.sBeforeG) + " afterg=" + Text(s.sAfterG) +
            " between=" + Text(s.sBetween);
    sOut += wxString::Format(" paragraph=%d align=%d", s.bParagraph ? 1 : 0, s.eAlignment);
    sOut += " indentl=" + Real(s.fIndentL) + " indentr=" + Real(s.fIndentR) + " indent=" + Real(s.fIndent) +
            " nested=" + Real(s.fIndentNested) + " spacea=" + Real(s.fSpaceA) + " spaceb=" + Real(s.fSpaceB);
    sOut += Border("T", s.BorderT) + Border("B", s.BorderB) + Border("L", s.BorderL) + Border("R", s.BorderR);
    sOut += " lua=" + Text(s.m_sLuaModifier);
    return sOut;
}

wxString KindName(const tcElement* pKind)
{
    return pKind ? pKind->GetName() : wxString("?");
}
} // namespace

wxString DumpStyleSets(const tcDocument& doc)
{
    wxString sOut;
    for (int i = 0; i < doc.GetNumStyleSets(); ++i)
    {
        const tcStyles* pSet = doc.GetStyleSet(i);
        sOut += "styleset " + Text(pSet->GetName()) + "\n";
        const tcOrder* pOrder = pSet->GetOrder();
        for (int j = 0; j < pOrder->GetNumElements(); ++j)
        {
            const tcElementOrderItems* pItems = pOrder->GetOrderElementByIndex(j);
            sOut += "  order " + KindName(pItems->GetElement()) + ":";
            for (int k = 0; k < pItems->GetNumOrderItems(); ++k)
            {
                const tcOrderItem* pItem = pItems->GetOrderItem(k);
                const char* szHidden = pItem->IsVisible() ? "" : "(hidden)";
                switch (pItem->GetType())
                {
                case ORDER_ELEMENT:
                    sOut += " <" + KindName(static_cast<const tcOrderElement*>(pItem)->GetElement()) + ">" + szHidden;
                    break;
                case ORDER_ATTRIBUTE:
                {
                    const tcAttribute* pAttr = static_cast<const tcOrderAttribute*>(pItem)->GetAttribute();
                    sOut += " @" + (pAttr ? pAttr->GetName() : wxString("?")) + szHidden;
                    break;
                }
                default:
                    sOut += wxString(" #text") + szHidden;
                    break;
                }
            }
            sOut += "\n";
        }
        for (int j = 0; j < pSet->GetNumStyles(); ++j)
        {
            const tcStyle* pStyle = pSet->GetStyle(j);
            if (pStyle->GetType() == STYLE_ATTRIBUTE)
            {
                const auto* pAttrStyle = static_cast<const tcStyleAttribute*>(pStyle);
                sOut += "  style " + KindName(pAttrStyle->pElement) + "@" +
                        (pAttrStyle->pAttribute ? pAttrStyle->pAttribute->GetName() : wxString("?")) + ":" +
                        StyleProperties(*pStyle) + "\n";
                for (const tcAutoNumber& record : pAttrStyle->aAutoNumber)
                    sOut += wxString::Format("    autonumber type=%d always=%d breadth=%d depth=%d\n", record.eStyle,
                                             record.bAlways ? 1 : 0, record.bBreadth ? 1 : 0, record.bDepth ? 1 : 0);
            }
            else
            {
                sOut += "  style " + KindName(static_cast<const tcStyleElement*>(pStyle)->pElement) + ":" +
                        StyleProperties(*pStyle) + "\n";
            }
        }
    }
    return sOut;
}

wxString DumpDTDSection(const tcDocument& doc)
{
    wxString sOut;
    const tcDTD* pDTD = doc.GetDTD();
    const auto desc = [pDTD](const tcAttributeDesc& d)
    {
        const tcElement* pKind = pDTD->GetElementByID(d.nElementID);
        const tcAttribute* pAttr = pKind ? pKind->FindAttributeByID(d.nAttributeID) : nullptr;
        return KindName(pKind) + "@" + (pAttr ? pAttr->GetName() : wxString::Format("%d", d.nAttributeID));
    };
    for (int i = 0; i < doc.GetNumSections(); ++i)
    {
        const tcLanguage* pSection = doc.GetSection(i);
        sOut += wxString::Format("section #%d", static_cast<int>(pSection->GetID()));
        const struct
        {
            const char* szName;
            const std::vector<tcAttributeDesc>* paList;
        } aLists[] = {{"te", &pSection->m_aTEDesc},
                      {"sense", &pSection->m_aSenseDesc},
                      {"lemmasign", &pSection->m_aOutputLemmaSignDesc},
                      {"notes", &pSection->m_aNotesDesc}};
        for (const auto& list : aLists)
            for (const tcAttributeDesc& d : *list.paList)
                sOut += wxString(" ") + list.szName + "=" + desc(d);
        if (pSection->m_FreqDesc.nElementID > 0)
            sOut += " freq=" + desc(pSection->m_FreqDesc);
        sOut += "\n";
    }
    for (int i = 0; i < pDTD->GetNumLists(); ++i)
    {
        const tcAttrList* pList = pDTD->GetAttrList(i);
        sOut += wxString::Format("list %d ", pList->GetID()) + Text(pList->GetName()) + ":";
        for (int j = 0; j < pList->GetNumItems(); ++j)
            sOut += wxString::Format(" %d=", pList->GetItemID(j)) + Text(pList->GetItemText(j));
        sOut += "\n";
        for (int j = 0; j < pList->GetNumLabelSets(); ++j)
        {
            const tcLabelSet* pSet = pList->GetLabelSet(j);
            sOut += "  labels " + Text(pSet->GetName()) + ":";
            for (int k = 0; k < pSet->GetNumLabels(); ++k)
                sOut += wxString::Format(" %d=", pSet->GetLabelIDFromIndex(k)) + Text(pSet->GetLabelByIndex(k));
            sOut += "\n";
        }
    }
    sOut += wxString::Format("next list %d\n", pDTD->GetNextListID());
    for (int i = 0; i < pDTD->GetNumCrossRefTypes(); ++i)
    {
        const tcRefType* pType = pDTD->GetCrossRefTypeByIndex(i);
        sOut += wxString::Format("xreftype %d ", pType->GetID()) + Text(pType->GetName()) + "\n";
    }
    for (int i = 0; i < pDTD->GetNumRefLabelSets(); ++i)
    {
        const tcRefLabelSet* pSet = pDTD->GetRefLabelSet(i);
        sOut += "xreflabels " + Text(pSet->GetName()) + ":";
        for (int j = 0; j < pSet->GetNumLabels(); ++j)
        {
            const tcRefLabelSet::Label* pLabel = pSet->GetLabel(j);
            sOut += wxString::Format(" %d=", pLabel->nID) + Text(pLabel->sLabelS) + "/" + Text(pLabel->sLabelP);
        }
        sOut += "\n";
    }
    return sOut;
}

wxString DumpNative(const tcDocument& doc)
{
    return DumpStyleSets(doc) + "--\n" + DumpDTDSection(doc);
}
