#pragma once

#include "varnak/include/VarnakConst.h"
#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <map>
#include <string>
#include <vector>

class tcNode;
class tcEntry;
class tcAttribute;

// Small records of the library that scripts name: data blocks of a document, export information,
// and the records of features this library does not have (compare and diff, filters, fetching).

// A named block of bytes a document keeps for its owner (settings of other programs, templates):
// an identifier, a block number and the data. The library does not interpret the data.
class tcBlock : public tcLifeNoticed
{
public:
    tcBlock() = default;
    tcBlock(int nID, int nBlockNum, const wxString& sName) { Create(nID, nBlockNum, sName); }
    ~tcBlock();
    tcBlock(const tcBlock&) = delete;
    tcBlock& operator=(const tcBlock&) = delete;

    // Sets identifier, block number and name and empties the data.
    void Create(int nID, int nBlockNum, const wxString& sName)
    {
        m_nID = nID;
        m_nBlockNum = nBlockNum;
        m_sName = sName;
        m_sData.clear();
    }
    // Replaces the data.
    void Set(const std::string& sData) { m_sData = sData; }
    // Empties the data.
    void Destroy() { m_sData.clear(); }
    int GetID() const { return m_nID; }
    int GetBlockNum() const { return m_nBlockNum; }
    const wxString& GetName() const { return m_sName; }
    const std::string& GetData() const { return m_sData; }
    int GetSize() const { return static_cast<int>(m_sData.size()); }

private:
    int m_nID = 0;
    int m_nBlockNum = 0;
    wxString m_sName;
    std::string m_sData;
};

// What an export is for, with named text properties an exporter and its scripts share.
class tcExportInfo : public tcLifeNoticed
{
public:
    explicit tcExportInfo(bool bPreview = false) : m_bPreview(bPreview) {}
    tcExportInfo(const tcExportInfo&) = default;
    tcExportInfo& operator=(const tcExportInfo&) = default;
    ~tcExportInfo() { tNotifyDestroyed(this); }

    // True when the export feeds a preview rather than a file.
    bool IsPreviewExport() const { return m_bPreview; }
    void SetProperty(const wxString& sName, const wxString& sValue) { m_mapProperties[sName] = sValue; }
    // Empty when the property was never set.
    wxString GetProperty(const wxString& sName) const
    {
        auto it = m_mapProperties.find(sName);
        return it == m_mapProperties.end() ? wxString() : it->second;
    }

private:
    bool m_bPreview;
    std::map<wxString, wxString> m_mapProperties;
};

// ----- Not modelled by this library -----------------------------------------------------------------
// Comparing documents, filtering entries and fetching from the web do not exist here. The records
// exist so that scripts can name them; calls that return something give the neutral result, the
// others throw tcNotSupported (tNotSupported.h).

// One difference between two trees (left and right).
struct tcDiff : public tcLifeNoticed
{
    ~tcDiff() { tNotifyDestroyed(this); }

    int nType = 0;
    tcNode* pNodeL = nullptr;
    tcNode* pNodeR = nullptr;
    tcAttribute* pAttrL = nullptr;
    tcAttribute* pAttrR = nullptr;
};

// A place to highlight in a comparison, with its counterpart in the other tree.
struct tcCompareHighlight : public tcLifeNoticed
{
    ~tcCompareHighlight() { tNotifyDestroyed(this); }

    tcNode* pNode = nullptr;
    tcAttribute* pAttr = nullptr;
    tcNode* pNodeOther = nullptr;
    tcAttribute* pAttrOther = nullptr;
};

struct tsCompareContext : public tcLifeNoticed
{
    ~tsCompareContext() { tNotifyDestroyed(this); }
};

// An entry filter. No document has one (tcDocument::GetCurrentFilter gives null).
class tcFilter : public tcLifeNoticed
{
public:
    tcFilter() = default;
    tcFilter(const tcFilter&) = default;
    tcFilter& operator=(const tcFilter&) = default;
    ~tcFilter() { tNotifyDestroyed(this); }
    // Neutral: no entry passes, there is no filter text, nothing must be loaded first, no tree.
    bool Pass(tcEntry*) const { return false; }
    wxString GetFilterString() const { return wxString(); }
    bool RequiresLoadedEntries() const { return false; }
    wxString GenerateHTMLTree() const { return wxString(); }
    // Throw tcNotSupported.
    void Optimise();
    void CalcAllPasses();

    std::vector<tcFilter*> m_apFilters;
    std::vector<int> m_anEntries;
};

// Fetching data from the web: nothing is fetched.
class tcFetch : public tcLifeNoticed
{
public:
    tcFetch() = default;
    tcFetch(const tcFetch&) = default;
    tcFetch& operator=(const tcFetch&) = default;
    ~tcFetch() { tNotifyDestroyed(this); }
    // Neutral: false, sResult left as it was.
    bool Fetch(const wxString& sURL, wxString& sResult) const
    {
        (void)sURL;
        (void)sResult;
        return false;
    }
};
