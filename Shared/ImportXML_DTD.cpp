// Document type declarations of the XML importer: element kinds with their children, attribute
// kinds and entities, from the system's own dictionary document type or from any other DTD, and the
// attribute announcements of metadata comments.

#include "Shared/ImportXMLDTD.h"

#include "Shared/ImportXML.h"

#include "varnak/include/kvFormat.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"

#include <wx/tokenzr.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace
{
const wxString kNativeDocType = "brindovaicon";
const wxString kListSeparatorEntity = "brindova__list__seperator";

// Deeper groups stay unsplit (and are then skipped): a hostile model must not exhaust the stack.
constexpr int kMaxModelDepth = 64;

wxString Unescaped(const XMLCh* szText)
{
    return tXMLUnescapeString(szText);
}

bool IsOccurrenceMark(wxUniChar c)
{
    return c == '*' || c == '+' || c == '?';
}

teChildRelationConstraint ConstraintOfMark(wxUniChar c)
{
    if (c == '*')
        return CHILD_ZEROORMORE;
    if (c == '+')
        return CHILD_ONEORMORE;
    if (c == '?')
        return CHILD_ZEROORONE;
    return CHILD_ONE;
}

// A group's occurrence applied to a member's own: "(a?)+" lets a appear any number of times.
teChildRelationConstraint Combine(teChildRelationConstraint eOuter, teChildRelationConstraint eInner)
{
    if (eOuter == CHILD_ONE)
        return eInner;
    if (eInner == CHILD_ONE || eInner == eOuter)
        return eOuter;
    return CHILD_ZEROORMORE;
}

// Splits "name*" into the name and its multiplicity (CHILD_ONE without a mark).
wxString SplitMark(const wxString& sPart, teChildRelationConstraint& eConstraint)
{
    eConstraint = CHILD_ONE;
    if (!sPart.empty() && IsOccurrenceMark(sPart.Last()))
    {
        eConstraint = ConstraintOfMark(sPart.Last());
        return sPart.substr(0, sPart.length() - 1);
    }
    return sPart;
}

// The element name a one-name model such as "(Sec)*" or a model part such as "Lemma)" stands for;
// empty when what is left is no name (a choice, a nested group).
wxString ModelName(const wxString& sModel)
{
    wxString sName = sModel;
    sName.Replace("(", "");
    sName.Replace(")", "");
    sName.Trim(true).Trim(false);
    teChildRelationConstraint eIgnored;
    sName = SplitMark(sName, eIgnored);
    return tIsValidXMLName(sName) ? sName : wxString();
}

// The children a mixed model names: "(#PCDATA|a|b)*" gives a and b; "(#PCDATA)" none.
std::vector<wxString> MixedChildren(const wxString& sModel)
{
    wxString sRest = sModel;
    sRest.Replace("#PCDATA", "");
    sRest.Replace("(", "");
    sRest.Replace(")", "");
    std::vector<wxString> asNames;
    wxStringTokenizer tokens(sRest, "|");
    while (tokens.HasMoreTokens())
    {
        wxString sPart = tokens.GetNextToken();
        sPart.Trim(true).Trim(false);
        while (!sPart.empty() && IsOccurrenceMark(sPart.Last()))
            sPart.RemoveLast();
        if (tIsValidXMLName(sPart))
            asNames.push_back(sPart);
    }
    return asNames;
}

// A generic content model as a tree of groups: leaves hold the text between parentheses, groups
// the occurrence mark that follows their closing parenthesis.
struct ModelNode
{
    std::vector<std::unique_ptr<ModelNode>> apChildren;
    wxString sText;
    teChildRelationConstraint eMark = CHILD_ONE;
};

void BuildModelTree(ModelNode& node, const wxString& sText, int nDepth)
{
    if (nDepth > kMaxModelDepth)
    {
        node.sText = sText;
        return;
    }
    std::vector<std::pair<wxString, teChildRelationConstraint>> aParts;
    int nLevel = 0;
    size_t nStart = 0;
    const size_t nLength = sText.length();
    for (size_t i = 0; i < nLength; ++i)
    {
        const wxUniChar c = sText[i];
        if (c == '(')
        {
            if (nLevel == 0)
            {
                if (i > nStart)
                    aParts.emplace_back(sText.substr(nStart, i - nStart), CHILD_ONE);
                nStart = i + 1;
            }
            ++nLevel;
        }
        else if (c == ')' && nLevel > 0)
        {
            if (nLevel == 1)
            {
                teChildRelationConstraint eMark = CHILD_ONE;
                const size_t nEnd = i;
                if (i + 1 < nLength && IsOccurrenceMark(sText[i + 1]))
                    eMark = ConstraintOfMark(sText[++i]);
                aParts.emplace_back(sText.substr(nStart, nEnd - nStart), eMark);
                nStart = i + 1;
            }
            --nLevel;
        }
    }
    if (aParts.empty())
    {
        node.sText = sText;
        return;
    }
    const wxString sTail = sText.substr(nStart);
    if (!sTail.empty() && sTail != "+" && sTail != "?" && sTail != "*")
        aParts.emplace_back(sTail, CHILD_ONE);
    for (const auto& part : aParts)
    {
        auto pChild = std::make_unique<ModelNode>();
        pChild->eMark = part.second;
        BuildModelTree(*pChild, part.first, nDepth + 1);
        node.apChildren.push_back(std::move(pChild));
    }
}

// Attribute types that keep the text type; anything else in parentheses is an enumeration.
bool IsTextAttributeType(const wxString& sType)
{
    static const wxString s_asTypes[] = {"CDATA",    "ID",      "IDREF",    "IDREFS",  "ENTITY",
                                         "ENTITIES", "NMTOKEN", "NMTOKENS", "NOTATION"};
    for (const wxString& s : s_asTypes)
    {
        if (sType == s)
            return true;
    }
    // "NOTATION (a|b)" names notations, not values.
    return !(sType.StartsWith("(") && sType.EndsWith(")"));
}
} // namespace

// ---- Document type and entities -------------------------------------------------------------------

CXMLDTDDeclarations::CXMLDTDDeclarations(CXMLImporter& importer) : m_importer(importer) {}

CXMLDTDDeclarations::~CXMLDTDDeclarations() = default;

void CXMLDTDDeclarations::StartDTD(const XMLCh* const name)
{
    tcDebugInfo dbg("xSDTD");
    try
    {
        if (Unescaped(name) == kNativeDocType)
            m_bNativeDocType = true;
    }
    catch (...)
    {
        kvLog(L"Could not read the document type name");
    }
}

void CXMLDTDDeclarations::InternalEntityDecl(const XMLCh* const name, const XMLCh* const value)
{
    tcDebugInfo dbg("xED");
    try
    {
        if (!m_importer.m_pDoc)
            return;
        const wxString sName = Unescaped(name);
        // Parameter entities ("%name") belong to the DTD's own text, not to the document.
        if (sName.empty() || sName == kListSeparatorEntity || sName.StartsWith("%"))
            return;
        const wxString sValue = Unescaped(value);
        tcDTD* pDTD = m_importer.m_pDoc->GetDTD();
        for (int i = 0; i < pDTD->GetNumEntities(); ++i)
        {
            tcEntity* pEntity = pDTD->GetEntity(i);
            if (pEntity && pEntity->GetEntity() == sName)
            {
                if (m_importer.m_bLoadingDictionary)
                    pEntity->SetValue(sValue);
                return;
            }
        }
        pDTD->AddEntity(sName, sValue);
    }
    catch (...)
    {
        kvLog(L"Could not read an entity declaration");
    }
}

// ---- Element declarations -------------------------------------------------------------------------

void CXMLDTDDeclarations::ElementDecl(const XMLCh* const name, const XMLCh* const model)
{
    tcDebugInfo dbg("xED");
    try
    {
        if (!m_importer.m_pDoc)
            return;
        const wxString sName = Unescaped(name);
        const wxString sModel = Unescaped(model);
        if (m_bNativeDocType)
            ElementDeclNative(sName, sModel);
        else
            ElementDeclGeneric(sName, sModel);
    }
    catch (const std::exception& e)
    {
        m_importer.AddLoadError(
            kvFormat(L"The declaration of element (%s) could not be read: %s", Unescaped(name), kvFromUTF8(e.what())));
    }
    catch (...)
    {
        m_importer.AddLoadError(kvFormat(L"The declaration of element (%s) could not be read", Unescaped(name)));
    }
}

bool CXMLDTDDeclarations::AddDeclaredChild(const wxString& sParent, const wxString& sChild,
                                           teChildRelationConstraint eConstraint)
{
    tcElement* pParent = m_importer.m_pDoc->GetDTD()->FindElementByName(sParent);
    if (!pParent)
    {
        m_importer.AddLoadError(kvFormat(L"Error in DTD - element (%s) is meant to have parent element(%s) but no such parent "
                              L"element exists, so it will not be added",
                              sChild, sParent));
        return false;
    }
    m_importer.AddElementFromName(m_importer.m_pDoc, sChild, pParent, eConstraint);
    return true;
}

void CXMLDTDDeclarations::ElementDeclNative(const wxString& sName, const wxString& sModel)
{
    tcDTD* pDTD = m_importer.m_pDoc->GetDTD();
    // The wrapper's model ends with the dictionary element, the dictionary's model names the
    // section element and the section's the entry element; kinds 1, 2 and 4 take those names.
    const auto NameKind = [&](std::unique_ptr<wxString>& psMember, const wxString& sFound, int nElementID)
    {
        if (sFound.empty())
        {
            kvLog(L"The content model [%s] of element [%s] names no single element; ignored", sModel, sName);
            return;
        }
        psMember = std::make_unique<wxString>(sFound);
        if (tcElement* pKind = pDTD->GetElementByID(nElementID))
            pKind->SetName(sFound);
    };
    if (sName == kNativeDocType)
    {
        wxString sLast;
        wxStringTokenizer tokens(sModel, ",");
        while (tokens.HasMoreTokens())
            sLast = tokens.GetNextToken();
        NameKind(m_importer.m_psDictionaryElementName, ModelName(sLast), ELEMENTID_DICTIONARY);
        return;
    }
    if (m_importer.m_psDictionaryElementName && sName == *m_importer.m_psDictionaryElementName)
    {
        NameKind(m_importer.m_psSectionElementName, ModelName(sModel), ELEMENTID_SECTION);
        return;
    }
    if (m_importer.m_psSectionElementName && sName == *m_importer.m_psSectionElementName)
    {
        NameKind(m_importer.m_psEntryElementName, ModelName(sModel), ELEMENTID_ENTRY);
        return;
    }
    if (sName == "reftypegroup" || sName == "reference" || sName == "reflemma" || sName == "refsense" ||
        !m_importer.m_psEntryElementName)
        return;

    tcElement* pKind = m_importer.AddElementFromName(m_importer.m_pDoc, sName, nullptr, CHILD_ZEROORMORE);
    if (sModel == "EMPTY")
        return;
    if (sModel.Contains("#PCDATA"))
    {
        DeclareMixedContent(sName, pKind, sModel);
        return;
    }

    wxString sRest = sModel.substr(1);
    sRest.Replace(")", "");
    wxStringTokenizer tokens(sRest, ",");
    while (tokens.HasMoreTokens())
    {
        wxString sPart = tokens.GetNextToken();
        sPart.Trim(true).Trim(false);
        if (sPart.empty())
            continue;
        teChildRelationConstraint eConstraint = CHILD_ONE;
        const wxString sChild = SplitMark(sPart, eConstraint);

        // A part naming the cross-reference parts makes the declared element the references
        // element (also inside a choice such as "(reflemma|reftypegroup)").
        bool bReferences = false;
        wxStringTokenizer choices(sChild, "(|");
        while (choices.HasMoreTokens())
        {
            const wxString sChoice = ModelName(choices.GetNextToken());
            bReferences = bReferences || sChoice == "reftypegroup" || sChoice == "reflemma";
        }
        if (bReferences)
        {
            m_importer.m_sReferencesElementName = sName;
            if (sName != "References" && pKind && pKind->GetID() != ELEMENTID_REFERENCES)
            {
                DeleteElementHelper(m_importer.m_pDoc, ELEMENTID_REFERENCES);
                m_importer.ResetChildWalks();
                pKind->SetID(ELEMENTID_REFERENCES);
                pKind->SetClass(NODE_REFERENCES);
                pKind->EnableFlags(ELEMENTFLAG_NODELETE);
            }
            continue;
        }
        // Nested groups and choices would give names such as "((x|y"; they declare nothing here.
        if (sChild.Contains("(") || sChild.Contains("|") || !tIsValidXMLName(sChild))
            continue;
        if (!AddDeclaredChild(sName, sChild, eConstraint))
            return;
    }
}

void CXMLDTDDeclarations::DeclareMixedContent(const wxString& sName, tcElement* pKind, const wxString& sModel)
{
    tEnsureElementAllowsPCDATA(m_importer.m_pDoc, pKind);
    for (const wxString& sChild : MixedChildren(sModel))
    {
        if (!AddDeclaredChild(sName, sChild, CHILD_ZEROORMORE))
            return;
    }
}

void CXMLDTDDeclarations::ElementDeclGeneric(const wxString& sName, const wxString& sModel)
{
    tcDTD* pDTD = m_importer.m_pDoc->GetDTD();
    // The first two declarations name the dictionary and section kinds (a format importer's root
    // handler may rename them later).
    if (!m_importer.m_psDictionaryElementName)
    {
        m_importer.m_psDictionaryElementName = std::make_unique<wxString>(sName);
        if (tcElement* pKind = pDTD->GetElementByID(ELEMENTID_DICTIONARY))
            pKind->SetName(sName);
        return;
    }
    if (!m_importer.m_psSectionElementName)
    {
        m_importer.m_psSectionElementName = std::make_unique<wxString>(sName);
        if (tcElement* pKind = pDTD->GetElementByID(ELEMENTID_SECTION))
            pKind->SetName(sName);
        return;
    }

    tcElement* pKind = m_importer.AddElementFromName(m_importer.m_pDoc, sName, nullptr, CHILD_ZEROORMORE);
    if (sModel == "EMPTY")
        return;
    // Any content: text and whatever elements the data shows.
    if (sModel == "ANY")
    {
        tEnsureElementAllowsPCDATA(m_importer.m_pDoc, pKind);
        return;
    }
    if (sModel.Contains("#PCDATA"))
    {
        DeclareMixedContent(sName, pKind, sModel);
        return;
    }

    ModelNode root;
    BuildModelTree(root, sModel, 0);
    // The leaves in document order; a group's occurrence mark applies to its members, since the
    // parser writes "(Sec*)" as "(Sec)*".
    const auto Visit = [&](const auto& self, const ModelNode& node, teChildRelationConstraint eGroup) -> bool
    {
        const teChildRelationConstraint eHere = Combine(eGroup, node.eMark);
        if (!node.apChildren.empty())
        {
            for (const auto& pChild : node.apChildren)
            {
                if (!self(self, *pChild, eHere))
                    return false;
            }
            return true;
        }
        if (node.sText.Contains("("))
            return true;
        if (node.sText.Contains("|"))
        {
            // A choice lets the kind hold text as well.
            tEnsureElementAllowsPCDATA(m_importer.m_pDoc, pKind);
            wxStringTokenizer tokens(node.sText, "|");
            while (tokens.HasMoreTokens())
            {
                wxString sPart = tokens.GetNextToken();
                sPart.Trim(true).Trim(false);
                teChildRelationConstraint eIgnored;
                sPart = SplitMark(sPart, eIgnored);
                if (tIsValidXMLName(sPart) && !AddDeclaredChild(sName, sPart, CHILD_ZEROORMORE))
                    return false;
            }
            return true;
        }
        wxStringTokenizer tokens(node.sText, ",");
        while (tokens.HasMoreTokens())
        {
            wxString sPart = tokens.GetNextToken();
            sPart.Trim(true).Trim(false);
            teChildRelationConstraint eOwn = CHILD_ONE;
            const wxString sChild = SplitMark(sPart, eOwn);
            if (!tIsValidXMLName(sChild))
                continue;
            if (!AddDeclaredChild(sName, sChild, Combine(eHere, eOwn)))
                return false;
        }
        return true;
    };
    Visit(Visit, root, CHILD_ONE);
}

// ---- Attribute declarations -----------------------------------------------------------------------

teDefaultType CXMLDTDDeclarations::DefaultTypeFromMode(const wxString& sMode)
{
    if (sMode.Contains("REQUIRED"))
        return ATTRDEF_REQUIRED;
    if (sMode.Contains("IMPLIED"))
        return ATTRDEF_IMPLIED;
    if (sMode.Contains("FIXED"))
        return ATTRDEF_FIXED;
    return ATTRDEF_VALUE;
}

void CXMLDTDDeclarations::ApplyEntryAttributeIDs(const wxString& sElementName, tcAttribute* pAttr)
{
    if (!pAttr)
        return;
    const wxString sEntry = m_importer.m_psEntryElementName ? *m_importer.m_psEntryElementName : wxString("Lemma");
    if (sElementName != sEntry)
        return;
    const wxString& sAttr = pAttr->GetName();
    if (sAttr == "HomonymNumber" || sAttr == L"homónimo_nro")
    {
        pAttr->SetID(6);
        pAttr->SetFlags(28);
    }
    else if (sAttr == "pronunciation" || sAttr == L"pronunciación")
        pAttr->SetID(2);
    else if (sAttr == "etimology" || sAttr == L"etimología")
        pAttr->SetID(5);
}

void CXMLDTDDeclarations::AttributeDecl(const XMLCh* const eName, const XMLCh* const aName, const XMLCh* const type,
                                        const XMLCh* const mode, const XMLCh* const value)
{
    tcDebugInfo dbg("xAD");
    try
    {
        if (!m_importer.m_pDoc)
            return;
        std::wstring sElementW = eName ? kvUTF16ToWString(eName).ToStdWstring() : std::wstring();
        tXMLUnescapeInPlace(sElementW);
        const wxString sElement(sElementW);
        const wxString sAttr = Unescaped(aName);
        const wxString sType = Unescaped(type);
        const wxString sMode = Unescaped(mode);
        const bool bHasDefault = value != nullptr;
        const wxString sDefault = Unescaped(value);
        tcDTD* pDTD = m_importer.m_pDoc->GetDTD();
        tcElement* pKind = pDTD->FindElementByName(sElement);

        // Announced by an "ATTDATA" comment, native or not.
        if (m_pnPendingAttrType && m_pnPendingAttrDefault && m_pbPendingAttrRTL && m_psPendingAttrListName)
        {
            if (!pKind)
            {
                m_importer.AddLoadError(kvFormat(L"Warning dtd attribute (%s) specified for element (%s) but no such element "
                                      L"specified in dtd - attribute will not be added",
                                      sAttr, sElement));
                DiscardAnnouncement();
                return;
            }
            if (sAttr == L"homónimo_nro")
            {
                if (tcAttribute* pOld = pKind->FindAttributeByName("HomonymNumber"))
                    DeleteAttributeHelper(m_importer.m_pDoc, pKind, pOld);
            }
            const bool bSpecial = (sElement == L"Definición" && sAttr == L"definición") ||
                                  (sElement == "Sublema" && sAttr == "enunciado_sublema");
            tcAttribute* pAttr = tCreateAttribute(m_importer.m_pDoc, pKind, sAttr, *m_pnPendingAttrDefault, *m_pnPendingAttrType,
                                                  false, bSpecial ? 1 : 0);
            ApplyEntryAttributeIDs(sElement, pAttr);
            if (pAttr && !m_psPendingAttrListName->empty())
                m_aPendingAttrLists.push_back(CXMLPendingAttrList{pAttr, *m_psPendingAttrListName});
            if (pAttr && bHasDefault)
                pAttr->SetDefault(sDefault);
            if (pAttr && *m_pbPendingAttrRTL)
                pAttr->EnableFlags(ATTRFLAG_RTL);
            DiscardAnnouncement();
            return;
        }

        if (m_bNativeDocType)
        {
            if (sAttr == m_importer.m_sIdAttributeName)
                return;
            // The declarations ahead of the dictionary element's are the library's own.
            if (m_bSkipBuiltInAttrDecls)
            {
                if (!m_importer.m_psDictionaryElementName || sElement != *m_importer.m_psDictionaryElementName)
                    return;
                m_bSkipBuiltInAttrDecls = false;
                if (pKind)
                    tCreateAttribute(m_importer.m_pDoc, pKind, sAttr, DefaultTypeFromMode(sMode), ATTR_CDATA, false, 0);
                return;
            }
            if (!pKind)
                return;
            tcAttribute* pAttr =
                tCreateAttribute(m_importer.m_pDoc, pKind, sAttr, DefaultTypeFromMode(sMode), ATTR_CDATA, false, 0);
            ApplyEntryAttributeIDs(sElement, pAttr);
            return;
        }

        if (!pKind)
        {
            m_importer.AddLoadError(kvFormat(L"Could not add attribute [%s] as element [%s] does not exist", sAttr, sElement));
            return;
        }
        tcAttribute* pAttr = tCreateAttribute(m_importer.m_pDoc, pKind, sAttr, DefaultTypeFromMode(sMode), ATTR_CDATA, false, 0);
        if (!pAttr)
            return;
        if (!IsTextAttributeType(sType))
        {
            pAttr->SetType(ATTR_LIST);
            tcAttrList* pList = tEnsureListExists(pDTD, sElement + "_" + sAttr);
            pAttr->SetList(pList);
            // A list met again (a merge into a document that has it) does not get its items twice.
            wxStringTokenizer tokens(sType.substr(1, sType.length() - 2), "|");
            while (tokens.HasMoreTokens())
            {
                wxString sItem = tokens.GetNextToken();
                sItem.Trim(true).Trim(false);
                Helper_AddListItemIfNotAlreadyInList(pDTD, pList, sItem);
            }
        }
        if (!sDefault.empty())
            pAttr->SetDefault(sDefault);
        ApplyEntryAttributeIDs(sElement, pAttr);
    }
    catch (const std::exception& e)
    {
        DiscardAnnouncement();
        m_importer.AddLoadError(kvFormat(L"The declaration of attribute [%s] could not be read: %s", Unescaped(aName),
                              kvFromUTF8(e.what())));
    }
    catch (...)
    {
        DiscardAnnouncement();
        m_importer.AddLoadError(kvFormat(L"The declaration of attribute [%s] could not be read", Unescaped(aName)));
    }
}

// ---- Attribute announcements ----------------------------------------------------------------------

void CXMLDTDDeclarations::ReadAttributeAnnouncement(const wxString& sText, const wxString& sDelivered)
{
    // "ATTDATA type, list name, default kind, orientation" announces the next attribute
    // declaration. Quotes group a part holding commas; the file writes them as "&quot;", which
    // the comment's unescaping has turned into plain double quotes.
    DiscardAnnouncement();
    wxString sTrimmed = sText;
    sTrimmed.Trim(true).Trim(false);
    std::vector<wxString> asParts;
    tStrTok(sTrimmed, ",", "\"", asParts);
    if (asParts.size() != 4)
    {
        m_importer.AddLoadError(kvFormat(L"ATTLIST Metadata with too many or too few values '%s' - ignored.", sDelivered));
        return;
    }

    static const struct
    {
        const wchar_t* szName;
        teAttrType eType;
    } s_aTypes[] = {{L"CDATA", ATTR_CDATA},    {L"LDATA", ATTR_LIST},  {L"LNDATA", ATTR_LISTN},
                    {L"LNSDATA", ATTR_LISTNS}, {L"NDATA", ATTR_NDATA}, {L"LUASCRIPTDATA", ATTR_LUASCRIPT}};
    for (const auto& type : s_aTypes)
    {
        if (asParts[0].Contains(type.szName))
        {
            m_pnPendingAttrType = std::make_unique<int32_t>(type.eType);
            break;
        }
    }
    if (!m_pnPendingAttrType)
    {
        m_importer.AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid Data type '%s'- ignored.", sDelivered));
        DiscardAnnouncement();
        return;
    }

    m_psPendingAttrListName = std::make_unique<wxString>(asParts[1] == "NONE" ? wxString() : asParts[1]);

    static const struct
    {
        const wchar_t* szName;
        teDefaultType eDefault;
    } s_aDefaults[] = {{L"#NORMAL", ATTRDEF_VALUE},
                       {L"#REQUIRED", ATTRDEF_REQUIRED},
                       {L"#IMPLIED", ATTRDEF_IMPLIED},
                       {L"#FIXED", ATTRDEF_FIXED},
                       {L"#AUTONUMBER", ATTRDEF_AUTONUMBER},
                       {L"#SOUNDFILE", ATTRDEF_SOUNDFILE},
                       {L"#IMAGEFILE", ATTRDEF_IMAGEFILE},
                       {L"#VIDEOFILE", ATTRDEF_VIDEOFILE},
                       {L"#USERCREATED", ATTRDEF_USERCREATED},
                       {L"#USERCHANGED", ATTRDEF_USERCHANGED},
                       {L"#DATECREATED", ATTRDEF_DATECREATED},
                       {L"#DATECHANGED", ATTRDEF_DATECHANGED},
                       {L"#HYPERLINK", ATTRDEF_HYPERLINK}};
    for (const auto& def : s_aDefaults)
    {
        if (asParts[2].Contains(def.szName))
        {
            m_pnPendingAttrDefault = std::make_unique<int32_t>(def.eDefault);
            break;
        }
    }
    if (!m_pnPendingAttrDefault)
    {
        m_importer.AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid type '%s' - ignored.", sDelivered));
        DiscardAnnouncement();
        return;
    }

    if (asParts[3].Contains("ltr"))
        m_pbPendingAttrRTL = std::make_unique<bool>(false);
    else if (asParts[3].Contains("rtl"))
        m_pbPendingAttrRTL = std::make_unique<bool>(true);
    else
    {
        m_importer.AddLoadError(kvFormat(L"ATTLIST Metadata with Invalid text orientation value '%s'- ignored.", sDelivered));
        DiscardAnnouncement();
    }
}

void CXMLDTDDeclarations::DiscardAnnouncement()
{
    m_pnPendingAttrType.reset();
    m_pnPendingAttrDefault.reset();
    m_pbPendingAttrRTL.reset();
    m_psPendingAttrListName.reset();
}

std::vector<CXMLPendingAttrList> CXMLDTDDeclarations::TakePendingAttrLists()
{
    std::vector<CXMLPendingAttrList> aLists;
    aLists.swap(m_aPendingAttrLists);
    return aLists;
}

void CXMLDTDDeclarations::BindPendingAttrLists(const wxString& sListName, tcAttrList* pList)
{
    auto itKeep = m_aPendingAttrLists.begin();
    for (auto it = m_aPendingAttrLists.begin(); it != m_aPendingAttrLists.end(); ++it)
    {
        if (it->sListName == sListName)
        {
            if (it->pAttribute)
                it->pAttribute->SetList(pList);
        }
        else
        {
            *itKeep++ = std::move(*it);
        }
    }
    m_aPendingAttrLists.erase(itKeep, m_aPendingAttrLists.end());
}
