#include "engine/XLIFFDTD.h"

#include "varnak/include/TextFailure.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcStyles.h"

#include <initializer_list>
#include <iterator>
#include <memory>

namespace
{
using tElementSlot = tcElement* SXLIFFDTD::*;
using tAttributeSlot = tcAttribute* SXLIFFDTD::*;

// One attribute declaration. bEnforce makes an existing descriptor take the declared default kind
// and, for a list type, the declared type (a loaded project may have them as plain implied text).
struct SAttrDecl
{
    const wchar_t* szName;
    tAttributeSlot pSlot = nullptr;
    teDefaultType eDefault = ATTRDEF_IMPLIED;
    teAttrType eType = ATTR_CDATA;
    bool bCreateList = false;
    bool bEnforce = false;
};

enum class eLookup
{
    // Found by name wherever it sits, else (strict failure or) created under the parent.
    FindByName,
    // Always through tEnsureElementExists with the parent.
    Ensure,
};

struct SElementDecl
{
    const wchar_t* szName;
    tElementSlot pSlot;
    const wchar_t* szStrictMessage;
    const wchar_t* szParent;
    bool bPCDATA;
    eLookup eHow;
    std::initializer_list<SAttrDecl> aAttributes;
};

// clang-format off
const SElementDecl s_XliffDecl = {
    L"xliff", nullptr, L"Invalid XLIFF project", nullptr, false, eLookup::FindByName,
    {{L"xml:lang"}, {L"memdocs", &SXLIFFDTD::m_pXliffMemdocsAttr, ATTRDEF_IMPLIED, ATTR_LISTN, true}}};

const SElementDecl s_aFileDecl = {
    L"file", &SXLIFFDTD::m_pFileElement, L"XLIFF project does not contain any valid files", nullptr, false,
    eLookup::FindByName,
    {{L"original", &SXLIFFDTD::m_pFileOriginalAttr}, {L"source-language", &SXLIFFDTD::m_pFileSourceLanguageAttr},
     {L"datatype", &SXLIFFDTD::m_pFileDatatypeAttr}, {L"target-language", &SXLIFFDTD::m_pFileTargetLanguageAttr},
     {L"tool"}, {L"tool-id", &SXLIFFDTD::m_pFileToolIdAttr}, {L"tool-name", &SXLIFFDTD::m_pFileToolNameAttr},
     {L"tool-version", &SXLIFFDTD::m_pFileToolVersionAttr}, {L"tool-company", &SXLIFFDTD::m_pFileToolCompanyAttr},
     {L"date"}, {L"ts"}, {L"xml:space"}, {L"category", &SXLIFFDTD::m_pFileCategoryAttr}, {L"product-name"},
     {L"product-version"}, {L"build-num"},
     {L"lastmodified", &SXLIFFDTD::m_pFileLastModifiedAttr, ATTRDEF_DATECHANGED, ATTR_CDATA, false, true},
     {L"lastmodifiedby", &SXLIFFDTD::m_pFileLastModifiedByAttr, ATTRDEF_USERCHANGED, ATTR_CDATA, false, true}}};

// The kinds after `file`, in declaration order.
const SElementDecl s_aElementDecls[] = {
    {L"header", &SXLIFFDTD::m_pHeaderElement, L"No header element found", L"file", false, eLookup::FindByName, {}},
    {L"skl", &SXLIFFDTD::m_pSklElement, L"No Skeleton element found", L"header", false, eLookup::FindByName, {}},
    // Its strict message applies only when external-file is missing too (checked in the loop).
    {L"internal-file", &SXLIFFDTD::m_pInternalFileElement, L"No skeleton element found", L"skl", true,
     eLookup::FindByName, {{L"form"}, {L"crc"}}},
    {L"external-file", &SXLIFFDTD::m_pExternalFileElement, nullptr, L"skl", false, eLookup::FindByName,
     {{L"href"}, {L"uid"}, {L"crc"}}},
    {L"body", &SXLIFFDTD::m_pBodyElement, L"No Body element found", L"file", false, eLookup::FindByName, {}},
    // A project's files may hold no unit at all (every file empty): it still opens, so the unit
    // kinds are made when the loaded project never used them.
    {L"trans-unit", &SXLIFFDTD::m_pTransUnitElement, nullptr, L"body", false, eLookup::FindByName,
     {{L"id"}, {L"approved"}, {L"translate", &SXLIFFDTD::m_pTransUnitTranslateAttr}, {L"reformat"}, {L"xml:space"},
      {L"datatype"}, {L"ts"}, {L"phase-name"}, {L"restype"}, {L"resname"}, {L"extradata"}, {L"help-id"}, {L"menu"},
      {L"menu-option"}, {L"menu-name"}, {L"coord"}, {L"font"}, {L"css-style"}, {L"style"}, {L"exstyle"},
      {L"extype"}, {L"maxbytes"}, {L"minbytes"}, {L"size-unit"}, {L"maxheight"}, {L"minheight"}, {L"maxwidth"},
      {L"minwidth"}, {L"charclass"}}},
    {L"source", &SXLIFFDTD::m_pSourceElement, nullptr, L"trans-unit", true, eLookup::FindByName,
     {{L"xml:lang", &SXLIFFDTD::m_pSourceLangAttr}, {L"ts"}}},
    {L"seg-source", &SXLIFFDTD::m_pSegSourceElement, nullptr, L"trans-unit", true, eLookup::FindByName,
     {{L"xml:lang"}, {L"ts"}}},
    {L"mrk", &SXLIFFDTD::m_pMrkElement, nullptr, L"seg-source", true, eLookup::FindByName,
     {{L"mtype", &SXLIFFDTD::m_pMrkMtypeAttr}, {L"mid", &SXLIFFDTD::m_pMrkMidAttr}, {L"comment"}}},
    {L"target", &SXLIFFDTD::m_pTargetElement, nullptr, L"source", true, eLookup::FindByName,
     {{L"xml:lang", &SXLIFFDTD::m_pTargetLangAttr}, {L"phase-name"}, {L"ts"}, {L"restype"}, {L"resname"},
      {L"coord"}, {L"font"}, {L"css-style"}, {L"style"}, {L"exstyle"}, {L"equiv-trans"},
      {L"state", &SXLIFFDTD::m_pTargetStateAttr, ATTRDEF_IMPLIED, ATTR_LIST, true, true},
      {L"state-qualifier", &SXLIFFDTD::m_pTargetStateQualifierAttr, ATTRDEF_IMPLIED, ATTR_LIST, true, true}}},
    {L"alt-trans", &SXLIFFDTD::m_pAltTransElement, nullptr, L"source", true, eLookup::FindByName,
     {{L"xml:lang", &SXLIFFDTD::m_pAltTransLangAttr}, {L"match-quality", &SXLIFFDTD::m_pAltTransMatchQualityAttr},
      {L"mid", &SXLIFFDTD::m_pAltTransMidAttr}, {L"tool"}, {L"tool-id"}, {L"crc"}, {L"datatype"}, {L"xml:space"},
      {L"ts"}, {L"restype"}, {L"resname"}, {L"extradata"}, {L"help-id"}, {L"menu"}, {L"menu-option"},
      {L"menu-name"}, {L"coord"}, {L"font"}, {L"css-style"}, {L"style"}, {L"exstyle"}, {L"extype"}, {L"origin"},
      {L"phase-name"}, {L"alttranstype"}}},
    {L"note", &SXLIFFDTD::m_pNoteElement, nullptr, L"source", true, eLookup::FindByName,
     {{L"xml:lang"}, {L"from"}, {L"priority"}, {L"annotates"}}},
    {L"bpt", &SXLIFFDTD::m_pBptElement, nullptr, L"mrk", true, eLookup::Ensure,
     {{L"id", &SXLIFFDTD::m_pBptIdAttr}, {L"ctype", &SXLIFFDTD::m_pBptCtypeAttr}}},
    {L"ept", nullptr, nullptr, L"mrk", true, eLookup::Ensure, {{L"id"}, {L"ctype"}}},
    {L"it", &SXLIFFDTD::m_pItElement, nullptr, L"mrk", false, eLookup::Ensure,
     {{L"id", &SXLIFFDTD::m_pItIdAttr}, {L"pos", &SXLIFFDTD::m_pItPosAttr}, {L"ctype", &SXLIFFDTD::m_pItCtypeAttr}}},
    {L"ph", &SXLIFFDTD::m_pPhElement, nullptr, L"mrk", true, eLookup::Ensure, {}},
    {L"sub", &SXLIFFDTD::m_pSubElement, nullptr, L"source", false, eLookup::Ensure,
     {{L"datatype", &SXLIFFDTD::m_pSubDatatypeAttr}, {L"ctype", &SXLIFFDTD::m_pSubCtypeAttr}}},
};

// The XLIFF 1.2 values, in the order the translation pane offers them.
const wchar_t* const s_aszStateValues[] = {
    L"final", L"needs-adaptation", L"needs-l10n", L"needs-review-adaptation", L"needs-review-l10n",
    L"needs-review-translation", L"needs-translation", L"new", L"signed-off", L"translated"};
const wchar_t* const s_aszStateQualifierValues[] = {
    L"exact-match", L"fuzzy-match", L"id-match", L"leveraged-glossary", L"leveraged-inherited", L"leveraged-mt",
    L"leveraged-repository", L"leveraged-tm", L"x-leveraged-source", L"mt-suggestion", L"rejected-grammar",
    L"rejected-inaccurate", L"rejected-length", L"rejected-spelling", L"tm-suggestion"};
// clang-format on

template <typename T> void AddItems(tcDTD* pDTD, tcAttribute* pAttr, const T& aszValues)
{
    tcAttrList* pList = pAttr->GetList();
    if (!pList)
    {
        // A list kind without a list (a DTD made elsewhere): give it its own.
        pList = tEnsureListExists(pDTD, pAttr->GetOwnerElement()->GetName() + "_" + pAttr->GetName());
        pAttr->SetList(pList);
    }
    for (const wchar_t* sz : aszValues)
        Helper_AddListItemIfNotAlreadyInList(pDTD, pList, sz);
}

void DeclareAttributes(tcDocument* pDoc, tcElement* pElement, const SElementDecl& decl, SXLIFFDTD& dtd)
{
    for (const SAttrDecl& a : decl.aAttributes)
    {
        tcAttribute* pAttr = tCreateAttribute(pDoc, pElement, a.szName, a.eDefault, a.eType, a.bCreateList, 0);
        if (a.bEnforce && pAttr)
        {
            if (a.eType != ATTR_CDATA && pAttr->GetType() != a.eType)
                tChangeAttributeType(pDoc, pElement, pAttr, a.eType, wxString());
            pAttr->SetDefaultType(a.eDefault);
        }
        if (a.pSlot)
            dtd.*a.pSlot = pAttr;
    }
}

[[noreturn]] void Fail(const wchar_t* szMessage)
{
    throw TextFailure(szMessage);
}

tcElement* DeclareFileElement(tcDocument* pDoc, bool bStrict)
{
    tcDTD* pDTD = pDoc->GetDTD();
    if (tcElement* pFile = pDTD->FindElementByName(s_aFileDecl.szName))
        return pFile;
    if (bStrict)
        Fail(s_aFileDecl.szStrictMessage);
    // Files are the document's entries, so that the library loads and tracks each one apart and
    // tGetNodeEntry of any node inside a file yields the file.
    if (tcElement* pEntry = pDTD->GetElementByID(ELEMENTID_ENTRY))
    {
        pEntry->SetName(s_aFileDecl.szName);
        return pEntry;
    }
    tcElement* pFile =
        tEnsureElementExists(pDoc, s_aFileDecl.szName, pDTD->GetElementByID(ELEMENTID_SECTION), true, CHILD_ZEROORMORE);
    if (!pFile->SetID(ELEMENTID_ENTRY))
        tAssert(__FILE__, __LINE__, "file kind takes identifier 4");
    pFile->SetClass(NODE_ENTRY);
    return pFile;
}
} // namespace

const void* GetXLIFFDTDHandle(const SXLIFFDTD& dtd, int nIndex)
{
    static const tElementSlot s_aElements[] = {&SXLIFFDTD::m_pFileElement,
                                               &SXLIFFDTD::m_pHeaderElement,
                                               &SXLIFFDTD::m_pSklElement,
                                               &SXLIFFDTD::m_pInternalFileElement,
                                               &SXLIFFDTD::m_pExternalFileElement,
                                               &SXLIFFDTD::m_pBodyElement,
                                               &SXLIFFDTD::m_pTransUnitElement,
                                               &SXLIFFDTD::m_pSourceElement,
                                               &SXLIFFDTD::m_pSegSourceElement,
                                               &SXLIFFDTD::m_pMrkElement,
                                               &SXLIFFDTD::m_pSubElement,
                                               &SXLIFFDTD::m_pTargetElement,
                                               &SXLIFFDTD::m_pAltTransElement,
                                               &SXLIFFDTD::m_pNoteElement,
                                               &SXLIFFDTD::m_pPhElement,
                                               &SXLIFFDTD::m_pBptElement,
                                               &SXLIFFDTD::m_pItElement};
    static const tAttributeSlot s_aAttributes[] = {&SXLIFFDTD::m_pTransUnitTranslateAttr,
                                                   &SXLIFFDTD::m_pFileLastModifiedAttr,
                                                   &SXLIFFDTD::m_pFileLastModifiedByAttr,
                                                   &SXLIFFDTD::m_pFileSourceLanguageAttr,
                                                   &SXLIFFDTD::m_pFileDatatypeAttr,
                                                   &SXLIFFDTD::m_pFileTargetLanguageAttr,
                                                   &SXLIFFDTD::m_pFileToolIdAttr,
                                                   &SXLIFFDTD::m_pFileToolNameAttr,
                                                   &SXLIFFDTD::m_pFileToolVersionAttr,
                                                   &SXLIFFDTD::m_pFileToolCompanyAttr,
                                                   &SXLIFFDTD::m_pFileCategoryAttr,
                                                   &SXLIFFDTD::m_pFileOriginalAttr,
                                                   &SXLIFFDTD::m_pXliffMemdocsAttr,
                                                   &SXLIFFDTD::m_pSourceLangAttr,
                                                   &SXLIFFDTD::m_pTargetLangAttr,
                                                   &SXLIFFDTD::m_pTargetStateAttr,
                                                   &SXLIFFDTD::m_pTargetStateQualifierAttr,
                                                   &SXLIFFDTD::m_pMrkMidAttr,
                                                   &SXLIFFDTD::m_pMrkMtypeAttr,
                                                   &SXLIFFDTD::m_pAltTransMidAttr,
                                                   &SXLIFFDTD::m_pAltTransMatchQualityAttr,
                                                   &SXLIFFDTD::m_pAltTransLangAttr,
                                                   &SXLIFFDTD::m_pSubDatatypeAttr,
                                                   &SXLIFFDTD::m_pSubCtypeAttr,
                                                   &SXLIFFDTD::m_pBptIdAttr,
                                                   &SXLIFFDTD::m_pBptCtypeAttr,
                                                   &SXLIFFDTD::m_pItIdAttr,
                                                   &SXLIFFDTD::m_pItPosAttr,
                                                   &SXLIFFDTD::m_pItCtypeAttr};
    constexpr int nElements = static_cast<int>(std::size(s_aElements));
    static_assert(nElements + static_cast<int>(std::size(s_aAttributes)) == kXLIFFDTDNumHandles);
    if (nIndex < 0 || nIndex >= kXLIFFDTDNumHandles)
        return nullptr;
    if (nIndex < nElements)
        return dtd.*s_aElements[nIndex];
    return dtd.*s_aAttributes[nIndex - nElements];
}

void ClearXLIFFDTD(SXLIFFDTD& dtd)
{
    dtd = SXLIFFDTD();
}

tcDictionary* PrepareNewProjectDocument(tcDocument* pDoc)
{
    if (!pDoc)
        return nullptr;
    pDoc->CreateEmptyOvraDTD();
    tcDTD* pDTD = pDoc->GetDTD();
    tcElement* pSectionKind = pDTD->GetElementByID(ELEMENTID_SECTION);
    DeleteAttributeHelper(pDoc, pSectionKind, pSectionKind->FindAttributeByID(4));
    pDoc->AddStyleSet(std::make_unique<tcStyles>("Default styles"));
    if (tcElement* pLemma = pDTD->FindElementByName("Lemma"))
        pDTD->DeleteElement(pLemma);

    tcNode* pRootNode = pDoc->AllocateElementByID(ELEMENTID_DICTIONARY, true, false);
    if (!pRootNode || !pRootNode->IsClass(NODE_DICTIONARY))
    {
        tAssert(__FILE__, __LINE__, "root kind is a dictionary");
        return nullptr;
    }
    tcDictionary* pRoot = static_cast<tcDictionary*>(pRootNode);
    pDoc->SetDictionary(pRoot);

    tcNode* pXliff = pDoc->AllocateElementByID(ELEMENTID_SECTION, true, false);
    pRoot->AddChildOrdered(pXliff);
    pSectionKind->SetName("xliff");
    tcAttribute* pSpace = tCreateAttribute(pDoc, pSectionKind, "xml:space", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    pXliff->SetAttributeDisplayByString(pSpace, "preserve", false, ",");
    return pRoot;
}

void InitXLIFFDTD(tcDocument* pDoc, SXLIFFDTD& dtd, bool bStrict)
{
    if (!pDoc)
        Fail(s_XliffDecl.szStrictMessage);
    tcDTD* pDTD = pDoc->GetDTD();

    tcElement* pXliff = pDTD->FindElementByName(s_XliffDecl.szName);
    if (!pXliff)
    {
        if (!bStrict)
            tAssert(__FILE__, __LINE__, "xliff kind exists in a new project");
        Fail(s_XliffDecl.szStrictMessage);
    }
    DeclareAttributes(pDoc, pXliff, s_XliffDecl, dtd);

    tcElement* pFile = DeclareFileElement(pDoc, bStrict);
    dtd.m_pFileElement = pFile;
    DeclareAttributes(pDoc, pFile, s_aFileDecl, dtd);

    for (const SElementDecl& decl : s_aElementDecls)
    {
        tcElement* pParent = pDTD->FindElementByName(decl.szParent);
        tcElement* pElement = nullptr;
        if (decl.eHow == eLookup::FindByName)
        {
            pElement = pDTD->FindElementByName(decl.szName);
            if (!pElement && bStrict && decl.szStrictMessage)
            {
                const bool bSkeletonLess = decl.pSlot == &SXLIFFDTD::m_pInternalFileElement;
                if (!bSkeletonLess || !pDTD->FindElementByName("external-file"))
                    Fail(decl.szStrictMessage);
            }
        }
        if (!pElement)
            pElement = tEnsureElementExists(pDoc, decl.szName, pParent, true, CHILD_ZEROORMORE);
        if (decl.bPCDATA)
            pElement->EnableFlags(ELEMENTFLAG_PCDATA);
        if (decl.pSlot)
            dtd.*decl.pSlot = pElement;
        DeclareAttributes(pDoc, pElement, decl, dtd);
    }

    AddItems(pDTD, dtd.m_pTargetStateAttr, s_aszStateValues);
    AddItems(pDTD, dtd.m_pTargetStateQualifierAttr, s_aszStateQualifierValues);
}

namespace
{
bool HasAncestorOfKind(const tcNode* pNode, const tcElement* pElement)
{
    for (const tcNode* pUp = pNode->GetParent(); pUp && pElement; pUp = pUp->GetParent())
    {
        if (pUp->GetElement() && pUp->GetElementTypeID() == pElement->GetID())
            return true;
    }
    return false;
}
} // namespace

std::vector<tcNode*> CollectUnitSegments(const SXLIFFDTD& dtd, const tcNode* pParent, bool bTranslatableOnly)
{
    std::vector<tcNode*> apSegments;
    if (!pParent || !dtd.m_pTransUnitElement)
        return apSegments;
    std::vector<tcNode*> apUnits;
    pParent->FindDescendantsOfElementType(dtd.m_pTransUnitElement->GetID(), apUnits);
    std::vector<tcNode*> apMrks;
    for (const tcNode* pUnit : apUnits)
    {
        if (bTranslatableOnly && pUnit->GetAttributeRawAsString(dtd.m_pTransUnitTranslateAttr) == L"no")
            continue;
        apMrks.clear();
        if (dtd.m_pMrkElement)
            pUnit->FindDescendantsOfElementType(dtd.m_pMrkElement->GetID(), apMrks);
        const size_t nBefore = apSegments.size();
        for (tcNode* pMrk : apMrks)
        {
            if (!HasAncestorOfKind(pMrk, dtd.m_pTargetElement))
                apSegments.push_back(pMrk);
        }
        if (apSegments.size() == nBefore && dtd.m_pSourceElement)
        {
            // A unit with neither segments nor source has nothing to show.
            if (tcNode* pSource = pUnit->GetNthChildOfElementType(dtd.m_pSourceElement->GetID(), 0))
                apSegments.push_back(pSource);
        }
    }
    return apSegments;
}
