#include "engine/VRMemDoc.h"

#include "engine/VRMemDocIndex.h"
#include "import/TMXImporter.h"
#include "Shared/AppUtils_shared.h"
#include "Shared/Localisation.h"
#include "Shared/UserPrompts.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/kvLogReason.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tDateTime.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/defs.h>
#include <wx/filefn.h>

#include <algorithm>
#include <iterator>
#include <mutex>
#include <shared_mutex>
#include <unordered_set>

#ifndef LINTRADO_VERSION
#define LINTRADO_VERSION "0.0.0.0"
#endif

namespace
{
// Assertion sites report fixed numbers, not source lines: reports already filed name these, so
// they must not move when the file is edited.
constexpr int kAssertSegmentWithoutLanguage = 505; // a segment indexed without its variant's language

const wchar_t* const kszNoHandler = L"Could not assign an IO handler for type TMX";
const char* const kaszCodeKinds[] = {"ph", "bpt", "ept", "it"};

// What the user is told about a file that failed to load: the loader's first error, passing over
// warnings that did not stop it, with the line and column where the parser had them (a file that
// could not be read at all has none: its "line 0, column 0" would only puzzle).
wxString LoadFailureReason(const tcIO& io)
{
    wxString sReason = io.GetNumLoadErrors() > 0 ? io.GetLoadError(0) : wxString("The file could not be read");
    for (int i = 0; i < io.GetNumLoadErrors(); ++i)
        if (!io.GetLoadError(i).StartsWith("Warning"))
        {
            sReason = io.GetLoadError(i);
            break;
        }
    sReason.Replace(" at line 0 , column 0 :", " :", false);
    return sReason;
}

// Four dot-separated numbers, as the TMX header's tool version states it.
wxString ToolVersion()
{
    wxString sVersion(LINTRADO_VERSION);
    while (sVersion.Freq('.') < 3)
        sVersion += ".0";
    return sVersion;
}

wxString ToolName()
{
    if (!tApp()->GetAppName().empty())
        return tApp()->GetAppName();
    return g_sAppName.empty() ? wxString("Lintrado") : g_sAppName;
}

// The tu of a seg (its parent's parent), or null when the seg is not in a unit.
tcNode* UnitOf(const tcNode* pSeg)
{
    tcNode* pTuv = pSeg ? pSeg->GetParent() : nullptr;
    return pTuv ? pTuv->GetParent() : nullptr;
}

// Whether pNode or a node below it is of one of the kinds.
bool HoldsKind(const tcNode* pNode, const std::vector<tcElement*>& apKinds)
{
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (pChild->GetElement() && std::find(apKinds.begin(), apKinds.end(), pChild->GetElement()) != apKinds.end())
            return true;
        if (HoldsKind(pChild, apKinds))
            return true;
    }
    return false;
}

// Every seg of the unit other than pSeg, in document order (children and grandchildren of the tu).
template <typename Fn> void ForEachOtherSeg(const tcNode* pSeg, const tcElement* pSegKind, Fn&& fn)
{
    const tcNode* pUnit = UnitOf(pSeg);
    if (!pUnit)
        return;
    for (const tcNode* pChild : pUnit->GetChildren())
    {
        if (pChild->GetElement() == pSegKind && pChild != pSeg)
            fn(pChild);
        for (const tcNode* pGrandChild : pChild->GetChildren())
            if (pGrandChild->GetElement() == pSegKind && pGrandChild != pSeg)
                fn(pGrandChild);
    }
}
} // namespace

CVRMemDoc::CVRMemDoc(const wxString& sFilename) : m_sFileName(sFilename)
{
    Evt_NodeInserted.AddHandler(this, &CVRMemDoc::OnNodeInserted);
    m_bHandlerRegistered = true;
    try
    {
        m_pDoc = std::make_unique<tcDocument>();
        m_pDoc->SetHeldByProgram(true); // scripts may edit the memory, not free it
        m_pIO = g_pIORegistry->AllocateIO(TMXImporterGUID());
        if (!m_pIO)
            throw TextFailure(kszNoHandler);
        m_pIO->AttachDoc(m_pDoc.get());
        if (!m_sFileName.empty())
            m_pIO->OpenDatasource(m_sFileName);
        m_pDoc->CreateDoc("translate");

        if (!m_sFileName.empty())
        {
            std::vector<char> aBuffer(16384, 0);
            int nProgress = 0;
            int nResult;
            while ((nResult = m_pIO->LoadDictionary(nProgress, aBuffer.data())) > 0)
            {
            }
            if (nResult < 0)
            {
                wxString sErrors;
                for (int i = 0; i < m_pIO->GetNumLoadErrors(); ++i)
                    sErrors += m_pIO->GetLoadError(i);
                kvLog(L"Errors loading TMX documents [%s]", sErrors);
                throw TextFailure(LoadFailureReason(*m_pIO));
            }
        }
        else
            BuildSkeleton();

        tcDTD* pDTD = m_pDoc->GetDTD();
        if (!pDTD->FindElementByName("header"))
        {
            // A loaded file without a header gets an empty one, as TMX requires.
            tcElement* pTmxKind = pDTD->GetElementByID(ELEMENTID_ENTRY);
            tcElement* pHeaderKind = tEnsureElementExists(m_pDoc.get(), "header", pTmxKind, false, CHILD_ZEROORMORE);
            tcLanguage* pSection = m_pDoc->GetSection(0);
            tcNode* pTmx = pSection ? pSection->GetChild(0) : nullptr;
            if (pTmx && pHeaderKind)
                pTmx->InsertChild(m_pDoc->AllocateElement(pHeaderKind), 0);
        }
        m_pBodyElement = pDTD->FindElementByName("body");
        if (!m_pBodyElement)
            throw TextFailure("No Body element found");
        CompleteVocabulary();
        // Completing the vocabulary is no change a user would have to save.
        m_pDoc->ClearDirty();
    }
    catch (...)
    {
        ReleaseDocument();
        throw;
    }
}

CVRMemDoc::~CVRMemDoc()
{
    try
    {
        SaveIfModified();
    }
    catch (const std::exception& e)
    {
        kvLog(L"Could not save the translation memory %s: %S", m_sFileName, e.what());
    }
    ReleaseDocument();
}

void CVRMemDoc::ReleaseDocument()
{
    if (m_pIO)
        m_pIO->DetachDoc();
    if (m_pDoc)
        m_pDoc->RecreateDefaultIDAssigner();
    m_mapIndexes.clear();
    m_pIO.reset();
    if (m_pDoc)
    {
        m_pDoc->SetHeldByProgram(false);
        m_pDoc->DeleteDoc();
    }
    m_pDoc.reset();
    if (m_bHandlerRegistered)
    {
        Evt_NodeInserted.RemoveHandler(this);
        m_bHandlerRegistered = false;
    }
}

void CVRMemDoc::BuildSkeleton()
{
    tcDocument* pDoc = m_pDoc.get();
    pDoc->CreateEmptyOvraDTD();
    tcDTD* pDTD = pDoc->GetDTD();
    pDTD->GetElementByID(ELEMENTID_DICTIONARY)->SetName("xml");
    pDTD->GetElementByID(ELEMENTID_SECTION)->SetName("tmxdoc");
    tcElement* pTmxKind = pDTD->GetElementByID(ELEMENTID_ENTRY);
    pTmxKind->SetName("tmx");

    tcNode* pRoot = pDoc->AllocateElementByID(ELEMENTID_DICTIONARY);
    if (!pRoot || !pRoot->IsClass(NODE_DICTIONARY))
        throw TextFailure("Could not create a new translation memory");
    pDoc->SetDictionary(static_cast<tcDictionary*>(pRoot));
    tcNode* pSection = pDoc->AllocateElementByID(ELEMENTID_SECTION);
    tcNode* pTmx = pDoc->AllocateElementByID(ELEMENTID_ENTRY);
    if (!pSection || !pTmx || !pRoot->AddChildLast(pSection) || !pSection->AddChildLast(pTmx))
        throw TextFailure("Could not create a new translation memory");

    auto Attribute = [pDoc](tcElement* pKind, const char* szName)
    { return tCreateAttribute(pDoc, pKind, szName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0); };
    pTmx->SetAttributeS(Attribute(pTmxKind, "version"), "1.4");
    pTmx->SetAttributeS(Attribute(pTmxKind, "xml:space"), "preserve");

    tcElement* pHeaderKind = tEnsureElementExists(pDoc, "header", pTmxKind, false, CHILD_ZEROORMORE);
    for (const char* szName : {"creationtool", "creationtoolversion", "segtype", "o-tmf", "adminlang", "srclang",
                               "datatype", "o-encoding", "creationdate", "creationid", "changedate", "changeid"})
        Attribute(pHeaderKind, szName);
    tcNode* pHeader = pDoc->AllocateElement(pHeaderKind);
    pHeader->SetAttributeS(Attribute(pHeaderKind, "creationtool"), ToolName());
    pHeader->SetAttributeS(Attribute(pHeaderKind, "creationtoolversion"), ToolVersion());
    // TMX 1.4 requires these five; other tools refuse a header without them.
    pHeader->SetAttributeS(Attribute(pHeaderKind, "segtype"), "sentence");
    pHeader->SetAttributeS(Attribute(pHeaderKind, "o-tmf"), ToolName());
    pHeader->SetAttributeS(Attribute(pHeaderKind, "adminlang"), "en");
    pHeader->SetAttributeS(Attribute(pHeaderKind, "srclang"), "*all*");
    pHeader->SetAttributeS(Attribute(pHeaderKind, "datatype"), "unknown");
    pHeader->SetAttributeS(Attribute(pHeaderKind, "creationdate"), tDateTimeToStr(wxDateTime::UNow()));
    pHeader->SetAttributeS(Attribute(pHeaderKind, "changedate"), tDateTimeToStr(wxDateTime::UNow()));
    pTmx->InsertChild(pHeader, 0);

    tcElement* pBodyKind = tEnsureElementExists(pDoc, "body", pTmxKind, false, CHILD_ZEROORMORE);
    pTmx->InsertChild(pDoc->AllocateElement(pBodyKind), 1);
}

void CVRMemDoc::CompleteVocabulary()
{
    tcDocument* pDoc = m_pDoc.get();
    tcDTD* pDTD = pDoc->GetDTD();
    auto Ensure = [pDoc](const char* szName, tcElement* pParent)
    { return tEnsureElementExists(pDoc, szName, pParent, false, CHILD_ZEROORMORE); };
    auto Attributes = [pDoc](tcElement* pKind, std::initializer_list<const char*> aszNames)
    {
        for (const char* szName : aszNames)
            tCreateAttribute(pDoc, pKind, szName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    };

    tcElement* pHeaderKind = pDTD->FindElementByName("header");
    tcElement* pUdeKind = Ensure("ude", pHeaderKind);
    Ensure("map", pUdeKind);
    Ensure("note", pHeaderKind);
    Ensure("prop", pHeaderKind);
    m_pTUElement = Ensure("tu", m_pBodyElement);

    const bool bNewTuv = !pDTD->FindElementByName("tuv");
    m_pTUVElement = Ensure("tuv", m_pTUElement);
    if (bNewTuv)
        Attributes(m_pTUVElement, {"xml:lang"});
    if (!m_pTUVLangAttr)
    {
        m_pTUVLangAttr = m_pTUVElement->FindAttributeByName("xml:lang");
        if (!m_pTUVLangAttr)
            m_pTUVLangAttr = m_pTUVElement->FindAttributeByName("lang");
        if (!m_pTUVLangAttr)
            m_pTUVLangAttr = tCreateAttribute(pDoc, m_pTUVElement, "xml:lang", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    }

    const bool bNewSeg = !pDTD->FindElementByName("seg");
    m_pSegElement = Ensure("seg", m_pTUVElement);
    if (bNewSeg)
        m_pSegElement->SetAllowPCDATA(true);

    for (const char* szName : kaszCodeKinds)
        Ensure(szName, m_pSegElement)->SetAllowPCDATA(true);
    Ensure("hi", m_pSegElement);
    Attributes(pDTD->FindElementByName("bpt"), {"i", "x", "type", "id", "ctype"});
    Attributes(pDTD->FindElementByName("ept"), {"i", "id", "ctype"});
    Attributes(pDTD->FindElementByName("it"), {"pos", "x", "type", "id", "ctype"});
}

void CVRMemDoc::FindVocabulary()
{
    tcDTD* pDTD = m_pDoc->GetDTD();
    // Kinds are only ever added while a memory lives: nothing new to find while the count stays.
    if (pDTD->GetNumElements() == m_nKnownElements && m_pTUVLangAttr)
        return;
    m_nKnownElements = pDTD->GetNumElements();
    if (!m_pTUElement)
        m_pTUElement = pDTD->FindElementByName("tu");
    if (!m_pTUVElement)
        m_pTUVElement = pDTD->FindElementByName("tuv");
    if (m_pTUVElement && !m_pTUVLangAttr)
    {
        m_pTUVLangAttr = m_pTUVElement->FindAttributeByName("xml:lang");
        if (!m_pTUVLangAttr)
            m_pTUVLangAttr = m_pTUVElement->FindAttributeByName("lang");
    }
    if (!m_pSegElement)
        m_pSegElement = pDTD->FindElementByName("seg");
    if (m_apCodeElements.size() < std::size(kaszCodeKinds))
    {
        m_apCodeElements.clear();
        for (const char* szName : kaszCodeKinds)
            if (tcElement* pKind = pDTD->FindElementByName(szName))
                m_apCodeElements.push_back(pKind);
    }
}

void CVRMemDoc::OnNodeInserted(tcEvent*, void* pOwner, void*, void* pNodeArg)
{
    auto* pThis = static_cast<CVRMemDoc*>(pOwner);
    auto* pNode = static_cast<tcNode*>(pNodeArg);
    if (!pThis || !pNode || !pThis->m_pDoc)
        return;
    // Another document may be loading at the same time (a project file, another memory).
    if (pNode->GetDoc() != pThis->m_pDoc.get())
        return;
    pThis->FindVocabulary();
    if (!pThis->m_pSegElement || !pThis->m_pSegElement->AllowsPCDATA() || pNode->GetElement() != pThis->m_pSegElement)
        return;
    wxString sLanguage;
    if (pThis->m_pTUVLangAttr && pNode->GetParent())
        sLanguage = pNode->GetParent()->GetAttributeDisplayAsString(pThis->m_pTUVLangAttr);
    if (sLanguage.empty())
        tAssert("VRMemDoc", kAssertSegmentWithoutLanguage, "0");
    std::unique_lock lock(pThis->m_mutex);
    pThis->IndexSegHeld(pThis->IndexFor(sLanguage), pNode);
}

CVRMemDocIndex* CVRMemDoc::GetIndex(const wxString& sLanguage)
{
    std::unique_lock lock(m_mutex);
    return IndexFor(sLanguage);
}

CVRMemDocIndex* CVRMemDoc::IndexFor(const wxString& sLanguage)
{
    std::unique_ptr<CVRMemDocIndex>& pIndex = m_mapIndexes[sLanguage.Lower()];
    if (!pIndex)
        pIndex = std::make_unique<CVRMemDocIndex>();
    return pIndex.get();
}

void CVRMemDoc::IndexSeg(CVRMemDocIndex* pIndex, tcNode* pSeg)
{
    std::unique_lock lock(m_mutex);
    IndexSegHeld(pIndex, pSeg);
}

void CVRMemDoc::IndexSegHeld(CVRMemDocIndex* pIndex, tcNode* pSeg)
{
    if (!pIndex || !pSeg)
        return;
    FindVocabulary();
    wxString sKey;
    if (!HoldsKind(pSeg, m_apCodeElements))
        sKey = pSeg->GenerateXMLChildren(true, true); // what the copy without codes would give
    else
    {
        tcNode* pCopy = m_pDoc->AllocateElement(pSeg->GetElement(), false);
        tcCloneContext context;
        for (tcElement* pKind : m_apCodeElements)
            context.Ignore(pKind);
        pCopy->CloneTree(pSeg, &context);
        sKey = pCopy->GenerateXMLChildren(true, true);
        m_pDoc->DeleteTreeFromMem(pCopy);
    }
    pIndex->AddText(sKey);
    pIndex->AddEntry(sKey, pSeg);
    ++m_nRevision;
}

void CVRMemDoc::UnindexSeg(CVRMemDocIndex* pIndex, const wxString& sText, tcNode* pSeg)
{
    std::unique_lock lock(m_mutex);
    UnindexSegHeld(pIndex, sText, pSeg);
}

void CVRMemDoc::UnindexSegHeld(CVRMemDocIndex* pIndex, const wxString& sText, tcNode* pSeg)
{
    if (!pIndex)
        return;
    pIndex->RemoveEntry(sText, pSeg);
    pIndex->RemoveText(CVRMemDocIndex::StripCodes(sText));
    ++m_nRevision;
}

tcNode* CVRMemDoc::MakeSeg(const wxString& sText)
{
    tcNode* pSeg = m_pDoc->AllocateElement(m_pSegElement);
    if (!pSeg->ParseXML(sText, m_pDoc.get()))
    {
        // Not XML: keep the text as the user typed it rather than lose it.
        tcText* pText = m_pDoc->AllocateTextNode(sText);
        pSeg->AddChildLast(pText);
    }
    return pSeg;
}

wxString CVRMemDoc::MakeKey(const wxString& sText)
{
    std::unique_lock lock(m_mutex);
    return MakeKeyHeld(sText);
}

wxString CVRMemDoc::MakeKeyHeld(const wxString& sText)
{
    FindVocabulary();
    tcNode* pSeg = MakeSeg(sText);
    wxString sKey;
    if (!HoldsKind(pSeg, m_apCodeElements))
        sKey = pSeg->GenerateXMLChildren(true, true);
    else
    {
        tcNode* pCopy = m_pDoc->AllocateElement(m_pSegElement, false);
        tcCloneContext context;
        for (tcElement* pKind : m_apCodeElements)
            context.Ignore(pKind);
        pCopy->CloneTree(pSeg, &context);
        sKey = pCopy->GenerateXMLChildren(true, true);
        m_pDoc->DeleteTreeFromMem(pCopy);
    }
    m_pDoc->DeleteTreeFromMem(pSeg);
    return sKey;
}

tcNode* CVRMemDoc::MakeTuv(const wxString& sLanguage, const wxString& sText, tcNode** ppSeg)
{
    tcNode* pTuv = AllocateElementHelper(m_pTUVElement, m_pDoc.get());
    pTuv->SetAttributeDisplayByString(m_pTUVLangAttr, sLanguage);
    // The helper may have added a required seg already; the text goes into the first one.
    tcNode* pSeg = pTuv->FindChildElementInChildNodes(m_pSegElement);
    if (pSeg)
    {
        tcNode* pFilled = MakeSeg(sText);
        pTuv->ReplaceChild(pSeg, pFilled);
        m_pDoc->DeleteTreeFromMem(pSeg);
        pSeg = pFilled;
    }
    else
    {
        pSeg = MakeSeg(sText);
        pTuv->AddChildOrdered(pSeg);
    }
    *ppSeg = pSeg;
    return pTuv;
}

tcNode* CVRMemDoc::FindBodyNode() const
{
    tcLanguage* pSection = m_pDoc->GetSection(0);
    tcNode* pTmx = pSection ? pSection->GetChild(0) : nullptr;
    return pTmx ? pTmx->FindChildElementInChildNodes(m_pBodyElement) : nullptr;
}

std::vector<CVRMemDocIndex*> CVRMemDoc::LookupIndexes(const wxString& sLanguage, bool& bExactFirst) const
{
    const wxString sKey = sLanguage.Lower();
    std::vector<CVRMemDocIndex*> apFound;
    const auto itExact = m_mapIndexes.find(sKey);
    bExactFirst = itExact != m_mapIndexes.end() && itExact->second->HasEntries();
    if (bExactFirst)
        apFound.push_back(itExact->second.get());
    // An untagged query has no relatives.
    if (sKey.empty())
        return apFound;
    // Keys of one primary language sit together in key order: "en", "en-gb", "en-us".
    const wxString sPrimary = sKey.BeforeFirst('-');
    for (auto it = m_mapIndexes.lower_bound(sPrimary); it != m_mapIndexes.end(); ++it)
    {
        const wxString& sIndexKey = it->first;
        if (!sIndexKey.StartsWith(sPrimary))
            break;
        if (sIndexKey.length() != sPrimary.length() && sIndexKey[sPrimary.length()] != '-')
            continue;
        if (it != itExact && it->second->HasEntries())
            apFound.push_back(it->second.get());
    }
    return apFound;
}

std::vector<CVRMemDocMatch> CVRMemDoc::LookupTranslations(const wxString& sText, const wxString& sLanguage) const
{
    std::shared_lock lock(m_mutex);
    bool bExactFirst = false;
    const std::vector<CVRMemDocIndex*> apIndexes = LookupIndexes(sLanguage, bExactFirst);
    const tcElement* pSegKind = m_pSegElement;
    auto CountResults = [pSegKind](const std::vector<tcNode*>& apEntries)
    {
        int n = 0;
        for (const tcNode* pSeg : apEntries)
            ForEachOtherSeg(pSeg, pSegKind, [&n](const tcNode*) { ++n; });
        return n;
    };
    // Each index gives every hit that can be among its own best results. Within one index the order
    // below keeps the index's own, so those hits hold every hit the best results of all of them come
    // from, and a merge costs what its indexes cost alone.
    std::vector<CVRMemDocIndex::tsHit> aHits;
    size_t nExactHits = 0;
    for (CVRMemDocIndex* pIndex : apIndexes)
    {
        std::vector<CVRMemDocIndex::tsHit> aIndexHits =
            pIndex->FindBestMatches(sText, kMinLookupScore, kMaxLookupResults, CountResults, m_nRevision);
        if (aHits.empty())
            aHits = std::move(aIndexHits);
        else
            aHits.insert(aHits.end(), std::make_move_iterator(aIndexHits.begin()),
                         std::make_move_iterator(aIndexHits.end()));
        if (bExactFirst && pIndex == apIndexes.front())
            nExactHits = aHits.size();
    }
    // The asked tag's own hits stay first, so that they win ties; the related ones merge by text
    // (equal texts in index key order).
    const size_t nRelated = apIndexes.size() - (bExactFirst ? 1 : 0);
    if (nRelated > 1)
    {
        std::vector<std::pair<std::u16string, size_t>> aOrder;
        aOrder.reserve(aHits.size() - nExactHits);
        for (size_t i = nExactHits; i < aHits.size(); ++i)
            aOrder.emplace_back(tToU16(aHits[i].sText), i);
        std::stable_sort(aOrder.begin(), aOrder.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<CVRMemDocIndex::tsHit> aSorted;
        aSorted.reserve(aHits.size());
        std::move(aHits.begin(), aHits.begin() + nExactHits, std::back_inserter(aSorted));
        for (const auto& entry : aOrder)
            aSorted.push_back(std::move(aHits[entry.second]));
        aHits = std::move(aSorted);
    }
    // The results in result order, as the hit and the variant they come from; only those kept are
    // written out as XML.
    std::vector<std::pair<const CVRMemDocIndex::tsHit*, const tcNode*>> aResults;
    for (const CVRMemDocIndex::tsHit& hit : aHits)
        for (const tcNode* pSeg : *hit.pEntries)
            ForEachOtherSeg(pSeg, pSegKind, [&](const tcNode* pOther) { aResults.emplace_back(&hit, pOther); });
    if (aResults.size() > static_cast<size_t>(kMaxLookupResults))
    {
        // The best by score, equal scores in result order; then back into result order.
        std::vector<size_t> aOrder(aResults.size());
        for (size_t i = 0; i < aOrder.size(); ++i)
            aOrder[i] = i;
        std::stable_sort(aOrder.begin(), aOrder.end(),
                         [&](size_t a, size_t b) { return aResults[a].first->nScore > aResults[b].first->nScore; });
        aOrder.resize(kMaxLookupResults);
        std::sort(aOrder.begin(), aOrder.end());
        std::vector<std::pair<const CVRMemDocIndex::tsHit*, const tcNode*>> aBest;
        aBest.reserve(aOrder.size());
        for (size_t i : aOrder)
            aBest.push_back(aResults[i]);
        aResults = std::move(aBest);
    }
    std::vector<CVRMemDocMatch> aMatches;
    aMatches.reserve(aResults.size());
    for (const auto& [pHit, pOther] : aResults)
    {
        CVRMemDocMatch match;
        match.m_sSource = pHit->sText;
        match.m_sTarget = pOther->GenerateXMLChildren(true, true);
        if (pOther->GetParent())
            match.m_sLanguage = pOther->GetParent()->GetAttributeDisplayAsString(m_pTUVLangAttr);
        match.m_nScore = pHit->nScore;
        aMatches.push_back(std::move(match));
    }
    return aMatches;
}

void CVRMemDoc::AddTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                               const wxString& sTargetLang)
{
    std::unique_lock lock(m_mutex);
    CVRMemDocIndex* pSourceIndex = IndexFor(sSourceLang);
    CVRMemDocIndex* pTargetIndex = IndexFor(sTargetLang);
    tcNode* pUnit = nullptr;
    if (const std::vector<tcNode*>* pEntries = pSourceIndex->FindEntries(MakeKeyHeld(sSource)))
        pUnit = UnitOf(pEntries->front());
    if (!pUnit)
    {
        tcNode* pBody = FindBodyNode();
        if (!pBody)
        {
            kvLog(L"AddTranslation: the translation memory %s has no body", m_sFileName);
            return;
        }
        pUnit = AllocateElementByIDHelper(m_pTUElement->GetID(), m_pDoc.get());
        pBody->AddChildOrdered(pUnit);
        tcNode* pSeg = nullptr;
        pUnit->AddChildOrdered(MakeTuv(sSourceLang, sSource, &pSeg));
        IndexSegHeld(pSourceIndex, pSeg);
    }
    tcNode* pSeg = nullptr;
    pUnit->AddChildOrdered(MakeTuv(sTargetLang, sTarget, &pSeg));
    IndexSegHeld(pTargetIndex, pSeg);
    m_pDoc->SetDirty();
}

void CVRMemDoc::RemoveTranslation(const wxString& sSource, const wxString& sTarget, const wxString& sSourceLang,
                                  const wxString& sTargetLang)
{
    std::unique_lock lock(m_mutex);
    m_pDoc->SetDirty();
    CVRMemDocIndex* pSourceIndex = IndexFor(sSourceLang);
    CVRMemDocIndex* pTargetIndex = IndexFor(sTargetLang);
    const wxString sTargetKey = MakeKeyHeld(sTarget);
    const std::vector<tcNode*>* pSourceEntries = pSourceIndex->FindEntries(MakeKeyHeld(sSource));
    const std::vector<tcNode*>* pTargetEntries = pTargetIndex->FindEntries(sTargetKey);
    if (!pSourceEntries || !pTargetEntries)
        return;
    std::unordered_set<const tcNode*> setUnits;
    for (const tcNode* pSeg : *pSourceEntries)
        if (const tcNode* pUnit = UnitOf(pSeg))
            setUnits.insert(pUnit);
    // The first target variant of such a unit; one that is not itself the unit's source variant
    // (source and target in one language with one text) when there is a choice.
    tcNode* pFound = nullptr;
    for (tcNode* pSeg : *pTargetEntries)
    {
        if (!setUnits.count(UnitOf(pSeg)))
            continue;
        const bool bIsSource = std::find(pSourceEntries->begin(), pSourceEntries->end(), pSeg) != pSourceEntries->end();
        if (!bIsSource)
        {
            pFound = pSeg;
            break;
        }
        if (!pFound)
            pFound = pSeg;
    }
    if (!pFound)
        return;
    tcNode* pTuv = pFound->GetParent();
    UnindexSegHeld(pTargetIndex, sTargetKey, pFound);
    if (!pTuv || pTuv->GetElement() != m_pTUVElement)
    {
        // A seg outside any variant (a file of another shape): it goes alone.
        pFound->RemoveNode();
        m_pDoc->DeleteTreeFromMem(pFound);
        return;
    }
    // Other segs of the variant go with it: no entry may outlive its node.
    for (tcNode* pOther : std::vector<tcNode*>(pTuv->GetChildren()))
        if (pOther != pFound && pOther->GetElement() == m_pSegElement)
        {
            const wxString sOtherKey = MakeKeyHeld(pOther->GenerateXMLChildren(true, true));
            if (!pTargetIndex->RemoveEntry(sOtherKey, pOther))
                continue;
            pTargetIndex->RemoveText(CVRMemDocIndex::StripCodes(sOtherKey));
        }
    pTuv->RemoveNode();
    m_pDoc->DeleteTreeFromMem(pTuv);
    ++m_nRevision;
}

bool CVRMemDoc::IsModified() const
{
    return m_pDoc && m_pDoc->IsDirty();
}

bool CVRMemDoc::SaveAs(const wxString& sPath)
{
    if (!m_pIO || sPath.empty())
        return false;
    if (m_pIO->SaveAs(sPath, nullptr) < 0)
    {
        // The handler now names sPath; it must keep naming the file the memory really has.
        if (!m_sFileName.empty())
            m_pIO->OpenDatasource(m_sFileName);
        return false;
    }
    m_sFileName = sPath;
    m_pDoc->ClearDirty();
    m_pDoc->ClearDeleted();
    return true;
}

wxString CVRMemDoc::SaveIfModified()
{
    if (!IsModified())
        return m_sFileName;
    const int nAnswer =
        tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("MEMDOC_UNSAVED_CHANGES"),
                                   g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM"), wxYES_NO, nullptr);
    if (nAnswer != wxYES)
    {
        tcLog::LogStr("Save: Cancelled by user");
        return wxString();
    }
    // There is no busy notice without a window; the log shows how long saving took.
    if (!m_sFileName.empty())
    {
        kvLog(L"%s %s", g_LocEngine.FindTranslation("DOC_SAVING"), m_sFileName);
        tcLogCapture log;
        if (m_pIO->Save(std::vector<tcEntry*>()) >= 0)
        {
            m_pDoc->ClearDirty();
            m_pDoc->ClearDeleted();
            return m_sFileName;
        }
        // The file stays as it was (it may be read-only); the changes can still go to another one.
        tUserPrompts().ShowMessage(
            tLocalisedWith("MEMDOC_SAVE_FAILED", m_sFileName, kvLoggedReason(log, "The file could not be written")),
            g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
    }
    const wxString sCwd = wxGetCwd();
    const wxString sPath = tUserPrompts().ChooseFile("Choose a file", wxString(), wxString(),
                                                     "TMX files (*.tmx)|*.tmx|All files (*.*)|*.*",
                                                     PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT, nullptr);
    wxSetWorkingDirectory(sCwd);
    if (sPath.empty())
        return m_sFileName;
    kvLog(L"%s %s", g_LocEngine.FindTranslation("DOC_SAVING"), sPath);
    // On failure the name stays: the file it had, or none.
    SaveAs(sPath);
    return m_sFileName;
}
