#pragma once

#include "engine/VRMemDoc.h"

#include <wx/string.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The translation memory written the plain way, step by step as its behaviour is described: trigram
// lists holding the texts, one listing per occurrence; text records naming the lists; an ordered
// multimap of exact entries; every candidate scored by the edit-distance table. Nothing is fast
// here on purpose: the real memory is checked against it, and measured against it (bench_memory).
//
// Differences from the described behaviour are the ones the real memory makes on purpose:
// RemoveTranslation only removes a variant of a unit holding the given source, and Bounded() cuts
// a look-up to what LookupTranslations returns. Key texts are the texts with their codes stripped,
// which is what the real memory derives for well-formed texts whose codes are not nested.
class CMemDocReference
{
public:
    void AddTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                        const wxString& sTargetLang);
    void RemoveTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                           const wxString& sTargetLang);
    // A unit as a file holds it: (language, seg text) in document order, each seg indexed under its
    // own language, as loading does.
    void AddUnit(const std::vector<std::pair<wxString, wxString>>& aVariants);
    // Every match, without any bound. The language rule is the memory's: every index of the asked
    // tag's primary language is searched (the tag itself, its "-" prefixes, its extensions and its
    // siblings: "en", "en-us", "en-gb"), the tag's own hits first, so that they win equal scores.
    std::vector<CVRMemDocMatch> LookupTranslations(const wxString& sText, const wxString& sLanguage);
    // Every listed text sharing a trigram with the query, with its score, in text order.
    std::vector<std::pair<wxString, int>> FindMatches(const wxString& sText, const wxString& sLanguage);

    // The matches LookupTranslations of the real memory keeps: scores of nMinScore and more, the
    // nMax best of them (equal scores: the earlier wins), in their original order.
    static std::vector<CVRMemDocMatch> Bounded(const std::vector<CVRMemDocMatch>& aAll, int nMinScore, int nMax);

private:
    struct Unit;
    struct Seg
    {
        Unit* pUnit;
        wxString sLanguage;
        wxString sText;
        bool bAlive = true;
    };
    struct Unit
    {
        std::vector<std::unique_ptr<Seg>> apSegs;
    };
    struct Index
    {
        std::map<std::u16string, std::vector<const std::u16string*>> mapLists;
        std::map<std::u16string, std::vector<std::vector<const std::u16string*>*>> mapRecords;
        std::multimap<std::u16string, Seg*> mapExact;
    };

    Index& GetIndex(const wxString& sLanguage) { return m_mapIndexes[sLanguage.Lower()]; }
    // The indexes with entries a look-up in sLanguage searches: its own first, then the others of its
    // primary language in key order.
    std::vector<Index*> LookupIndexes(const wxString& sLanguage);
    void AddText(Index& index, const std::u16string& sText);
    void RemoveText(Index& index, const std::u16string& sText);
    std::vector<std::pair<std::u16string, int>> Matches(Index& index, const wxString& sQuery);
    void IndexSeg(Index& index, Seg* pSeg);
    static std::u16string Key(const wxString& sText);

    std::map<wxString, Index> m_mapIndexes;
    std::deque<std::unique_ptr<Unit>> m_apUnits;
    std::set<std::u16string> m_setPool; // the texts the lists point at
};
