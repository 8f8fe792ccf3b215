#pragma once

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <memory>
#include <vector>

class tcElement;
class tcAttribute;
class tcElementOrderItems;
class tcStyles;

// The container that holds an object (an order item's element order, a style's style set). A copy
// of the object is held by nobody until it is added somewhere, so copying does not carry the link.
template <typename T> class tcHolderLink
{
public:
    tcHolderLink() = default;
    tcHolderLink(const tcHolderLink&) {}
    tcHolderLink& operator=(const tcHolderLink&) { return *this; }
    T* Get() const { return m_p; }
    void Set(T* p) { m_p = p; }

private:
    T* m_p = nullptr;
};

// ----- Output order ---------------------------------------------------------------------------------

// One item of an element kind's output order: a child kind, an attribute or the kind's text.
class tcOrderItem : public tcLifeNoticed
{
public:
    virtual ~tcOrderItem() { tNotifyDestroyed(this); }
    virtual teOrderItemType GetType() const = 0;
    bool IsVisible() const { return m_bVisible; }
    void SetVisible(bool b) { m_bVisible = b; }
    // The element order that holds (and frees) this item, or null while nobody does.
    tcElementOrderItems* GetOwner() const { return m_owner.Get(); }

protected:
    explicit tcOrderItem(bool bVisible) : m_bVisible(bVisible) {}

private:
    friend class tcElementOrderItems;
    bool m_bVisible;
    tcHolderLink<tcElementOrderItems> m_owner;
};

class tcOrderPCDATA : public tcOrderItem
{
public:
    explicit tcOrderPCDATA(bool bVisible = true) : tcOrderItem(bVisible) {}
    teOrderItemType GetType() const override { return ORDER_PCDATA; }
};

class tcOrderElement : public tcOrderItem
{
public:
    explicit tcOrderElement(tcElement* pElement, bool bVisible = true) : tcOrderItem(bVisible), m_pElement(pElement) {}
    teOrderItemType GetType() const override { return ORDER_ELEMENT; }
    tcElement* GetElement() const { return m_pElement; }

private:
    tcElement* m_pElement;
};

class tcOrderAttribute : public tcOrderItem
{
public:
    explicit tcOrderAttribute(tcAttribute* pAttr, bool bVisible = true) : tcOrderItem(bVisible), m_pAttribute(pAttr) {}
    teOrderItemType GetType() const override { return ORDER_ATTRIBUTE; }
    tcAttribute* GetAttribute() const { return m_pAttribute; }

private:
    tcAttribute* m_pAttribute;
};

// The output order of one element kind.
class tcElementOrderItems : public tcLifeNoticed
{
public:
    explicit tcElementOrderItems(tcElement* pElement) : m_pElement(pElement) {}
    ~tcElementOrderItems() { tNotifyDestroyed(this); }
    tcElementOrderItems(const tcElementOrderItems&) = delete;
    tcElementOrderItems& operator=(const tcElementOrderItems&) = delete;

    tcElement* GetElement() const { return m_pElement; }
    void SetElement(tcElement* p) { m_pElement = p; }
    int GetNumOrderItems() const { return static_cast<int>(m_apItems.size()); }
    // Null for an index out of range; valid until the item is removed.
    tcOrderItem* GetOrderItem(int nIndex) const;
    // Takes ownership and appends; returns the item.
    tcOrderItem* AddOrderItem(std::unique_ptr<tcOrderItem> pItem);
    // The same for an item made elsewhere with new (a script's item): from now on this order frees
    // it. Null, and nothing taken, for a null item or one that an order already holds.
    tcOrderItem* AddOrderItem(tcOrderItem* pItem);
    bool RemoveOrderItem(int nIndex);
    bool SwopItems(int nIndex1, int nIndex2);
    // -1 when absent.
    int FindIndexPCDATA() const;
    int FindIndexAttribute(const tcAttribute* pAttr) const;
    int FindIndexElement(const tcElement* pChild) const;
    // The item for that child kind, or null.
    tcOrderElement* GetElementItem(const tcElement* pChild) const;

private:
    tcElement* m_pElement;
    std::vector<std::unique_ptr<tcOrderItem>> m_apItems;
};

// The output order of a style set: per element kind, which children, attributes and text are shown,
// in which order. Items refer to kinds and attributes of the document's DTD; the document removes
// them when a kind or attribute is deleted.
class tcOrder : public tcLifeNoticed
{
public:
    tcOrder() = default;
    ~tcOrder() { tNotifyDestroyed(this); }
    tcOrder(const tcOrder&) = delete;
    tcOrder& operator=(const tcOrder&) = delete;

    void Destroy() { m_apElements.clear(); }
    // Drops everything (a fresh, empty order).
    void Init() { Destroy(); }

    // Each Add appends an item to the kind's order (creating the kind's order) unless the kind's
    // order already has that item, whose visibility is then updated. Returns false for null
    // arguments.
    bool AddElementOrderPCDATA(tcElement* pElement, bool bVisible = true);
    bool AddElementOrderChild(tcElement* pElement, tcElement* pChild, bool bVisible = true);
    bool AddElementOrderAttribute(tcElement* pElement, tcAttribute* pAttr, bool bVisible = true);
    bool RemoveElementOrderPCDATA(tcElement* pElement);
    bool RemoveElementOrderChild(tcElement* pElement, tcElement* pChild);

    int GetNumElements() const { return static_cast<int>(m_apElements.size()); }
    // The order of that kind, or null.
    tcElementOrderItems* GetOrderElement(const tcElement* pElement) const;
    tcElementOrderItems* GetOrderElementByIndex(int nIndex) const;
    bool RemoveOrderElement(const tcElement* pElement);
    // Removes the kind's own order and every item that refers to it.
    void RemoveElementCompletely(const tcElement* pElement);
    // Removes every item that refers to the attribute.
    void RemoveAttributeCompletely(const tcAttribute* pAttr);
    // Makes this order a copy of another one (kinds, items and visibility, in order).
    void CopyFrom(const tcOrder& source);

private:
    tcElementOrderItems* Ensure(tcElement* pElement);

    std::vector<std::unique_ptr<tcElementOrderItems>> m_apElements;
};

// ----- Styles ---------------------------------------------------------------------------------------

class tcBorder : public tcLifeNoticed
{
public:
    tcBorder() = default;
    ~tcBorder() { tNotifyDestroyed(this); }
    tcBorder(const tcBorder&) = default;
    tcBorder& operator=(const tcBorder&) = default;

    void SetWidth(float f) { m_fWidth = f; }
    float GetWidth() const { return m_fWidth; }
    void SetColour(const wxString& s) { m_sColour = s; }
    const wxString& GetColour() const { return m_sColour; }
    void SetBorderStyle(int n) { m_eStyle = n; }
    int GetBorderStyle() const { return m_eStyle; }
    void SetPadding(float f) { m_fPadding = f; }
    float GetPadding() const { return m_fPadding; }

private:
    float m_fWidth = 0;
    wxString m_sColour;
    int m_eStyle = BORDER_NONE;
    float m_fPadding = 0;
};

// A numbering rule of an attribute style.
struct tcAutoNumber : public tcLifeNoticed
{
    ~tcAutoNumber() { tNotifyDestroyed(this); }

    int eStyle = AUTONUMBER_NUMBERS;
    bool bAlways = false;
    bool bBreadth = false;
    bool bDepth = false;
};

// How an element kind or attribute is shown. Numeric switches use STYLE_INHERIT (-1), STYLE_OFF,
// STYLE_ON; sizes of -1 inherit; colours are six hexadecimal digits or empty (inherit).
class tcStyle : public tcLifeNoticed
{
public:
    virtual ~tcStyle() { tNotifyDestroyed(this); }
    virtual teStyleType GetType() const = 0;
    // The style set that holds (and frees) this style, or null while nobody does.
    tcStyles* GetStyleSet() const { return m_styleSet.Get(); }

    // The settings as "key=value" pairs separated by ","; "," and "\" inside values are escaped
    // with "\". Keys: font, fontsize, bold, italic, underline, superscript, subscript, smallcaps,
    // caps, colourf, colourb, beforei, afteri, beforeo, aftero, beforeg, afterg, between,
    // paragraph, alignment, indentnested, indent, indentl, indentr, spacea, spaceb.
    wxString GetStyleAsCSVString() const;
    // Applies the pairs of such a text; unknown keys and malformed pairs are skipped. Returns the
    // number of settings applied.
    int SetStyleFromCSVString(const wxString& sCSV);

    void SetColourF(const wxString& s) { sColourF = s; }
    void SetColourB(const wxString& s) { sColourB = s; }
    void SetFont(const wxString& s) { sFont = s; }
    void SetFontSize(float f) { fSize = f; }
    void SetBold(int n) { nB = n; }
    void SetItalics(int n) { nI = n; }
    void SetUnderline(int n) { nU = n; }
    void SetSuperscript(int n) { nSup = n; }
    void SetSubscript(int n) { nSub = n; }
    void SetSmallCaps(int n) { nSC = n; }
    void SetCaps(int n) { nC = n; }
    const wxString& GetColourF() const { return sColourF; }
    const wxString& GetColourB() const { return sColourB; }
    const wxString& GetFont() const { return sFont; }
    float GetFontSize() const { return fSize; }
    int GetBold() const { return nB; }
    int GetItalics() const { return nI; }
    int GetUnderline() const { return nU; }
    int GetSuperscript() const { return nSup; }
    int GetSubscript() const { return nSub; }
    int GetSmallCaps() const { return nSC; }
    int GetCaps() const { return nC; }
    void SetBeforeI(const wxString& s) { sBeforeI = s; }
    void SetAfterI(const wxString& s) { sAfterI = s; }
    void SetBeforeO(const wxString& s) { sBeforeO = s; }
    void SetAfterO(const wxString& s) { sAfterO = s; }
    const wxString& GetBeforeI() const { return sBeforeI; }
    const wxString& GetAfterI() const { return sAfterI; }
    const wxString& GetBeforeO() const { return sBeforeO; }
    const wxString& GetAfterO() const { return sAfterO; }
    void SetBeforeG(const wxString& s) { sBeforeG = s; }
    void SetAfterG(const wxString& s) { sAfterG = s; }
    void SetBetween(const wxString& s) { sBetween = s; }
    const wxString& GetBeforeG() const { return sBeforeG; }
    const wxString& GetAfterG() const { return sAfterG; }
    const wxString& GetBetween() const { return sBetween; }
    void SetParagraph(bool b) { bParagraph = b; }
    void SetAlignment(int n) { eAlignment = n; }
    void SetIndentNested(float f) { fIndentNested = f; }
    void SetIndent(float f) { fIndent = f; }
    void SetIndentL(float f) { fIndentL = f; }
    void SetIndentR(float f) { fIndentR = f; }
    void SetSpaceA(float f) { fSpaceA = f; }
    void SetSpaceB(float f) { fSpaceB = f; }
    bool GetParagraph() const { return bParagraph; }
    int GetAlignment() const { return eAlignment; }
    float GetIndentNested() const { return fIndentNested; }
    float GetIndent() const { return fIndent; }
    float GetIndentL() const { return fIndentL; }
    float GetIndentR() const { return fIndentR; }
    float GetSpaceA() const { return fSpaceA; }
    float GetSpaceB() const { return fSpaceB; }
    bool IsHidden() const { return m_bHidden; }
    void SetHidden() { m_bHidden = true; }
    void ClearHidden() { m_bHidden = false; }
    void ToggleHidden() { m_bHidden = !m_bHidden; }
    void SetLuaModifier(const wxString& s) { m_sLuaModifier = s; }
    const wxString& GetLuaModifier() const { return m_sLuaModifier; }
    bool HasLuaModifier() const { return !m_sLuaModifier.empty(); }
    void SetContentOverride(const wxString& s) { m_sContentOverride = s; }
    const wxString& GetContentOverride() const { return m_sContentOverride; }
    bool HasContentOverride() const { return !m_sContentOverride.empty(); }

    // Table layout: whether the element makes a table (with headings), a group of tables, a row
    // or a column, whether it begins or ends one, widths with their units (teTableWidthUnit-like
    // numbers the caller chooses) and the table's border. Stored and returned as set; this library
    // draws no tables itself.
    void SetTableHeadings(bool b) { m_Table.bHeadings = b; }
    void SetTableG(bool b) { m_Table.bTableG = b; }
    void SetTable(bool b) { m_Table.bTable = b; }
    void SetRow(bool b) { m_Table.bRow = b; }
    void SetCol(bool b) { m_Table.bCol = b; }
    void SetTableB(bool b) { m_Table.bTableB = b; }
    void SetRowB(bool b) { m_Table.bRowB = b; }
    void SetColB(bool b) { m_Table.bColB = b; }
    void SetColE(bool b) { m_Table.bColE = b; }
    void SetTableE(bool b) { m_Table.bTableE = b; }
    void SetRowE(bool b) { m_Table.bRowE = b; }
    void SetTableWidth(float f) { m_Table.fTableWidth = f; }
    void SetTableWidthUnit(int n) { m_Table.nTableWidthUnit = n; }
    void SetCellWidth(float f) { m_Table.fCellWidth = f; }
    void SetCellWidthUnit(int n) { m_Table.nCellWidthUnit = n; }
    bool GetTableHeadings() const { return m_Table.bHeadings; }
    bool GetTableG() const { return m_Table.bTableG; }
    bool GetTable() const { return m_Table.bTable; }
    bool GetRow() const { return m_Table.bRow; }
    bool GetCol() const { return m_Table.bCol; }
    bool GetTableB() const { return m_Table.bTableB; }
    bool GetRowB() const { return m_Table.bRowB; }
    bool GetColB() const { return m_Table.bColB; }
    bool GetColE() const { return m_Table.bColE; }
    bool GetTableE() const { return m_Table.bTableE; }
    bool GetRowE() const { return m_Table.bRowE; }
    float GetTableWidth() const { return m_Table.fTableWidth; }
    int GetTableWidthUnit() const { return m_Table.nTableWidthUnit; }
    float GetCellWidth() const { return m_Table.fCellWidth; }
    int GetCellWidthUnit() const { return m_Table.nCellWidthUnit; }
    // The table's border; never null, owned by the style.
    tcBorder* GetTableBorder() { return &m_Table.border; }
    tcBorder& TableBorder() { return m_Table.border; }

    wxString m_sCompiledHandle;
    wxString sFont;
    float fSize = STYLE_INHERIT;
    int nB = STYLE_INHERIT;
    int nI = STYLE_INHERIT;
    int nU = STYLE_INHERIT;
    int nSup = STYLE_INHERIT;
    int nSub = STYLE_INHERIT;
    int nSC = STYLE_INHERIT;
    int nC = STYLE_INHERIT;
    wxString sColourF;
    wxString sColourB;
    wxString sBeforeI;
    wxString sAfterI;
    wxString sBeforeO;
    wxString sAfterO;
    wxString sBeforeG;
    wxString sAfterG;
    wxString sBetween;
    bool bParagraph = false;
    int eAlignment = ALIGN_LEFT;
    float fIndentNested = 0;
    float fIndent = 0;
    float fIndentL = 0;
    float fIndentR = 0;
    float fSpaceA = 0;
    float fSpaceB = 0;
    tcBorder BorderT;
    tcBorder BorderB;
    tcBorder BorderL;
    tcBorder BorderR;
    wxString sHTMLStyle;
    wxString m_sContentOverride;
    wxString m_sLuaModifier;
    std::vector<wxString> m_asFutureStyles;

private:
    friend class tcStyles;
    tcHolderLink<tcStyles> m_styleSet;

    struct TableSettings
    {
        bool bHeadings = false;
        bool bTableG = false;
        bool bTable = false;
        bool bRow = false;
        bool bCol = false;
        bool bTableB = false;
        bool bRowB = false;
        bool bColB = false;
        bool bColE = false;
        bool bTableE = false;
        bool bRowE = false;
        float fTableWidth = 0;
        int nTableWidthUnit = 0;
        float fCellWidth = 0;
        int nCellWidthUnit = 0;
        tcBorder border;
    };

    bool m_bHidden = false;
    TableSettings m_Table;
};

// The style of an element kind.
class tcStyleElement : public tcStyle
{
public:
    explicit tcStyleElement(tcElement* pElem = nullptr) : pElement(pElem) {}
    teStyleType GetType() const override { return STYLE_ELEMENT; }

    tcElement* pElement;
};

// The style of one attribute of an element kind, with its numbering rules.
class tcStyleAttribute : public tcStyle
{
public:
    tcStyleAttribute(tcElement* pElem = nullptr, tcAttribute* pAttr = nullptr) : pElement(pElem), pAttribute(pAttr) {}
    teStyleType GetType() const override { return STYLE_ATTRIBUTE; }

    tcElement* pElement;
    tcAttribute* pAttribute;
    std::vector<tcAutoNumber> aAutoNumber;
};

// Where a table cell of the output starts and ends.
struct tcTableCell : public tcLifeNoticed
{
    ~tcTableCell() { tNotifyDestroyed(this); }

    bool m_bStart = false;
    bool m_bEnd = false;
};

// Masks (hiding entries by condition) are not modelled by this library: these types exist so that
// scripts can name them; no style set has masks (tcStyles::GetMasks gives null).
class tcMask : public tcLifeNoticed
{
public:
    ~tcMask() { tNotifyDestroyed(this); }
};
class tcMasks : public tcLifeNoticed
{
public:
    ~tcMasks() { tNotifyDestroyed(this); }
};

// A named style set: styles of element kinds and attributes, and an output order. Styles refer to
// kinds and attributes of the document's DTD; the document removes them when those are deleted.
class tcStyles : public tcLifeNoticed
{
public:
    explicit tcStyles(const wxString& sName = wxString());
    ~tcStyles();
    tcStyles(const tcStyles&) = delete;
    tcStyles& operator=(const tcStyles&) = delete;

    int GetNumStyles() const { return static_cast<int>(m_apStyles.size()); }
    // Null for an index out of range; valid until the style is removed.
    tcStyle* GetStyle(int nIndex) const;
    // Takes ownership and appends; returns the style (null for a null argument).
    tcStyle* AddStyle(std::unique_ptr<tcStyle> pStyle);
    // Null when the set has no such style. Names are compared exactly.
    tcStyleAttribute* FindAttributeStyleByName(const wxString& sElement, const wxString& sAttribute) const;
    tcStyleElement* FindElementStyleByName(const wxString& sElement) const;
    tcStyleElement* FindElementStyleByID(int nElementID) const;
    tcStyleAttribute* FindAttributeStyle(const tcElement* pElement, const tcAttribute* pAttr) const;
    tcStyleElement* FindElementStyle(const tcElement* pElement) const;
    // Remove the kind's styles (element and attribute styles) and its order items / the
    // attribute's styles and order items.
    void RemoveElementCompletely(const tcElement* pElement);
    void RemoveAttributeCompletely(const tcAttribute* pAttr);

    const wxString& GetName() const { return m_sName; }
    void SetName(const wxString& s) { m_sName = s; }
    void RenameStyleSet(const wxString& s) { m_sName = s; }
    // Never null.
    tcOrder* GetOrder() const { return m_pOrder.get(); }
    // Takes ownership (a null order is replaced by an empty one).
    void SetOrder(std::unique_ptr<tcOrder> pOrder);
    // Makes the set's order a copy of another order (null: an empty order). The set keeps its own
    // order object, so pointers to it stay valid; pointers to its former items do not.
    void SetOrder(const tcOrder* pOrder);
    // Masks are not modelled (see tcMasks): always null.
    tcMasks* GetMasks() const { return nullptr; }

private:
    wxString m_sName;
    std::unique_ptr<tcOrder> m_pOrder;
    std::vector<std::unique_ptr<tcStyle>> m_apStyles;
};
