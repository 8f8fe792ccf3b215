#pragma once

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tObjectLife.h"
#include "varnak/include/tString.h"

#include <wx/string.h>

#include <memory>
#include <string>
#include <vector>

class tcEntry;
class tcNode;
class tcAttribute;
class tcSortMethod;

// Text comparators. This library applies no collation of its own: every comparator orders text by
// UTF-16 code units (teStrcmp), as the original platform does without a sort method. Derive to
// compare otherwise. Safe from any thread.
class tcStrCmp : public tcLifeNoticed
{
public:
    tcStrCmp() = default;
    // A copy belongs to no sort method.
    tcStrCmp(const tcStrCmp&) : tcLifeNoticed() {}
    tcStrCmp& operator=(const tcStrCmp&) { return *this; }
    virtual ~tcStrCmp() { tNotifyDestroyed(this); }
    // Negative, 0 or positive as sA sorts before, with or after sB.
    virtual int Cmp(const wxString& sA, const wxString& sB) const { return teStrcmp(sA, sB); }
    // The sort method that owns this comparator (and destroys it); null when none does.
    const tcSortMethod* GetOwnerMethod() const { return m_pOwnerMethod; }
    // True for a section's own comparator (a member of the section): it ends with the section, and
    // nothing may delete it or take it over.
    bool IsSectionSort() const { return m_bSectionSort; }

private:
    friend class tcSortMethod;
    friend class tcLanguage;
    const tcSortMethod* m_pOwnerMethod = nullptr;
    bool m_bSectionSort = false;
};

// The comparator of a section's sort method; here the code-unit order of tcStrCmp. It keeps the
// configuration block it is given (sort plug-ins that would read it are not supported), so a
// configuration survives a save and load unchanged.
class tcSort : public tcStrCmp
{
public:
    // Nothing to prepare for the code-unit order: true.
    virtual bool InitializeSort() { return true; }
    // There is nothing a user could configure: false.
    virtual bool CanConfigure() const { return false; }
    // Shows nothing and returns false (nothing was configured). pParent is the would-be owner window.
    virtual bool ConfigureSortMethod(void* pParent = nullptr)
    {
        (void)pParent;
        return false;
    }
    // The configuration block as bytes; what ReadCfgBlock stored last (empty at first).
    virtual std::string SaveCfgBlock() const { return m_sCfg; }
    // Stores the block; true.
    virtual bool ReadCfgBlock(const std::string& sData)
    {
        m_sCfg = sData;
        return true;
    }

private:
    std::string m_sCfg;
};

// A sort method of a document: an identifier, a name, the configuration bytes of its comparator
// and the comparator itself, which the method owns.
class tcSortMethod : public tcLifeNoticed
{
public:
    tcSortMethod();
    tcSortMethod(int nID, const wxString& sName);
    ~tcSortMethod();
    tcSortMethod(const tcSortMethod&) = delete;
    tcSortMethod& operator=(const tcSortMethod&) = delete;

    // Sets identifier and name, empties the configuration and gives the method a fresh comparator.
    void Init(int nID, const wxString& sName);
    int GetID() const { return m_nID; }
    void SetName(const wxString& sName) { m_sName = sName; }
    void RenameSortMethod(const wxString& sName) { m_sName = sName; }
    const wxString& GetName() const { return m_sName; }

    // Hands the stored configuration to the comparator (tcSort::ReadCfgBlock); its result.
    bool InitUsingCfgData();
    void SetCfgData(const std::string& sData) { m_sCfg = sData; }
    // Takes the comparator's current configuration (tcSort::SaveCfgBlock) as the stored one.
    void UpdateCfgData();
    const std::string& GetCfgData() const { return m_sCfg; }
    int GetCfgSize() const { return static_cast<int>(m_sCfg.size()); }

    // Takes ownership of the comparator; null gives the method a fresh code-unit comparator.
    void SetSort(std::unique_ptr<tcSort> pSort);
    // The same for a comparator made with new (scripts hold no unique_ptr). Throws
    // std::invalid_argument, taking nothing, for a comparator another sort method owns or a
    // section's own comparator; the method's own comparator changes nothing.
    void SetSort(tcSort* pSort);
    // Never null; owned by the method, valid until SetSort or Init replaces it.
    tcSort* GetSort() const { return m_pSort.get(); }

private:
    int m_nID = 0;
    wxString m_sName;
    std::string m_sCfg;
    std::unique_ptr<tcSort> m_pSort;
};

// An entry with the value it is sorted by: the value of an attribute of one of its nodes, read
// when the attribute is set (szCachedVal) so that sorting reads no attributes.
class tcSortedEntry : public tcLifeNoticed
{
public:
    explicit tcSortedEntry(tcEntry* pEntry = nullptr) : m_pEntry(pEntry) {}
    tcSortedEntry(const tcSortedEntry&) = default;
    tcSortedEntry& operator=(const tcSortedEntry&) = default;
    ~tcSortedEntry() { tNotifyDestroyed(this); }

    // Takes pNode's value of pAttr as the sort value; with a null node or attribute the value is
    // empty. The identifiers follow the pointers (idNULL / -1 for null).
    void SetValAttr(tcNode* pNode, tcAttribute* pAttr);
    tcAttribute* GetValAttr() const { return pValAttr; }
    const wxString& GetVal() const { return szCachedVal; }
    tcEntry* GetEntry() const { return m_pEntry; }

    wxString szCachedVal;
    tID idValNode = idNULL;
    int idValAttr = -1;
    tcNode* pValNode = nullptr;
    tcAttribute* pValAttr = nullptr;

private:
    tcEntry* m_pEntry;
};

// A field of an entry that a sort, search or export names: an element kind (by identifier) and,
// optionally, one of its attributes (-1: the kind's text).
struct tcField : public tcLifeNoticed
{
    int nElementID = -1;
    int nAttributeID = -1;

    tcField() = default;
    tcField(int nElement, int nAttribute) : nElementID(nElement), nAttributeID(nAttribute) {}
    tcField(const tcField&) = default;
    tcField& operator=(const tcField&) = default;
    ~tcField() { tNotifyDestroyed(this); }
};

// An ordered list of fields.
struct tcFieldsList : public tcLifeNoticed
{
    std::vector<tcField> aFields;

    tcFieldsList() = default;
    tcFieldsList(const tcFieldsList&) = default;
    tcFieldsList& operator=(const tcFieldsList&) = default;
    ~tcFieldsList() { tNotifyDestroyed(this); }
};
