#include "varnak/include/tcStyles.h"

#include "varnak/include/tcDTD.h"

#include <algorithm>

namespace
{
template <typename T> bool InRange(const std::vector<T>& v, int nIndex)
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < v.size();
}

wxString EscapeValue(const wxString& s)
{
    wxString sOut;
    for (wxUniChar c : s)
    {
        if (c == '\\' || c == ',')
            sOut += '\\';
        sOut += c;
    }
    return sOut;
}

// Splits at commas that are not escaped and removes the escapes.
std::vector<wxString> SplitPairs(const wxString& s)
{
    std::vector<wxString> asParts(1);
    for (size_t i = 0; i < s.length(); ++i)
    {
        const wxUniChar c = s[i];
        if (c == '\\' && i + 1 < s.length())
            asParts.back() += s[++i];
        else if (c == ',')
            asParts.emplace_back();
        else
            asParts.back() += c;
    }
    return asParts;
}

wxString FormatFloat(float f)
{
    return wxString::FromCDouble(f);
}
} // namespace

// ----- Output order -----------------------------------------------------------------------------------

tcOrderItem* tcElementOrderItems::GetOrderItem(int nIndex) const
{
    return InRange(m_apItems, nIndex) ? m_apItems[nIndex].get() : nullptr;
}

tcOrderItem* tcElementOrderItems::AddOrderItem(std::unique_ptr<tcOrderItem> pItem)
{
    if (!pItem)
        return nullptr;
    pItem->m_owner.Set(this);
    m_apItems.push_back(std::move(pItem));
    return m_apItems.back().get();
}

tcOrderItem* tcElementOrderItems::AddOrderItem(tcOrderItem* pItem)
{
    if (!pItem || pItem->GetOwner())
        return nullptr;
    return AddOrderItem(std::unique_ptr<tcOrderItem>(pItem));
}

bool tcElementOrderItems::RemoveOrderItem(int nIndex)
{
    if (!InRange(m_apItems, nIndex))
        return false;
    m_apItems.erase(m_apItems.begin() + nIndex);
    return true;
}

bool tcElementOrderItems::SwopItems(int nIndex1, int nIndex2)
{
    if (!InRange(m_apItems, nIndex1) || !InRange(m_apItems, nIndex2))
        return false;
    std::swap(m_apItems[nIndex1], m_apItems[nIndex2]);
    return true;
}

int tcElementOrderItems::FindIndexPCDATA() const
{
    for (size_t i = 0; i < m_apItems.size(); ++i)
        if (m_apItems[i]->GetType() == ORDER_PCDATA)
            return static_cast<int>(i);
    return -1;
}

int tcElementOrderItems::FindIndexAttribute(const tcAttribute* pAttr) const
{
    for (size_t i = 0; i < m_apItems.size(); ++i)
        if (m_apItems[i]->GetType() == ORDER_ATTRIBUTE &&
            static_cast<const tcOrderAttribute*>(m_apItems[i].get())->GetAttribute() == pAttr)
            return static_cast<int>(i);
    return -1;
}

int tcElementOrderItems::FindIndexElement(const tcElement* pChild) const
{
    for (size_t i = 0; i < m_apItems.size(); ++i)
        if (m_apItems[i]->GetType() == ORDER_ELEMENT &&
            static_cast<const tcOrderElement*>(m_apItems[i].get())->GetElement() == pChild)
            return static_cast<int>(i);
    return -1;
}

tcOrderElement* tcElementOrderItems::GetElementItem(const tcElement* pChild) const
{
    return static_cast<tcOrderElement*>(GetOrderItem(FindIndexElement(pChild)));
}

tcElementOrderItems* tcOrder::Ensure(tcElement* pElement)
{
    if (tcElementOrderItems* pExisting = GetOrderElement(pElement))
        return pExisting;
    m_apElements.push_back(std::make_unique<tcElementOrderItems>(pElement));
    return m_apElements.back().get();
}

bool tcOrder::AddElementOrderPCDATA(tcElement* pElement, bool bVisible)
{
    if (!pElement)
        return false;
    tcElementOrderItems* pItems = Ensure(pElement);
    if (tcOrderItem* pItem = pItems->GetOrderItem(pItems->FindIndexPCDATA()))
        pItem->SetVisible(bVisible);
    else
        pItems->AddOrderItem(std::make_unique<tcOrderPCDATA>(bVisible));
    return true;
}

bool tcOrder::AddElementOrderChild(tcElement* pElement, tcElement* pChild, bool bVisible)
{
    if (!pElement || !pChild)
        return false;
    tcElementOrderItems* pItems = Ensure(pElement);
    if (tcOrderItem* pItem = pItems->GetElementItem(pChild))
        pItem->SetVisible(bVisible);
    else
        pItems->AddOrderItem(std::make_unique<tcOrderElement>(pChild, bVisible));
    return true;
}

bool tcOrder::AddElementOrderAttribute(tcElement* pElement, tcAttribute* pAttr, bool bVisible)
{
    if (!pElement || !pAttr)
        return false;
    tcElementOrderItems* pItems = Ensure(pElement);
    if (tcOrderItem* pItem = pItems->GetOrderItem(pItems->FindIndexAttribute(pAttr)))
        pItem->SetVisible(bVisible);
    else
        pItems->AddOrderItem(std::make_unique<tcOrderAttribute>(pAttr, bVisible));
    return true;
}

bool tcOrder::RemoveElementOrderPCDATA(tcElement* pElement)
{
    tcElementOrderItems* pItems = GetOrderElement(pElement);
    return pItems && pItems->RemoveOrderItem(pItems->FindIndexPCDATA());
}

bool tcOrder::RemoveElementOrderChild(tcElement* pElement, tcElement* pChild)
{
    tcElementOrderItems* pItems = GetOrderElement(pElement);
    return pItems && pItems->RemoveOrderItem(pItems->FindIndexElement(pChild));
}

tcElementOrderItems* tcOrder::GetOrderElement(const tcElement* pElement) const
{
    for (const auto& p : m_apElements)
        if (p->GetElement() == pElement)
            return p.get();
    return nullptr;
}

tcElementOrderItems* tcOrder::GetOrderElementByIndex(int nIndex) const
{
    return InRange(m_apElements, nIndex) ? m_apElements[nIndex].get() : nullptr;
}

bool tcOrder::RemoveOrderElement(const tcElement* pElement)
{
    const size_t nBefore = m_apElements.size();
    std::erase_if(m_apElements, [pElement](const auto& p) { return p->GetElement() == pElement; });
    return m_apElements.size() != nBefore;
}

void tcOrder::RemoveElementCompletely(const tcElement* pElement)
{
    RemoveOrderElement(pElement);
    for (const auto& pItems : m_apElements)
        while (pItems->RemoveOrderItem(pItems->FindIndexElement(pElement)))
        {
        }
}

void tcOrder::CopyFrom(const tcOrder& source)
{
    if (&source == this)
        return;
    Destroy();
    for (const auto& pSourceItems : source.m_apElements)
    {
        tcElementOrderItems* pItems = Ensure(pSourceItems->GetElement());
        for (int i = 0; i < pSourceItems->GetNumOrderItems(); ++i)
        {
            const tcOrderItem* pItem = pSourceItems->GetOrderItem(i);
            switch (pItem->GetType())
            {
            case ORDER_ELEMENT:
                pItems->AddOrderItem(std::make_unique<tcOrderElement>(
                    static_cast<const tcOrderElement*>(pItem)->GetElement(), pItem->IsVisible()));
                break;
            case ORDER_ATTRIBUTE:
                pItems->AddOrderItem(std::make_unique<tcOrderAttribute>(
                    static_cast<const tcOrderAttribute*>(pItem)->GetAttribute(), pItem->IsVisible()));
                break;
            case ORDER_PCDATA:
                pItems->AddOrderItem(std::make_unique<tcOrderPCDATA>(pItem->IsVisible()));
                break;
            }
        }
    }
}

void tcOrder::RemoveAttributeCompletely(const tcAttribute* pAttr)
{
    for (const auto& pItems : m_apElements)
        while (pItems->RemoveOrderItem(pItems->FindIndexAttribute(pAttr)))
        {
        }
}

// ----- tcStyle ----------------------------------------------------------------------------------------

wxString tcStyle::GetStyleAsCSVString() const
{
    std::vector<std::pair<const char*, wxString>> aPairs = {
        {"font", sFont},
        {"fontsize", FormatFloat(fSize)},
        {"bold", wxString::Format("%d", nB)},
        {"italic", wxString::Format("%d", nI)},
        {"underline", wxString::Format("%d", nU)},
        {"superscript", wxString::Format("%d", nSup)},
        {"subscript", wxString::Format("%d", nSub)},
        {"smallcaps", wxString::Format("%d", nSC)},
        {"caps", wxString::Format("%d", nC)},
        {"colourf", sColourF},
        {"colourb", sColourB},
        {"beforei", sBeforeI},
        {"afteri", sAfterI},
        {"beforeo", sBeforeO},
        {"aftero", sAfterO},
        {"beforeg", sBeforeG},
        {"afterg", sAfterG},
        {"between", sBetween},
        {"paragraph", bParagraph ? "1" : "0"},
        {"alignment", wxString::Format("%d", eAlignment)},
        {"indentnested", FormatFloat(fIndentNested)},
        {"indent", FormatFloat(fIndent)},
        {"indentl", FormatFloat(fIndentL)},
        {"indentr", FormatFloat(fIndentR)},
        {"spacea", FormatFloat(fSpaceA)},
        {"spaceb", FormatFloat(fSpaceB)},
    };
    wxString sOut;
    for (const auto& pair : aPairs)
    {
        if (!sOut.empty())
            sOut += ',';
        sOut += wxString(pair.first) + "=" + EscapeValue(pair.second);
    }
    return sOut;
}

int tcStyle::SetStyleFromCSVString(const wxString& sCSV)
{
    int nApplied = 0;
    for (const wxString& sPair : SplitPairs(sCSV))
    {
        const size_t nEq = sPair.find('=');
        if (nEq == wxString::npos)
            continue;
        const wxString sKey = sPair.substr(0, nEq).Strip(wxString::both);
        const wxString sValue = sPair.substr(nEq + 1);
        long n = 0;
        double d = 0;
        const bool bInt = sValue.ToLong(&n);
        const bool bReal = sValue.ToCDouble(&d);
        const int nInt = static_cast<int>(n);
        const float f = static_cast<float>(d);
        bool bDone = true;
        if (sKey == "font")
            sFont = sValue;
        else if (sKey == "colourf")
            sColourF = sValue;
        else if (sKey == "colourb")
            sColourB = sValue;
        else if (sKey == "beforei")
            sBeforeI = sValue;
        else if (sKey == "afteri")
            sAfterI = sValue;
        else if (sKey == "beforeo")
            sBeforeO = sValue;
        else if (sKey == "aftero")
            sAfterO = sValue;
        else if (sKey == "beforeg")
            sBeforeG = sValue;
        else if (sKey == "afterg")
            sAfterG = sValue;
        else if (sKey == "between")
            sBetween = sValue;
        else if (bInt && sKey == "bold")
            nB = nInt;
        else if (bInt && sKey == "italic")
            nI = nInt;
        else if (bInt && sKey == "underline")
            nU = nInt;
        else if (bInt && sKey == "superscript")
            nSup = nInt;
        else if (bInt && sKey == "subscript")
            nSub = nInt;
        else if (bInt && sKey == "smallcaps")
            nSC = nInt;
        else if (bInt && sKey == "caps")
            nC = nInt;
        else if (bInt && sKey == "paragraph")
            bParagraph = nInt != 0;
        else if (bInt && sKey == "alignment")
            eAlignment = nInt;
        else if (bReal && sKey == "fontsize")
            fSize = f;
        else if (bReal && sKey == "indentnested")
            fIndentNested = f;
        else if (bReal && sKey == "indent")
            fIndent = f;
        else if (bReal && sKey == "indentl")
            fIndentL = f;
        else if (bReal && sKey == "indentr")
            fIndentR = f;
        else if (bReal && sKey == "spacea")
            fSpaceA = f;
        else if (bReal && sKey == "spaceb")
            fSpaceB = f;
        else
            bDone = false;
        if (bDone)
            ++nApplied;
    }
    return nApplied;
}

// ----- tcStyles ---------------------------------------------------------------------------------------

tcStyles::tcStyles(const wxString& sName) : m_sName(sName), m_pOrder(std::make_unique<tcOrder>()) {}

tcStyles::~tcStyles()
{
    tNotifyDestroyed(this);
}

tcStyle* tcStyles::GetStyle(int nIndex) const
{
    return InRange(m_apStyles, nIndex) ? m_apStyles[nIndex].get() : nullptr;
}

tcStyle* tcStyles::AddStyle(std::unique_ptr<tcStyle> pStyle)
{
    if (!pStyle)
        return nullptr;
    pStyle->m_styleSet.Set(this);
    m_apStyles.push_back(std::move(pStyle));
    return m_apStyles.back().get();
}

tcStyleAttribute* tcStyles::FindAttributeStyleByName(const wxString& sElement, const wxString& sAttribute) const
{
    for (const auto& p : m_apStyles)
    {
        if (p->GetType() != STYLE_ATTRIBUTE)
            continue;
        auto* pStyle = static_cast<tcStyleAttribute*>(p.get());
        if (pStyle->pElement && pStyle->pAttribute && pStyle->pElement->GetName() == sElement &&
            pStyle->pAttribute->GetName() == sAttribute)
            return pStyle;
    }
    return nullptr;
}

tcStyleElement* tcStyles::FindElementStyleByName(const wxString& sElement) const
{
    for (const auto& p : m_apStyles)
        if (p->GetType() == STYLE_ELEMENT)
        {
            auto* pStyle = static_cast<tcStyleElement*>(p.get());
            if (pStyle->pElement && pStyle->pElement->GetName() == sElement)
                return pStyle;
        }
    return nullptr;
}

tcStyleElement* tcStyles::FindElementStyleByID(int nElementID) const
{
    for (const auto& p : m_apStyles)
        if (p->GetType() == STYLE_ELEMENT)
        {
            auto* pStyle = static_cast<tcStyleElement*>(p.get());
            if (pStyle->pElement && pStyle->pElement->GetID() == nElementID)
                return pStyle;
        }
    return nullptr;
}

tcStyleAttribute* tcStyles::FindAttributeStyle(const tcElement* pElement, const tcAttribute* pAttr) const
{
    for (const auto& p : m_apStyles)
        if (p->GetType() == STYLE_ATTRIBUTE)
        {
            auto* pStyle = static_cast<tcStyleAttribute*>(p.get());
            if (pStyle->pElement == pElement && pStyle->pAttribute == pAttr)
                return pStyle;
        }
    return nullptr;
}

tcStyleElement* tcStyles::FindElementStyle(const tcElement* pElement) const
{
    for (const auto& p : m_apStyles)
        if (p->GetType() == STYLE_ELEMENT && static_cast<tcStyleElement*>(p.get())->pElement == pElement)
            return static_cast<tcStyleElement*>(p.get());
    return nullptr;
}

void tcStyles::RemoveElementCompletely(const tcElement* pElement)
{
    std::erase_if(m_apStyles,
                  [pElement](const std::unique_ptr<tcStyle>& p)
                  {
                      if (p->GetType() == STYLE_ELEMENT)
                          return static_cast<const tcStyleElement*>(p.get())->pElement == pElement;
                      return static_cast<const tcStyleAttribute*>(p.get())->pElement == pElement;
                  });
    m_pOrder->RemoveElementCompletely(pElement);
}

void tcStyles::RemoveAttributeCompletely(const tcAttribute* pAttr)
{
    std::erase_if(m_apStyles,
                  [pAttr](const std::unique_ptr<tcStyle>& p) {
                      return p->GetType() == STYLE_ATTRIBUTE &&
                             static_cast<const tcStyleAttribute*>(p.get())->pAttribute == pAttr;
                  });
    m_pOrder->RemoveAttributeCompletely(pAttr);
}

void tcStyles::SetOrder(std::unique_ptr<tcOrder> pOrder)
{
    m_pOrder = pOrder ? std::move(pOrder) : std::make_unique<tcOrder>();
}

void tcStyles::SetOrder(const tcOrder* pOrder)
{
    if (pOrder)
        m_pOrder->CopyFrom(*pOrder);
    else
        m_pOrder->Init();
}
