#pragma once

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <cstddef>
#include <utility>
#include <vector>

class tcDocument;
class tcDTD;
class tcElement;
class tcAttribute;
class tcNode;

// What CloneTree copies, and between which documents.
class tcCloneContext : public tcLifeNoticed
{
public:
    // An element kind (pAttr null: nodes of that kind and their subtrees are left out) or one
    // attribute of a kind (that attribute's values are left out). Kinds are those of the source.
    struct tcField
    {
        ~tcField() { tNotifyDestroyed(this); }

        tcElement* pElem = nullptr;
        tcAttribute* pAttr = nullptr;
    };

    tcCloneContext() = default;
    tcCloneContext(tcDocument* pTarget, tcDocument* pSource) : pTargetDoc(pTarget), pSourceDoc(pSource) {}
    ~tcCloneContext() { tNotifyDestroyed(this); }
    tcCloneContext(const tcCloneContext&) = default;
    tcCloneContext& operator=(const tcCloneContext&) = default;

    // Adds an excluded element kind (pAttr null) or attribute.
    void Ignore(tcElement* pElem, tcAttribute* pAttr = nullptr) { aIgnoreFields.push_back(tcField{pElem, pAttr}); }

    // New nodes are allocated in pTargetDoc (the target node's document when null).
    tcDocument* pTargetDoc = nullptr;
    tcDocument* pSourceDoc = nullptr;
    // When false, attributes the target already holds a value for keep it.
    bool bOverwriteAttributes = false;
    // Between documents: kinds and attributes the target DTD lacks are declared (by name) when
    // true; nodes of a missing kind, and values of a missing attribute, are left out when false.
    bool bMergeDTDs = false;
    // Skipping children equal to existing ones is not supported by this library: ignored.
    bool bSkipDuplicates = false;
    std::vector<tcField> aIgnoreFields;
    // Reference remapping is not supported by this library: these stay as the caller set them.
    bool bRefsAtEnd = false;
    std::vector<tcNode*> apRefL;
    std::vector<tcNode*> apRefR;
};

// A node of a document tree: an element node (a kind of the document's DTD, attribute values and
// children) or a leaf (tcText, tcCDATA, tcErrorNode).
//
// Ownership, as in pugixml: the document owns every node it allocated, attached or not, and frees
// them when it is destroyed (tcDocument::DeleteDoc). A node owns nothing else; a node pointer stays
// valid until the node is deleted (tcDocument::DeleteTreeFromDoc / DeleteTreeFromMem, or delete) or
// its document is destroyed. Deleting a node that is still in a tree detaches it first; its
// subtree goes with it. A node made without a document (new tcText) belongs to its creator until
// it is attached to a document's node.
//
// Attribute values are text for every attribute type. A node tells apart an attribute that holds
// the empty text ("set but empty") from one that was never set. The display and the stored (raw)
// form are the same text; list separators are accepted for callers that pass them and leave the
// text as it is. Writing an attribute never marks the document changed.
//
// Indexes are bounds-checked everywhere: an index out of range gives null, -1, false or no
// effect. Main thread only.
class tcNode : public tcLifeNoticed
{
public:
    // A node without a document or kind, for callers that build trees outside documents.
    tcNode() : tcNode(nullptr, nullptr) {}
    virtual ~tcNode();
    // Nodes come from a pool of their own: documents hold many small nodes of a few sizes.
    static void* operator new(std::size_t nSize);
    static void operator delete(void* p, std::size_t nSize) noexcept;
    tcNode(const tcNode&) = delete;
    tcNode& operator=(const tcNode&) = delete;

    // --- Class -----------------------------------------------------------------------------------
    // The node's class: NODE_DICTIONARY (tcDictionary), NODE_SECTION (tcLanguage), NODE_ENTRY
    // (tcEntry), NODE_SUBENTRY (tcSubentry), NODE_REFERENCES (tcReferences), NODE_TEXTNODE (tcText),
    // NODE_CDATA (tcCDATA), NODE_ERROR (tcErrorNode); a plain element node gives its kind's class
    // when that is none of those, else NODE_NODE. So a class test is enough before a static_cast.
    virtual teNodeClass GetClassType() const { return NODE_NODE; }
    bool IsClass(int eClass) const { return GetClassType() == eClass; }
    // True also for a subclass: a tcSubentry is of kind NODE_ENTRY.
    virtual bool IsKindOfClass(int eClass) const { return GetClassType() == eClass; }
    virtual const char* GetClassName() const { return "tcNode"; }
    bool IsElementNode() const { return m_pElement != nullptr; }
    // Special designations are not modelled on nodes here: always false.
    bool IsSpecialType() const { return false; }

    // --- Kind ------------------------------------------------------------------------------------
    tcElement* GetElement() const { return m_pElement; }
    // Changes the kind. Values of the old kind's attributes are kept but no longer readable.
    void SetElement(tcElement* pElement) { m_pElement = pElement; }
    // The kind's DTD, null for leaves.
    tcDTD* GetDTD() const;
    // Empty for leaves.
    wxString GetElementName() const;
    // -1 for leaves.
    int GetElementTypeID() const;
    int GetNumAttributes() const;
    // The kind's attribute at nIndex, or null.
    tcAttribute* GetAttributeDescriptor(int nIndex) const;

    // --- Identity and place ----------------------------------------------------------------------
    tID GetID() const { return m_nID; }
    // Also tells the document's identifier assigner, so that it never hands out this identifier.
    void SetID(tID nID);
    // The document the node belongs to, null for a node made without one.
    tcDocument* GetDoc() const { return m_pDoc; }
    tcNode* GetParent() const { return m_pParent; }
    int GetNumChildren() const { return static_cast<int>(m_apChildren.size()); }
    // Null for an index out of range.
    tcNode* GetChild(int nIndex) const;
    // The children in order; the vector changes when children are added or removed.
    const std::vector<tcNode*>& GetChildren() const { return m_apChildren; }
    tcNode* GetPrevious() const;
    tcNode* GetNext() const;
    // Index of pChild among the children, -1 when it is not a child.
    int FindIndex(const tcNode* pChild) const;
    // Own index in the parent, -1 without a parent.
    int FindOurIndex() const;
    // Own index among the parent's children of the same kind, -1 without a parent.
    int FindOurIndexOfSameType() const;
    // True when this node lies (strictly) below pAncestor.
    bool IsDescendantOf(const tcNode* pAncestor) const;

    // --- Attribute values ------------------------------------------------------------------------
    // Getters give the empty text (0 for numbers) for an attribute without a value, a null
    // attribute or one that is not of this node's kind. Setters return false for those and do
    // nothing.
    bool HasAttributeValue(const tcAttribute* pAttr) const;
    // Removes the value (back to "unset"). False when there was none.
    bool ResetAttributeValue(const tcAttribute* pAttr);
    // Sets the attribute's declared default when it has a non-empty one; false otherwise.
    bool CreateDefaultAttrValue(const tcAttribute* pAttr);

    wxString GetAttributeS(const tcAttribute* pAttr) const;
    wxString GetAttributeS(int nIndex) const { return GetAttributeSByIndex(nIndex); }
    wxString GetAttributeSByID(int nAttrID) const;
    wxString GetAttributeSByIndex(int nIndex) const;
    wxString GetAttributeSByName(const wxString& sName) const;
    // Null when there is no value; valid until the value changes.
    const wxString* GetAttributePStrValue(const tcAttribute* pAttr) const;
    bool SetAttributeS(const tcAttribute* pAttr, const wxString& sValue);
    bool SetAttributeSByID(int nAttrID, const wxString& sValue);
    // Stores the empty text (set but empty).
    bool AllocAttributeS(const tcAttribute* pAttr) { return SetAttributeS(pAttr, wxString()); }

    // Decimal values; text that is no number reads as 0.
    int GetAttributeI(const tcAttribute* pAttr) const;
    int GetAttributeIByID(int nAttrID) const;
    int GetAttributeIByIndex(int nIndex) const;
    bool SetAttributeI(const tcAttribute* pAttr, int nValue);
    bool SetAttributeIByID(int nAttrID, int nValue);

    wxString GetAttributeDisplayAsString(const tcAttribute* pAttr, const wxString& sListSep = ",") const;
    wxString GetAttributeDisplayAsStringByIndex(int nIndex, const wxString& sListSep = ",") const;
    wxString GetAttributeRawAsString(const tcAttribute* pAttr, const wxString& sListSep = ",") const;
    wxString GetAttributeDeprecatedAsString(const tcAttribute* pAttr) const { return GetAttributeS(pAttr); }
    wxString GetAttributeDeprecatedAsStringByIndex(int nIndex) const { return GetAttributeSByIndex(nIndex); }
    // With bNotify, Evt_AttributeModified is triggered with (node, attribute) after the change.
    bool SetAttributeDisplayByString(const tcAttribute* pAttr, const wxString& sValue, bool bNotify = false,
                                     const wxString& sListSep = ",");
    bool SetAttributeDisplayByString(const wxString& sAttrName, const wxString& sValue, bool bNotify = false,
                                     const wxString& sListSep = ",");
    bool SetAttributeRawByString(const tcAttribute* pAttr, const wxString& sValue, bool bNotify = false,
                                 const wxString& sListSep = ",");
    bool SetAttributeRawByString(const wxString& sAttrName, const wxString& sValue, bool bNotify = false,
                                 const wxString& sListSep = ",");
    // The value split at "," (the separator lists are stored with); empty parts are dropped.
    std::vector<wxString> GetAttributeListN(const tcAttribute* pAttr) const;

    // --- Children --------------------------------------------------------------------------------
    // The insertion calls take a node that may still sit elsewhere: it is moved (detached from its
    // old parent first) and its subtree joins this node's document. They refuse (false) a null
    // child, a child that is this node or one of its ancestors, a parent that is a leaf, and an
    // index out of range. No event is triggered and the document is not marked changed.
    //
    // Places the child in the order of this node's kind: after the children its kind may follow,
    // before those that must come after it (the relation list may name a kind more than once; the
    // latest position that fits the list wins). The XLIFF unit kinds source, seg-source, target,
    // note and alt-trans always keep that order among themselves, declared or not. A kind the
    // parent does not declare goes last; so does a text or CDATA node.
    bool AddChildOrdered(tcNode* pChild);
    bool AddChildLast(tcNode* pChild);
    // Inserts before the child at nIndex; nIndex may be GetNumChildren() (append).
    bool InsertChild(tcNode* pChild, int nIndex);
    // Puts pNew where pOld stands; pOld is detached (not deleted). False when pOld is no child.
    bool ReplaceChild(tcNode* pOld, tcNode* pNew);
    // Detaches the child; it stays owned by the document until deleted. False when it is no child.
    bool RemoveChild(tcNode* pChild);
    // Detaches and returns the child at nIndex, null when out of range.
    tcNode* RemoveChildByIndex(int nIndex);
    // Detaches this node from its parent; false without a parent.
    bool RemoveNode();
    bool SwopChildren(int nIndex1, int nIndex2);
    // Moves the child at nFrom to position nTo (an index of the list after removal).
    bool MoveChild(int nFrom, int nTo);

    // --- Searching -------------------------------------------------------------------------------
    // "ElementType" means the kind's identifier, "ClassType" the exact node class, "ClassKind" the
    // class or a subclass (IsKindOfClass). Descendants exclude the node itself and are visited in
    // document order. The Nth calls count from 0 and give null when there are fewer.
    int GetNumChildrenOfElementType(int nElementID) const;
    int GetNumChildrenOfClassType(int eClass) const;
    int GetNumChildrenOfClassKind(int eClass) const;
    bool HaveChildrenOfElementType(int nElementID) const { return GetNthChildOfElementType(nElementID, 0) != nullptr; }
    bool HaveChildrenOfClassType(int eClass) const { return GetNthChildOfClassType(eClass, 0) != nullptr; }
    bool HaveChildrenOfClassKind(int eClass) const { return GetNthChildOfClassKind(eClass, 0) != nullptr; }
    tcNode* GetNthChildOfElementType(int nElementID, int n) const;
    tcNode* GetNthChildOfClassType(int eClass, int n) const;
    tcNode* GetNthChildOfClassKind(int eClass, int n) const;
    tcNode* GetNthDescendantOfElementType(int nElementID, int n) const;
    tcNode* GetNthDescendantOfClassType(int eClass, int n) const;
    tcNode* GetNthDescendantOfClassKind(int eClass, int n) const;
    tcNode* GetNthDescendant(int n) const;
    bool HasDescendantsOfElementType(int nElementID) const
    {
        return GetNthDescendantOfElementType(nElementID, 0) != nullptr;
    }
    bool HasDescendantsOfClassType(int eClass) const { return GetNthDescendantOfClassType(eClass, 0) != nullptr; }
    bool HasDescendantsOfClassKind(int eClass) const { return GetNthDescendantOfClassKind(eClass, 0) != nullptr; }
    int GetNumDescendantsOfElementType(int nElementID) const;
    int GetNumDescendantsOfClassType(int eClass) const;
    int GetNumDescendantsOfClassKind(int eClass) const;
    int GetNumDescendants() const;
    // The Find calls append to apOut (not cleared) and return the number appended.
    int FindDescendantsOfElementType(int nElementID, std::vector<tcNode*>& apOut) const;
    int FindDescendantsOfClassType(int eClass, std::vector<tcNode*>& apOut) const;
    int FindDescendantsOfClassKind(int eClass, std::vector<tcNode*>& apOut) const;
    int GetAllDescendants(std::vector<tcNode*>& apOut) const;
    // This node or a descendant with that identifier, or null. idNULL finds nothing.
    tcNode* FindDescendantByID(tID nID) const;
    // This node or a descendant that is pNode (a membership test), or null.
    tcNode* FindDescendantByMemoryAddress(const tcNode* pNode) const;
    // The first child of that kind, or null.
    tcNode* FindChildElementInChildNodes(const tcElement* pElement) const;

    // --- Copying ---------------------------------------------------------------------------------
    // A new node of the same class, kind and attribute values (text for leaves), without children
    // and unattached, allocated in pTargetDoc (or this node's document when null); the kind is
    // looked up by name when the documents differ. Null when the target DTD lacks the kind.
    virtual tcNode* Clone(tcDocument* pTargetDoc = nullptr) const;
    // Copies pSource's attribute values and appends copies of its children (recursively) to this
    // node, as pContext says (null: same document, no exclusions). Returns false for a null source,
    // a source that is this node or one of its ancestors, or a leaf target.
    bool CloneTree(const tcNode* pSource, tcCloneContext* pContext = nullptr);

    // --- XML -------------------------------------------------------------------------------------
    // The node as XML: the element with its attributes (declaration order, empty values kept,
    // internal identifiers never written) and content. bEscape escapes text and attribute values;
    // bCDATASections writes CDATA nodes as CDATA sections (else their text as text).
    virtual wxString GenerateXML(bool bEscape = true, bool bCDATASections = true) const;
    // The children as XML, as GenerateXML writes content. (false, false) gives text and CDATA
    // contents raw, without markup around CDATA.
    wxString GenerateXMLChildren(bool bEscape = true, bool bCDATASections = true) const;
    // Replaces the node's children with the content parsed from sXML (a fragment: text, CDATA and
    // elements). Unknown element kinds and attributes are declared in pDoc's DTD as they are met,
    // kinds that receive text are marked as allowing it; nothing is dropped. Returns false when the
    // text is not well-formed; the children are then left as they were.
    virtual bool ParseXML(const wxString& sXML, tcDocument* pDoc, int nOptions = 0, int nReserved = 0);

    // --- Further members scripts use ----------------------------------------------------------
    // Synonyms of the calls above.
    tcAttribute* GetAttrDesc(int nIndex) const { return GetAttributeDescriptor(nIndex); }
    wxString GetAttributeLuaStrValue(const tcAttribute* pAttr) const { return GetAttributeS(pAttr); }
    int GetAttributeIIntValue(const tcAttribute* pAttr) const { return GetAttributeI(pAttr); }
    bool SetAttributeDeprecatedByString(const tcAttribute* pAttr, const wxString& sValue)
    {
        return SetAttributeS(pAttr, sValue);
    }
    bool SetAttributeDeprecatedByString(const wxString& sAttrName, const wxString& sValue);

    // Triggers Evt_NodeDeleteFromDoc (document, node), as DeleteTreeFromDoc does before it deletes.
    void PreDeleteFromDoc();

    // List values. A list attribute holds item texts of its list (tcAttribute::GetList) separated
    // by ","; these calls address the items by their list identifiers. An attribute without a list,
    // or an identifier the list does not have, gives -1 / false and changes nothing.
    // The identifier of the nth value, -1 when there is none or it is no item of the list.
    int GetAttributeListID(const tcAttribute* pAttr, int n = 0) const;
    int GetAttributeListIDByIndex(int nAttrIndex, int n = 0) const;
    // The identifier when the value is exactly one item, else -1.
    int GetAttributeSingleListID(const tcAttribute* pAttr) const;
    // Makes the item the only value.
    bool SetAttributeListID(const tcAttribute* pAttr, int nID);
    // Appends the item; false when it is a value already.
    bool AddAttributeListID(const tcAttribute* pAttr, int nID);
    bool HasAttributeListID(const tcAttribute* pAttr, int nID) const;
    bool RemoveAttributeListID(const tcAttribute* pAttr, int nID);
    // Adds the item when absent, removes it when present; true when it is a value afterwards.
    bool ToggleAttributeListID(const tcAttribute* pAttr, int nID);
    bool ToggleAttributeListItem(const tcAttribute* pAttr, const wxString& sItemText);
    // Puts the values in the order of the list (values that are no items go last, as they stood).
    // True when the value changed.
    bool ReorderAttributeListItems(const tcAttribute* pAttr);

    // Node-valued attributes are not modelled: no value (null) and nothing is stored (false).
    tcNode* GetAttributeP(const tcAttribute*) const { return nullptr; }
    tcNode* GetAttributePByIndex(int) const { return nullptr; }
    bool SetAttributeP(const tcAttribute*, tcNode*) { return false; }
    bool SetAttributePByID(int, tcNode*) { return false; }
    // Special designations are not modelled on nodes (IsSpecialType): null.
    tcNode* GetNthDescendantOfSpecialType(int, int) const { return nullptr; }

    // Moves among the siblings: one place up / down, or past the nearest sibling of the same kind
    // (Rel). False at the end of the list, without a parent or such a sibling.
    bool MoveNodeUp();
    bool MoveNodeDown();
    bool MoveUpRel();
    bool MoveDownRel();
    // Moves the node (with its subtree) under pNewParent at nIndex, or where the parent's order puts
    // it for nIndex < 0. False as the insertion calls refuse.
    bool MoveNode(tcNode* pNewParent, int nIndex = -1);
    // The first descendant of that kind (document order), or null.
    tcNode* FindDescendant(const tcElement* pElement) const;

    // True when pOther is of the same class and kind (by name) with the same attribute values
    // (by name), or the same text for leaves; children are not compared.
    virtual bool CompareNode(const tcNode* pOther) const;
    // CompareNode of the two trees, node by node.
    bool CompareTree(const tcNode* pOther) const;

    // Values are text for every attribute type, so a type change keeps the value: true when the
    // attribute is one of this node's kind.
    bool ChangeAttributeType(const tcAttribute* pAttr, int eNewType) const;
    // Values are kept by attribute, not by index, so changes to the kind's attribute list need no
    // adjustment on nodes: these do nothing.
    void AttributeAdded(int) {}
    void AttributeInserted(int) {}
    void AttributeDeleted(int) {}
    void AttributesSwopped(int, int) {}

    // Puts the element children in the order of the kind's content model (as AddChildOrdered);
    // a kind that holds text keeps its mixed content as it stands.
    void ReorderChildren();
    // Makes room for nCount children ahead (a hint: counts above 1,048,576 reserve that many).
    void ReserveSpaceForChildren(int nCount);
    // Replaces the child at nIndex with pChild (see ReplaceChild).
    bool SetChildAt(int nIndex, tcNode* pChild);

protected:
    tcNode(tcDocument* pDoc, tcElement* pElement);

    // Copies attribute values from pSource (by attribute when the kinds are the same, else by name).
    void CopyAttributesFrom(const tcNode* pSource, const tcCloneContext* pContext);

private:
    friend class tcDocument;

    // Values are shared text: every node holding the same value points at one pooled copy (a
    // project repeats a handful of languages and scores across many thousand proposals).
    struct AttrValue
    {
        unsigned nSerial;
        const wxString* pValue;
    };
    // The pooled copy of sValue, counted once more; safe from any thread.
    static const wxString* ShareValue(const wxString& sValue);
    // Counts one holder of a pooled copy less; the copy goes with its last holder.
    static void ReleaseValue(const wxString* pValue);
    void ReleaseValues();

    const AttrValue* FindValue(const tcAttribute* pAttr) const;
    bool OwnsAttribute(const tcAttribute* pAttr) const;
    // Detaches pChild from its parent or, without one, from its document's unattached roots.
    static void TakeOut(tcNode* pChild);
    // Inserts after the checks of the public calls; nIndex is in range.
    void LinkChild(tcNode* pChild, int nIndex);
    bool CanAdopt(const tcNode* pChild) const;
    int OrderedPosition(const tcNode* pChild) const;
    void SetDocRecursive(tcDocument* pDoc);
    void CloneChildrenFrom(const tcNode* pSource, tcCloneContext& context);

    tcDocument* m_pDoc = nullptr;
    tcElement* m_pElement = nullptr;
    tcNode* m_pParent = nullptr;
    tID m_nID = idNULL;
    // Place in the document's list of unattached roots, -1 when not there.
    int m_nOrphanSlot = -1;
    std::vector<tcNode*> m_apChildren;
    std::vector<AttrValue> m_aValues;
};

// An element node of a kind whose class has no node class of its own.
class tcElementNode : public tcNode
{
public:
    tcElementNode(tcDocument* pDoc, tcElement* pElement) : tcNode(pDoc, pElement) {}

    teNodeClass GetClassType() const override;
    const char* GetClassName() const override { return "tcElementNode"; }
};

// Decoded text. Appending is amortised constant time, so a text built from many parser callbacks
// costs linear time.
class tcText : public tcNode
{
public:
    explicit tcText(const wxString& sText = wxString(), tcDocument* pDoc = nullptr)
        : tcNode(pDoc, nullptr), m_sText(sText)
    {
    }

    teNodeClass GetClassType() const override { return NODE_TEXTNODE; }
    const char* GetClassName() const override { return "tcText"; }

    const wxString& GetText() const { return m_sText; }
    wxString GetTextStr() const { return m_sText; }
    void SetText(const wxString& sText) { m_sText = sText; }
    // Takes nLen characters of szText (a null text gives the empty text).
    void SetTextWithLen(const wchar_t* szText, size_t nLen);
    void AppendText(const wxString& sText) { m_sText += sText; }
    // A text node of the same class with the same text.
    bool CompareNode(const tcNode* pOther) const override;

    tcNode* Clone(tcDocument* pTargetDoc = nullptr) const override;
    wxString GenerateXML(bool bEscape = true, bool bCDATASections = true) const override;
    // Replaces the text with the decoded text of sXML; false when sXML holds markup or is not
    // well-formed.
    bool ParseXML(const wxString& sXML, tcDocument* pDoc, int nOptions = 0, int nReserved = 0) override;

private:
    wxString m_sText;
};

// The content of a CDATA section, kept apart from text so that writers can keep the section.
class tcCDATA : public tcNode
{
public:
    explicit tcCDATA(const wxString& sText = wxString(), tcDocument* pDoc = nullptr)
        : tcNode(pDoc, nullptr), m_sText(sText)
    {
    }

    teNodeClass GetClassType() const override { return NODE_CDATA; }
    const char* GetClassName() const override { return "tcCDATA"; }

    const wxString& GetText() const { return m_sText; }
    wxString GetTextStr() const { return m_sText; }
    void SetText(const wxString& sText) { m_sText = sText; }
    void SetTextWithLen(const wchar_t* szText, size_t nLen);
    void AppendText(const wxString& sText) { m_sText += sText; }
    // A text node of the same class with the same text.
    bool CompareNode(const tcNode* pOther) const override;

    tcNode* Clone(tcDocument* pTargetDoc = nullptr) const override;
    wxString GenerateXML(bool bEscape = true, bool bCDATASections = true) const override;
    // Replaces the content with sXML taken as it stands (CDATA content is not markup). True.
    bool ParseXML(const wxString& sXML, tcDocument* pDoc, int nOptions = 0, int nReserved = 0) override;

private:
    wxString m_sText;
};

// A placeholder for content that could not be parsed: an error type (PARSEERROR_*), the text and a
// suggestion.
class tcErrorNode : public tcNode
{
public:
    explicit tcErrorNode(tcDocument* pDoc = nullptr) : tcNode(pDoc, nullptr) {}
    tcErrorNode(int eType, const wxString& sText, const wxString& sSuggestion, tcDocument* pDoc = nullptr)
        : tcNode(pDoc, nullptr), m_eType(eType), m_sText(sText), m_sSuggestion(sSuggestion)
    {
    }

    teNodeClass GetClassType() const override { return NODE_ERROR; }
    const char* GetClassName() const override { return "tcErrorNode"; }

    void SetErrorType(int eType) { m_eType = eType; }
    int GetErrorType() const { return m_eType; }
    const wxString& GetErrorText() const { return m_sText; }
    const wxString& GetErrorSuggestion() const { return m_sSuggestion; }
    void SetErrorText(const wxString& s) { m_sText = s; }
    void SetErrorSuggestion(const wxString& s) { m_sSuggestion = s; }
    // An error node with the same type, text and suggestion.
    bool CompareNode(const tcNode* pOther) const override;

    tcNode* Clone(tcDocument* pTargetDoc = nullptr) const override;
    // The text as it was met (escaped when bEscape).
    wxString GenerateXML(bool bEscape = true, bool bCDATASections = true) const override;

private:
    int m_eType = PARSEERROR_UNKNOWN;
    wxString m_sText;
    wxString m_sSuggestion;
};

// Forms of node calls for callers that hold text as wxString (scripts).
// The attribute's value; the empty text when it has none (GetAttributePStrValue gives null then).
wxString tGetAttributePStrValue(const tcNode* pNode, const tcAttribute* pAttr);
// SetTextWithLen with the length limited to the text: at most sText.length() characters are taken.
void tSetTextWithLen(tcText* pNode, const wxString& sText, size_t nLen);
void tSetTextWithLen(tcCDATA* pNode, const wxString& sText, size_t nLen);
