#pragma once

#include <wx/string.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class tcDictionary;
class tcDocument;
class tcIO;
class tcLanguage;
class tcReferences;

// ---- Collected cross references -------------------------------------------------------------------

// A target of a reference record: a sense by identifier in the file (records by identifier), or a
// lemma text with sense numbers, homonym number and section (records by text).
struct CXMLRefTarget
{
    int nSenseID = -1;
    wxString sLemma;
    wxString sSenses;
    int nHomonym = -1;
    tcLanguage* pSection = nullptr;
};

// A reference record: the target entry's identifier in the file (-1 when it is named by text),
// the reference type text and the targets in file order.
struct CXMLRefRecord
{
    int nTargetEntryID = -1;
    wxString sRefType;
    std::vector<CXMLRefTarget> aTargets;
};

// The references node made for one references element and its records in file order.
struct CXMLRefGroup
{
    tcReferences* pReferences = nullptr;
    std::vector<CXMLRefRecord> lemmalist;
};

// The cross references of one load. While the file is read, every references element opens a group
// and its parts add records and targets to the last one; the identifiers the file gives its nodes
// are mapped to the nodes made for them. At document end Resolve turns the records into references
// of the groups' nodes. Targets that cannot be found become load errors of the IO handler given at
// construction. Main thread, inside one parse.
class CXMLCrossReferences
{
public:
    // io receives the load errors and must outlive this object.
    explicit CXMLCrossReferences(tcIO& io);
    ~CXMLCrossReferences();
    CXMLCrossReferences(const CXMLCrossReferences&) = delete;
    CXMLCrossReferences& operator=(const CXMLCrossReferences&) = delete;

    // The node made for the element that carried identifier nFileID in the file.
    void MapFileID(int32_t nFileID, uint32_t nNodeID);
    // Opens the group of one references element; pReferences may be null (a node that cannot hold
    // references: its records are read but resolve to nothing).
    void OpenGroup(tcReferences* pReferences);
    // The group opened last; null before the first. Valid until Resolve or Clear.
    CXMLRefGroup* LastGroup();
    bool Empty() const { return m_aGroups.empty(); }
    // What has been collected so far, for inspection.
    const std::vector<std::unique_ptr<CXMLRefGroup>>& Groups() const { return m_aGroups; }
    const std::map<int32_t, uint32_t>& FileIDs() const { return m_mapFileIdToNodeId; }

    // Resolves every record: records by identifier against pDictionary (may be null: every one is
    // then missing), records by text against their sections and the reference label sets of pDoc's
    // DTD. pSection is the section open at the end; a record by identifier without one reports a
    // failed assertion. Forgets the groups afterwards; the identifier map stays.
    void Resolve(tcDocument* pDoc, tcDictionary* pDictionary, const tcLanguage* pSection);
    // Forgets the groups without resolving them (a failed load).
    void Clear();

private:
    void ResolveByID(tcDictionary* pDictionary, const tcLanguage* pSection, CXMLRefGroup& group,
                     CXMLRefRecord& record);
    void ResolveByText(tcDocument* pDoc, CXMLRefGroup& group, CXMLRefRecord& record);

    tcIO& m_io;
    std::vector<std::unique_ptr<CXMLRefGroup>> m_aGroups;
    std::map<int32_t, uint32_t> m_mapFileIdToNodeId;
};
