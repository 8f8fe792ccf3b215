#pragma once

#include "varnak/include/tcDTD.h"

#include <wx/string.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class tcAttrList;
class tcAttribute;
class tcDocument;
class tcElement;
class tcNode;
class tcStyles;

// What a load may change outside the dictionary tree and must give back when it fails: the style
// sets with their orders and styles, the current style set, the DTD's value lists (items and label
// sets), the next list identifier, the cross-reference types and their label sets.
//
// With bTreeAndKinds (a merge into a document that has its tree) also the element kinds (names,
// flags, child relations, attributes), the dictionary's and its sections' children and attribute
// values, and the entities: nodes, kinds, attributes and entities the load added go again. A merge
// only adds below the dictionary and its sections, and what it adds is new throughout.
//
// Take it before the load touches the document; Restore after a failed load. Style and order items
// of kinds or attributes that the load deleted are dropped, never followed. Main thread.
class CXMLLoadSnapshot
{
public:
    explicit CXMLLoadSnapshot(const tcDocument& doc, bool bTreeAndKinds = false);
    ~CXMLLoadSnapshot();
    CXMLLoadSnapshot(const CXMLLoadSnapshot&) = delete;
    CXMLLoadSnapshot& operator=(const CXMLLoadSnapshot&) = delete;

    void Restore(tcDocument& doc) const;

private:
    struct ListCopy
    {
        const tcAttrList* pList = nullptr;
        wxString sName;
        int nID = 0;
        std::vector<std::pair<int, wxString>> aItems;
        struct LabelSet
        {
            wxString sName;
            std::vector<std::pair<int, wxString>> aLabels;
        };
        std::vector<LabelSet> aLabelSets;
    };
    struct RefLabelSetCopy
    {
        wxString sName;
        struct Label
        {
            int nID;
            wxString sLabelS;
            wxString sLabelP;
        };
        std::vector<Label> aLabels;
    };

    struct KindCopy
    {
        tcElement* pKind = nullptr;
        wxString sName;
        int nFlags = 0;
        std::vector<tcChildRelation> aRelations;
        std::vector<const tcAttribute*> apAttributes;
    };
    struct NodeCopy
    {
        tcNode* pNode = nullptr;
        std::vector<const tcNode*> apChildren;
        std::vector<std::pair<const tcAttribute*, std::optional<wxString>>> aValues;
    };
    void RestoreTreeAndKinds(tcDocument& doc) const;

    bool m_bTreeAndKinds = false;
    std::vector<KindCopy> m_aKinds;
    const tcNode* m_pDictionary = nullptr;
    std::vector<NodeCopy> m_aNodes;
    int m_nEntities = 0;
    std::vector<std::unique_ptr<tcStyles>> m_apStyleSets;
    int m_nCurrentStyleSet = 0;
    // The owner of every attribute the copied styles and orders refer to, read while it was valid.
    std::map<const tcAttribute*, const tcElement*> m_mapAttributeOwners;
    std::vector<ListCopy> m_aLists;
    int m_nNextListID = 1;
    std::vector<std::pair<int, wxString>> m_aRefTypes;
    std::vector<RefLabelSetCopy> m_aRefLabelSets;
};
