#pragma once

#include "varnak/include/tObjectLife.h"

#include "varnak/include/VarnakConst.h"

#include <wx/string.h>

#include <memory>
#include <vector>

class tcDocument;
class tcDTD;
class tcElement;
class tcAttribute;
class tcAttrList;

// Labels of a value list's items, keyed by item identifier.
class tcLabelSet : public tcLifeNoticed
{
public:
    struct Label
    {
        int nID;
        wxString sText;
    };

    tcLabelSet() = default;
    explicit tcLabelSet(const wxString& sName) : m_sName(sName) {}
    ~tcLabelSet();
    tcLabelSet(const tcLabelSet&) = delete;
    tcLabelSet& operator=(const tcLabelSet&) = delete;

    // The list that owns the set, null while it stands alone.
    tcAttrList* GetOwnerList() const { return m_pOwnerList; }

    void Destroy() { m_aLabels.clear(); }
    void SetName(const wxString& sName) { m_sName = sName; }
    const wxString& GetName() const { return m_sName; }
    void RenameLabelSet(const wxString& sName) { m_sName = sName; }

    int GetNumLabels() const { return static_cast<int>(m_aLabels.size()); }
    // -1 for an index out of range.
    int GetLabelIDFromIndex(int nIndex) const;
    // -1 when no label has that item identifier.
    int GetIndexFromID(int nID) const;
    // Empty when there is no such label.
    wxString GetLabelByID(int nID) const;
    wxString GetLabelByIndex(int nIndex) const;
    // Adds or, when the item already has a label, replaces it.
    void AddLabel(int nID, const wxString& sText);
    // False for an index out of range (0..count) or an item that already has a label.
    bool InsertLabel(int nIndex, int nID, const wxString& sText);
    bool RenameLabel(int nID, const wxString& sText);
    bool RemoveLabel(int nID);
    bool SwopLabels(int nIndex1, int nIndex2);

private:
    friend class tcAttrList;

    tcAttrList* m_pOwnerList = nullptr;
    wxString m_sName;
    std::vector<Label> m_aLabels;
};

// A named value list of the DTD: items (identifier, text) in order, and label sets.
class tcAttrList : public tcLifeNoticed
{
public:
    struct Item
    {
        int nID;
        wxString sText;
    };

    tcAttrList() = default;
    tcAttrList(const wxString& sName, int nID) : m_sName(sName), m_nID(nID) {}
    ~tcAttrList();
    tcAttrList(const tcAttrList&) = delete;
    tcAttrList& operator=(const tcAttrList&) = delete;

    // The DTD that owns the list, null while it stands alone.
    tcDTD* GetOwnerDTD() const { return m_pOwnerDTD; }

    void Destroy();
    const wxString& GetName() const { return m_sName; }
    void RenameList(const wxString& sName) { m_sName = sName; }
    int GetID() const { return m_nID; }
    void SetID(int nID) { m_nID = nID; }

    int GetNumItems() const { return static_cast<int>(m_aItems.size()); }
    // Appends an item and returns its identifier. With bKeepID and an identifier > 0 that no item
    // has, the item takes nID; otherwise it takes one above every identifier in the list (when an
    // item holds INT_MAX, the lowest identifier no item has).
    int AddListItem(int nID, const wxString& sText, bool bKeepID = true);
    // Inserts at nIndex (0..count) with a new identifier; -1 for an index out of range.
    int InsertListItem(int nIndex, const wxString& sText);
    // Empty / -1 for an index out of range.
    wxString GetItemText(int nIndex) const;
    int GetItemID(int nIndex) const;
    // Empty when no item has that identifier.
    wxString GetTextFromID(int nID) const;
    // -1 when no item has that identifier.
    int GetIndexFromID(int nID) const;
    // Index of the first item with exactly that text, -1 when none.
    int FindByText(const wxString& sText) const;
    bool RenameListItem(int nIndex, const wxString& sText);
    bool RemoveListItem(int nIndex);
    bool SwopListItems(int nIndex1, int nIndex2);

    int GetNumLabelSets() const { return static_cast<int>(m_apLabelSets.size()); }
    // Null for an index out of range. Owned by the list.
    tcLabelSet* GetLabelSet(int nIndex) const;
    // Takes ownership; returns the set (null for a null argument).
    tcLabelSet* AddLabelSet(std::unique_ptr<tcLabelSet> pSet);
    tcLabelSet* AddLabelSet(const wxString& sName);
    tcLabelSet* AddLabelSetLoad(const wxString& sName) { return AddLabelSet(sName); }
    bool DeleteLabelSet(int nIndex);

private:
    friend class tcDTD;
    friend bool tRemoveFromOwner(tcLabelSet*);

    tcDTD* m_pOwnerDTD = nullptr;
    wxString m_sName;
    int m_nID = 0;
    std::vector<Item> m_aItems;
    std::vector<std::unique_ptr<tcLabelSet>> m_apLabelSets;
};

// A named text the DTD declares (an XML internal entity).
class tcEntity : public tcLifeNoticed
{
public:
    tcEntity() = default;
    tcEntity(const wxString& sEntity, const wxString& sValue) : m_sEntity(sEntity), m_sValue(sValue) {}
    ~tcEntity();
    tcEntity(const tcEntity&) = delete;
    tcEntity& operator=(const tcEntity&) = delete;

    // The DTD that owns the entity, null while it stands alone.
    tcDTD* GetOwnerDTD() const { return m_pOwnerDTD; }

    void SetEntity(const wxString& s) { m_sEntity = s; }
    void SetValue(const wxString& s) { m_sValue = s; }
    const wxString& GetEntity() const { return m_sEntity; }
    const wxString& GetValue() const { return m_sValue; }

private:
    friend class tcDTD;

    tcDTD* m_pOwnerDTD = nullptr;
    wxString m_sEntity;
    wxString m_sValue;
};

// A cross-reference type.
class tcRefType : public tcLifeNoticed
{
public:
    tcRefType() = default;
    tcRefType(int nID, const wxString& sName) : m_nID(nID), m_sName(sName) {}
    ~tcRefType();
    tcRefType(const tcRefType&) = delete;
    tcRefType& operator=(const tcRefType&) = delete;

    // The DTD that owns the type, null while it stands alone.
    tcDTD* GetOwnerDTD() const { return m_pOwnerDTD; }

    void SetName(const wxString& s) { m_sName = s; }
    const wxString& GetName() const { return m_sName; }
    int GetID() const { return m_nID; }
    void SetID(int nID) { m_nID = nID; }

private:
    friend class tcDTD;

    tcDTD* m_pOwnerDTD = nullptr;
    int m_nID = 0;
    wxString m_sName;
};

// Labels of cross-reference types: per type identifier a singular and a plural text.
class tcRefLabelSet
{
public:
    struct Label
    {
        int nID;
        wxString sLabelS;
        wxString sLabelP;
    };

    tcRefLabelSet() = default;
    explicit tcRefLabelSet(const wxString& sName) : m_sName(sName) {}

    void SetName(const wxString& s) { m_sName = s; }
    const wxString& GetName() const { return m_sName; }
    int GetNumLabels() const { return static_cast<int>(m_aLabels.size()); }
    // Adds or, when the type already has labels, replaces them.
    void AddLabel(int nTypeID, const wxString& sLabelS, const wxString& sLabelP);
    // Null for an index out of range; valid until the set changes.
    const Label* GetLabel(int nIndex) const;
    // -1 / empty for an index out of range.
    int GetLabelIDByIndex(int nIndex) const;
    wxString GetLabelByIndexS(int nIndex) const;
    wxString GetLabelByIndexP(int nIndex) const;
    bool RemoveLabel(int nTypeID);

private:
    wxString m_sName;
    std::vector<Label> m_aLabels;
};

// One allowed child of an element kind. The child element belongs to the same DTD.
struct tcChildRelation : public tcLifeNoticed
{
    tcChildRelation() = default;
    tcChildRelation(teChildRelationConstraint e, tcElement* p, int n) : eConstraint(e), pElement(p), nFlags(n) {}
    tcChildRelation(const tcChildRelation&) = default;
    tcChildRelation& operator=(const tcChildRelation&) = default;
    ~tcChildRelation();

    teChildRelationConstraint eConstraint = CHILD_ZEROORMORE;
    tcElement* pElement = nullptr;
    int nFlags = 0;
};

// An attribute kind of one element kind. Owned by its element; the pointer stays valid until the
// attribute or its element is deleted from the DTD.
class tcAttribute : public tcLifeNoticed
{
public:
    tcAttribute(const wxString& sName, teAttrType eType, teDefaultType eDefault);
    ~tcAttribute();
    tcAttribute(const tcAttribute&) = delete;
    tcAttribute& operator=(const tcAttribute&) = delete;

    // Null while the attribute is not part of an element.
    tcElement* GetOwnerElement() const { return m_pOwner; }
    int GetID() const { return m_nID; }
    // Refused (false) when another attribute of the same element has that identifier.
    bool SetID(int nID);
    const wxString& GetName() const { return m_sName; }
    void SetName(const wxString& sName) { m_sName = sName; }
    // Renames and triggers Evt_ElementAttributeRenamed (attribute, element).
    void RenameAttribute(const wxString& sName);
    teAttrType GetType() const { return m_eType; }
    // Only the declared type changes; node values stay as they are (see tChangeAttributeType).
    void SetType(teAttrType eType) { m_eType = eType; }
    teDefaultType GetDefaultType() const { return m_eDefaultType; }
    void SetDefaultType(teDefaultType e) { m_eDefaultType = e; }
    const wxString& GetDefault() const { return m_sDefault; }
    void SetDefault(const wxString& s) { m_sDefault = s; }
    int GetFlags() const { return m_nFlags; }
    void SetFlags(int n) { m_nFlags = n; }
    bool TestFlag(int n) const { return (m_nFlags & n) != 0; }
    void ClearFlags(int n) { m_nFlags &= ~n; }
    void EnableFlags(int n) { m_nFlags |= n; }
    // The value list of a list attribute (owned by the DTD), or null.
    tcAttrList* GetList() const { return m_pList; }
    void SetList(tcAttrList* pList) { m_pList = pList; }
    // Position among its element's attributes, -1 when it has no element.
    int GetAttributeIndex() const;
    // Moves it to nIndex among its element's attributes; false when out of range.
    bool SetAttributeIndex(int nIndex);

    // A number unique in the process, never reused: nodes key their values by it, so a value can
    // never be read through an attribute that replaced a deleted one.
    unsigned GetSerial() const { return m_nSerial; }

private:
    friend class tcElement;

    tcElement* m_pOwner = nullptr;
    int m_nID = 0;
    wxString m_sName;
    teAttrType m_eType;
    teDefaultType m_eDefaultType;
    wxString m_sDefault;
    int m_nFlags = 0;
    tcAttrList* m_pList = nullptr;
    unsigned m_nSerial;
};

// An element kind: name, identifier, node class, flags, an ordered list of child relations (the
// same child kind may stand more than once) and attributes in declaration order. Owned by its DTD;
// the pointer stays valid until the kind is deleted from the DTD.
class tcElement : public tcLifeNoticed
{
public:
    tcElement(const wxString& sName, int nID, teNodeClass eClass = NODE_NODE);
    ~tcElement();
    tcElement(const tcElement&) = delete;
    tcElement& operator=(const tcElement&) = delete;

    // Null while the kind is not part of a DTD.
    tcDTD* GetDTD() const { return m_pDTD; }
    const wxString& GetName() const { return m_sName; }
    void SetName(const wxString& sName) { m_sName = sName; }
    int GetID() const { return m_nID; }
    // Refused (false) when another kind of the same DTD has that identifier or nID < 1.
    bool SetID(int nID);
    teNodeClass GetClass() const { return m_eClass; }
    // Nodes already allocated keep their class; new ones get the new class.
    void SetClass(teNodeClass eClass) { m_eClass = eClass; }
    int GetFlags() const { return m_nFlags; }
    void SetFlags(int n) { m_nFlags = n; }
    void ClearFlags(int n) { m_nFlags &= ~n; }
    void EnableFlags(int n) { m_nFlags |= n; }
    bool AllowsPCDATA() const { return (m_nFlags & ELEMENTFLAG_PCDATA) != 0; }
    void SetAllowPCDATA(bool b);

    // Child relations, in order.
    int GetNumChildren() const { return static_cast<int>(m_aChildren.size()); }
    // Null for an index out of range; valid until the relations change.
    const tcChildRelation* GetChildElement(int nIndex) const;
    // Appends a relation, also when one to that kind exists already. False for a null child or a
    // child of another DTD.
    bool AddChildElement(tcElement* pChild, teChildRelationConstraint eConstraint, int nFlags = 0);
    // Inserts a relation at nIndex (0..count); false when out of range.
    bool AddChildElementAt(int nIndex, tcElement* pChild, teChildRelationConstraint eConstraint, int nFlags = 0);
    // Moves the relation at nFrom to nTo; false when either is out of range.
    bool MoveElement(int nFrom, int nTo);
    // The first relation to the kind with that identifier, or null.
    const tcChildRelation* FindChildByID(int nID) const;
    const tcChildRelation* GetChildByID(int nID) const { return FindChildByID(nID); }
    // Changes the constraint of every relation to that kind; false when there is none.
    bool SetChildRelationship(int nID, teChildRelationConstraint eConstraint);
    // Removes the relation at nIndex / every relation to that kind; false when there was none.
    bool RemoveChildElement(int nIndex);
    bool RemoveChildElementByID(int nID);
    // Index of the first relation to that kind, -1 when none.
    int GetChildIndexByID(int nID) const;
    int GetChildIndexByName(const wxString& sName) const;
    // 0 / false for an index out of range.
    int GetChildFlags(int nIndex) const;
    bool SetChildFlags(int nIndex, int nFlags);
    bool SwopChildElements(int nIndex1, int nIndex2);

    // Attributes, in declaration order.
    int GetNumAttributes() const { return static_cast<int>(m_apAttributes.size()); }
    // Null for an index out of range.
    tcAttribute* GetAttribute(int nIndex) const;
    // Adds an attribute at the end. nID < 1, or an identifier another attribute of this kind has,
    // gives the next free identifier (never one of the reserved identifiers up to
    // ATTRID_LASTRESERVED). Returns the attribute (owned by the element).
    tcAttribute* AddAttribute(const wxString& sName, teAttrType eType, teDefaultType eDefault, int nID = -1);
    // Takes ownership and inserts at nIndex (0..count, -1 for the end); null when out of range or
    // for an attribute that already belongs to an element. The identifier rule of AddAttribute
    // applies.
    tcAttribute* InsertAttribute(std::unique_ptr<tcAttribute> pAttr, int nIndex = -1);
    // Deletes the attribute at nIndex. The document of the DTD forgets its values on its nodes and
    // its style and order items first. False when out of range.
    bool DeleteAttribute(int nIndex);
    // First attribute with exactly that name / identifier, or null.
    tcAttribute* FindAttributeByName(const wxString& sName) const;
    tcAttribute* FindAttributeByID(int nID) const;
    // The attribute that stands for the kind's own text: this library has none, so null.
    tcAttribute* FindAttributePCData() const { return nullptr; }
    bool SwopAttributes(int nIndex1, int nIndex2);
    // The identifier AddAttribute would give next.
    int GetNextAttributeID() const;
    // Kinds that only group others are not modelled here: always false.
    bool IsGroup() const { return false; }

private:
    friend class tcDTD;
    friend class tcAttribute;

    tcDTD* m_pDTD = nullptr;
    wxString m_sName;
    int m_nID;
    teNodeClass m_eClass;
    int m_nFlags = 0;
    std::vector<tcChildRelation> m_aChildren;
    std::vector<std::unique_ptr<tcAttribute>> m_apAttributes;
};

// The document type: element kinds, value lists, entities, cross-reference types and their label
// sets. A document owns one (tcDocument::GetDTD); a DTD may also stand alone, in which case deleting
// kinds or attributes cannot clean up nodes or styles.
//
// Element identifiers 1 to ELEMENTID_LASTRESERVED are kept for the library's fixed kinds: the
// next-free counter never hands them out and never hands out an identifier in use.
class tcDTD : public tcLifeNoticed
{
public:
    tcDTD();
    ~tcDTD();
    tcDTD(const tcDTD&) = delete;
    tcDTD& operator=(const tcDTD&) = delete;

    // Removes everything and resets the counters.
    void Destroy();
    // The document that owns this DTD, or null.
    tcDocument* GetDocument() const { return m_pDoc; }

    // Returns the next free element identifier and advances the counter past it.
    int AssignTypeID();
    // The identifier AssignTypeID would return.
    int GetNextTypeID() const;
    // Sets the counter; values at or below ELEMENTID_LASTRESERVED are raised above it.
    void SetNextTypeID(int nID);
    int AssignListID();
    int GetNextListID() const { return m_nNextListID; }
    void SetNextListID(int nID) { m_nNextListID = nID; }
    // Sets the list counter one above the highest list identifier (the lowest free one when a list
    // holds INT_MAX).
    void CalculateNextListID();

    // Null when none; the first kind of that exact name.
    tcElement* FindElementByName(const wxString& sName) const;
    tcElement* GetElementByID(int nID) const;
    // Takes ownership and appends. An identifier < 1 or one in use gives the next free identifier.
    // Returns the element, null for a null argument.
    tcElement* AddElement(std::unique_ptr<tcElement> pElement);
    tcElement* AddElementLoad(std::unique_ptr<tcElement> pElement) { return AddElement(std::move(pElement)); }
    // The same for a kind made elsewhere with new (a script's kind): from now on the DTD frees it.
    // Null, and nothing taken, for a null kind or one that a DTD already holds.
    tcElement* AddElement(tcElement* pElement);
    tcElement* AddElementLoad(tcElement* pElement) { return AddElement(pElement); }
    // Deletes the kind: every relation to it is removed from the other kinds; the owning document
    // first deletes its nodes of that kind and its style and order items. False when not in the DTD.
    bool DeleteElement(tcElement* pElement);
    bool SwopElements(int nIndex1, int nIndex2);
    int GetNumElements() const { return static_cast<int>(m_apElements.size()); }
    // Null for an index out of range.
    tcElement* GetElement(int nIndex) const;
    // Index in the DTD's element order, -1 when not in this DTD.
    int GetElementIndex(const tcElement* pElement) const;

    // Value lists. Takes ownership; returns the list.
    tcAttrList* AddAttrList(std::unique_ptr<tcAttrList> pList);
    tcAttrList* AddAttrListLoad(std::unique_ptr<tcAttrList> pList) { return AddAttrList(std::move(pList)); }
    // Adds a new empty list of that name with the next free list identifier; returns it.
    tcAttrList* AddAttrList(const wxString& sName);
    tcAttrList* AddAttrListLoad(const wxString& sName) { return AddAttrList(sName); }
    int GetNumLists() const { return static_cast<int>(m_apLists.size()); }
    tcAttrList* GetAttrList(int nIndex) const;
    int GetListIndex(const tcAttrList* pList) const;
    // Deletes the list; attributes that used it lose it (null). False when out of range.
    bool DeleteList(int nIndex);
    bool SwopLists(int nIndex1, int nIndex2);
    tcAttrList* FindListByName(const wxString& sName) const;
    tcAttrList* FindListByID(int nID) const;

    // Entities.
    int GetNumEntities() const { return static_cast<int>(m_apEntities.size()); }
    tcEntity* GetEntity(int nIndex) const;
    tcEntity* FindEntity(const wxString& sName) const;
    // Adds an entity; an existing one of that name gets the new value. Returns the entity.
    tcEntity* AddEntity(const wxString& sName, const wxString& sValue);
    bool DeleteEntity(int nIndex);

    // Cross-reference types.
    int GetNumCrossRefTypes() const { return static_cast<int>(m_apRefTypes.size()); }
    tcRefType* GetCrossRefTypeByIndex(int nIndex) const;
    tcRefType* GetCrossRefTypeByID(int nID) const;
    tcRefType* GetCrossRefTypeByName(const wxString& sName) const;
    // Takes ownership; a type whose identifier is in use replaces the name of the existing one.
    tcRefType* AddCrossRefType(std::unique_ptr<tcRefType> pType);
    tcRefType* AddCrossRefType(int nID, const wxString& sName);
    // Adds a type with an unused identifier.
    tcRefType* AddNewRefType(const wxString& sName);
    bool DeleteCrossRefType(int nID);
    int GetUnusedCrossRefTypeID() const;
    bool SwopCrossRefTypes(int nIndex1, int nIndex2);

    // Cross-reference label sets.
    int GetNumRefLabelSets() const { return static_cast<int>(m_apRefLabelSets.size()); }
    tcRefLabelSet* AddRefLabelSet(std::unique_ptr<tcRefLabelSet> pSet);
    // Adds a new empty label set of that name; returns it.
    tcRefLabelSet* AddRefLabelSet(const wxString& sName);
    tcRefLabelSet* GetRefLabelSet(int nIndex) const;
    bool DeleteRefLabelSet(int nIndex);

private:
    friend class tcDocument;
    friend class tcElement;
    friend bool tRemoveFromOwner(tcEntity*);
    friend bool tRemoveFromOwner(tcRefType*);

    bool IsElementIDUsed(int nID) const;

    tcDocument* m_pDoc = nullptr;
    std::vector<std::unique_ptr<tcElement>> m_apElements;
    int m_nNextTypeID = ELEMENTID_LASTRESERVED + 1;
    std::vector<std::unique_ptr<tcAttrList>> m_apLists;
    int m_nNextListID = 1;
    std::vector<std::unique_ptr<tcEntity>> m_apEntities;
    std::vector<std::unique_ptr<tcRefType>> m_apRefTypes;
    std::vector<std::unique_ptr<tcRefLabelSet>> m_apRefLabelSets;
};

// Deletes the object through its owner (the DTD, element or list that holds it), as the owner's own
// removal call does. False, changing nothing, for null or an object that stands alone.
bool tRemoveFromOwner(tcElement* pElement);
bool tRemoveFromOwner(tcAttribute* pAttr);
bool tRemoveFromOwner(tcAttrList* pList);
bool tRemoveFromOwner(tcEntity* pEntity);
bool tRemoveFromOwner(tcRefType* pType);
bool tRemoveFromOwner(tcLabelSet* pSet);

// tcElement::InsertAttribute for a caller that holds a plain pointer (a script): the element takes
// ownership of a stand-alone attribute. Null, taking nothing, for a null element or attribute, an
// attribute that already belongs to an element, or an index outside -1..count.
tcAttribute* tInsertAttribute(tcElement* pElement, tcAttribute* pAttr, int nIndex = -1);
