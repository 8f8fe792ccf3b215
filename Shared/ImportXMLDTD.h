#pragma once

#include "varnak/include/VarnakConst.h"

#include <xercesc/util/XercesDefs.hpp>

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class CXMLImporter;
class tcAttrList;
class tcAttribute;
class tcElement;

// A list name announced for an attribute declaration, bound to its list by element start.
struct CXMLPendingAttrList
{
    tcAttribute* pAttribute = nullptr;
    wxString sListName;
};

// The document type declarations of one load, read into the importer's document: element kinds
// with their child relations (from the program's own dictionary document type, whose first
// declarations name the dictionary, section and entry elements, or from any other DTD), attribute
// kinds with their lists and defaults, internal entities, and the attribute announcements that
// "ATTDATA" comments of native files make for the next attribute declaration.
//
// The importer forwards the parser's declaration callbacks here; none of them throws (a failure
// becomes a load error or a log line). Main thread, inside one parse.
class CXMLDTDDeclarations
{
public:
    // importer must outlive this object; its document and element names are read and set.
    explicit CXMLDTDDeclarations(CXMLImporter& importer);
    ~CXMLDTDDeclarations();
    CXMLDTDDeclarations(const CXMLDTDDeclarations&) = delete;
    CXMLDTDDeclarations& operator=(const CXMLDTDDeclarations&) = delete;

    void StartDTD(const XMLCh* const name);
    void InternalEntityDecl(const XMLCh* const name, const XMLCh* const value);
    void ElementDecl(const XMLCh* const name, const XMLCh* const model);
    void AttributeDecl(const XMLCh* const eName, const XMLCh* const aName, const XMLCh* const type,
                       const XMLCh* const mode, const XMLCh* const value);

    // sText: an unescaped comment holding "ATTDATA type, list name, default kind, orientation";
    // sDelivered the comment as the parser gave it, for the load errors. A complete announcement
    // applies to the next attribute declaration; anything else is reported and dropped.
    void ReadAttributeAnnouncement(const wxString& sText, const wxString& sDelivered);
    void DiscardAnnouncement();
    // The announcement waiting for the next attribute declaration; a null part was not announced.
    struct Announcement
    {
        const int32_t* pnType = nullptr;
        const int32_t* pnDefault = nullptr;
        const bool* pbRTL = nullptr;
        const wxString* psListName = nullptr;
    };
    Announcement GetAnnouncement() const
    {
        return {m_pnPendingAttrType.get(), m_pnPendingAttrDefault.get(), m_pbPendingAttrRTL.get(),
                m_psPendingAttrListName.get()};
    }
    // The list names announced for attribute kinds, to be bound once the dictionary starts; the
    // caller takes them over.
    std::vector<CXMLPendingAttrList> TakePendingAttrLists();
    // Gives every attribute kind waiting for the list named sListName (exactly) that list and
    // forgets those pairs; the others stay in order.
    void BindPendingAttrLists(const wxString& sListName, tcAttrList* pList);

    // Whether the file uses the program's own dictionary document type.
    bool IsNativeDocType() const { return m_bNativeDocType; }
    void SetNativeDocType() { m_bNativeDocType = true; }

private:
    void ElementDeclNative(const wxString& sName, const wxString& sModel);
    void ElementDeclGeneric(const wxString& sName, const wxString& sModel);
    // Adds sChild to the declared kind sParent; false (with the load error) when sParent is missing.
    bool AddDeclaredChild(const wxString& sParent, const wxString& sChild, teChildRelationConstraint eConstraint);
    // Mixed content ("(#PCDATA|a|b)*"): the kind pKind of sName takes text, and each named child any
    // number of times; stops at the first child that cannot be added (see AddDeclaredChild).
    void DeclareMixedContent(const wxString& sName, tcElement* pKind, const wxString& sModel);
    // Gives the entry kind's homonym, pronunciation and etymology attributes their identifiers.
    void ApplyEntryAttributeIDs(const wxString& sElementName, tcAttribute* pAttr);
    static teDefaultType DefaultTypeFromMode(const wxString& sMode);

    CXMLImporter& m_importer;
    bool m_bNativeDocType = false;
    // The declarations ahead of the dictionary element's are the library's own.
    bool m_bSkipBuiltInAttrDecls = true;
    // The announcement of the last "ATTDATA" comment; complete only when all four are set.
    std::unique_ptr<int32_t> m_pnPendingAttrType;
    std::unique_ptr<int32_t> m_pnPendingAttrDefault;
    std::unique_ptr<bool> m_pbPendingAttrRTL;
    std::unique_ptr<wxString> m_psPendingAttrListName;
    std::vector<CXMLPendingAttrList> m_aPendingAttrLists;
};
