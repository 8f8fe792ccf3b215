#pragma once

#include <vector>

class tcAttribute;
class tcDictionary;
class tcDocument;
class tcElement;
class tcNode;

// The handles of a project document's XLIFF vocabulary: 17 element kinds followed by 29 attribute
// kinds, in this order. The project page owns the record, fills it once with InitXLIFFDTD and hands
// it by const pointer to convertors, the unit writer and the panes; nobody else writes it.
//
// The handles are owned by the project document's DTD and stay valid while that document lives
// (and no one deletes those kinds from it); the record owns nothing. `xliff` and `ept` have no
// handle: look them up by name.
struct SXLIFFDTD
{
    tcElement* m_pFileElement = nullptr;
    tcElement* m_pHeaderElement = nullptr;
    tcElement* m_pSklElement = nullptr;
    tcElement* m_pInternalFileElement = nullptr;
    tcElement* m_pExternalFileElement = nullptr;
    tcElement* m_pBodyElement = nullptr;
    tcElement* m_pTransUnitElement = nullptr;
    tcElement* m_pSourceElement = nullptr;
    tcElement* m_pSegSourceElement = nullptr;
    tcElement* m_pMrkElement = nullptr;
    tcElement* m_pSubElement = nullptr;
    tcElement* m_pTargetElement = nullptr;
    tcElement* m_pAltTransElement = nullptr;
    tcElement* m_pNoteElement = nullptr;
    tcElement* m_pPhElement = nullptr;
    tcElement* m_pBptElement = nullptr;
    tcElement* m_pItElement = nullptr;

    tcAttribute* m_pTransUnitTranslateAttr = nullptr;
    tcAttribute* m_pFileLastModifiedAttr = nullptr;
    tcAttribute* m_pFileLastModifiedByAttr = nullptr;
    tcAttribute* m_pFileSourceLanguageAttr = nullptr;
    tcAttribute* m_pFileDatatypeAttr = nullptr;
    tcAttribute* m_pFileTargetLanguageAttr = nullptr;
    tcAttribute* m_pFileToolIdAttr = nullptr;
    tcAttribute* m_pFileToolNameAttr = nullptr;
    tcAttribute* m_pFileToolVersionAttr = nullptr;
    tcAttribute* m_pFileToolCompanyAttr = nullptr;
    tcAttribute* m_pFileCategoryAttr = nullptr;
    tcAttribute* m_pFileOriginalAttr = nullptr;
    // The path(s) of the project's translation memory, separator ",".
    tcAttribute* m_pXliffMemdocsAttr = nullptr;
    tcAttribute* m_pSourceLangAttr = nullptr;
    tcAttribute* m_pTargetLangAttr = nullptr;
    tcAttribute* m_pTargetStateAttr = nullptr;
    tcAttribute* m_pTargetStateQualifierAttr = nullptr;
    tcAttribute* m_pMrkMidAttr = nullptr;
    tcAttribute* m_pMrkMtypeAttr = nullptr;
    tcAttribute* m_pAltTransMidAttr = nullptr;
    tcAttribute* m_pAltTransMatchQualityAttr = nullptr;
    tcAttribute* m_pAltTransLangAttr = nullptr;
    tcAttribute* m_pSubDatatypeAttr = nullptr;
    tcAttribute* m_pSubCtypeAttr = nullptr;
    tcAttribute* m_pBptIdAttr = nullptr;
    tcAttribute* m_pBptCtypeAttr = nullptr;
    tcAttribute* m_pItIdAttr = nullptr;
    tcAttribute* m_pItPosAttr = nullptr;
    tcAttribute* m_pItCtypeAttr = nullptr;
};

// Number of handles in the record, and the handle at nIndex (0..45, in declaration order; null for an
// index out of range). For code that checks or walks the whole record.
constexpr int kXLIFFDTDNumHandles = 46;
const void* GetXLIFFDTDHandle(const SXLIFFDTD& dtd, int nIndex);

// Sets all 46 handles to null.
void ClearXLIFFDTD(SXLIFFDTD& dtd);

// Prepares a new project's document before InitXLIFFDTD(..., false): resets the DTD to the library's
// minimal one, drops section attribute 4 and the "Lemma" kind, adds the style set "Default styles",
// makes a new root (kind 1, set as the document's dictionary) holding one node of kind 2, which is
// renamed "xliff" and gets xml:space="preserve". Returns the root (owned by pDoc); null for a null
// document. Any earlier content of the document is deleted with the old DTD.
tcDictionary* PrepareNewProjectDocument(tcDocument* pDoc);

// Declares the XLIFF vocabulary in pDoc's DTD and stores the handles in dtd (on success all 46 are
// non-null, and target's state and state-qualifier are value lists holding the XLIFF values).
// Existing kinds and attributes are reused wherever they sit, so a loaded project keeps what its
// importer declared.
//
// bStrict (a saved project was loaded) throws TextFailure with one of the user messages ("Invalid
// XLIFF project", "XLIFF project does not contain any valid files", "No header element found", "No
// Skeleton element found", "No skeleton element found", "No Body element found") when a
// structural kind is missing; handles of later steps then stay null. The unit kinds (trans-unit,
// source) are made when missing, so a project whose files are all empty still loads. Outside
// strict mode every missing kind is created, except `xliff` (PrepareNewProjectDocument names it):
// without it this reports an assertion and throws TextFailure("Invalid XLIFF project") too.
// A null document throws the same. Main thread only.
void InitXLIFFDTD(tcDocument* pDoc, SXLIFFDTD& dtd, bool bStrict);

// The segments of the units below pParent, in document order: the `mrk`s of each unit that lie in
// no `target` (sentence and sub-flow segments; a target's copies of the source's codes carry the
// sub-flows' mrks too), or the unit's first `source` when it has none. With bTranslatableOnly, units
// with translate="no" are left out. Empty for a null parent. The nodes belong to the document.
std::vector<tcNode*> CollectUnitSegments(const SXLIFFDTD& dtd, const tcNode* pParent, bool bTranslatableOnly);
