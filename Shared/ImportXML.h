#pragma once

#include "Shared/ImportXMLCrossRefs.h"
#include "Shared/ImportXMLDTD.h"
#include "Shared/ImportXMLLimits.h"
#include "Shared/ImportXMLSnapshot.h"
#include "varnak/include/VarnakConst.h"
#include "varnak/include/tcIO.h"

#include <xercesc/sax/EntityResolver.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>

#include <wx/string.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

class tcAttrList;
class tcAttribute;
class tcDocument;
class tcElement;
class tcLabelSet;
class tcLanguage;
class tcNode;
class tcOrder;
class tcReferences;
class tcRefLabelSet;
class tcStyleAttribute;
class tcStyles;
class tcText;

class CXMLImporter;

// ---- Shared routines ------------------------------------------------------------------------------

// Replaces "&gt;", "&lt;", "&amp;", "&apos;" and "&quot;" in one left-to-right pass; a replaced "&"
// never starts a new reference ("&amp;lt;" gives "&lt;").
void tXMLUnescapeInPlace(std::wstring& sText);
// Replaces the same five references one after the other over the whole text, in the order above,
// so "&amp;quot;" ends as a double quote. Only text holding "&" changes. A null text gives the
// empty text. This is the unescaping every importer step applies to names, values and text.
wxString tXMLUnescapeString(const XMLCh* szText);
wxString tXMLUnescapeString(const wxString& sText);

// Sets the attribute sName of pNode (looked up on the node's kind; nothing when the kind has no
// such attribute) from its XML value, by the attribute's type: text as it is, numbers without
// their thousands commas, list values as item texts (attribute values are text in this library;
// items named by identifier are looked up, and missing ones reported as load errors of
// pImporter). szValue may be null (a number then becomes 0).
void tSetNodeAttributeFromXML(CXMLImporter* pImporter, tcNode* pNode, const wxString& sName, const wchar_t* szValue);

// "1", "yes", "y", "true", "t" give true; "0", "no", "n", "false", "f" false (exact case). Any
// other text reports a failed assertion and gives false.
bool tParseBoolValue(const wxString& sText);

// Reads a base-10 signed integer: leading white space and one sign are allowed, the value is that
// of the longest valid prefix (0 when none), clamped to the 32-bit range. Returns whether the text
// was non-empty and read completely.
bool tParseXMLDecimal(const wxString& sText, int& nValue);

// ---- Event-loop hook ------------------------------------------------------------------------------

// The importer lets the toolkit run once per element start through this hook; the toolkit lives in
// the user-interface library, which installs a function that dispatches pending events except user
// input (so no command runs in the middle of a load). Null (the default) yields nothing. The
// importer never calls the hook again while a call is running. Main thread.
typedef void (*tcXMLImportYieldFn)();
void tSetXMLImportYieldHook(tcXMLImportYieldFn pfnYield);
tcXMLImportYieldFn tGetXMLImportYieldHook();

// Asks the running load to stop (from inside the yield hook: a Cancel button). The load then fails
// with the load error "Loading was cancelled" and, like every failed load, leaves no document.
// The request lasts until the next load starts. Main thread.
void tRequestXMLImportStop();
bool tXMLImportStopRequested();

// How much of its file the running load has read, from 0 to 1, as of the element start that called
// the yield hook: for a progress gauge. 0 outside a load or when the file's size is unknown.
double tXMLImportFraction();
// Set by the importer as it reads.
void tSetXMLImportFraction(double dFraction);

// A special-element designation waiting for the section it belongs to (SPECIAL_* kind).
struct SpecialTypeRecord
{
    uint32_t nSectionID = 0;
    uint32_t nKind = 0;
    wxString sElementName;
    wxString sAttributeName;
};

// ---- Admission walk -------------------------------------------------------------------------------

// Whether an element-only parent kind admits one more child kind after a parent node's existing
// children: the parent's child relations are walked in order with one cursor that stays on a
// relation to the child's kind or moves forward to the next one; running off the end refuses.
// Children without a kind (text, CDATA) take no part.
//
// The walk remembers where it stood after the children it has seen, so checking each new child of
// a node costs only the children added since: relations and children only grow at the end during
// a parse, and the walk always takes the first match at or after the cursor, so a remembered
// cursor stays exact. Call Reset after relations were removed or reordered.
class CXMLChildWalk
{
public:
    // True when pParentKind's relations fit pParentNode's element children followed by pKind.
    // Null arguments give false.
    bool Admits(const tcElement* pParentKind, const tcNode* pParentNode, const tcElement* pKind);
    void Reset();

private:
    const tcNode* m_pNode = nullptr;
    const tcElement* m_pKind = nullptr;
    int m_nChildrenWalked = 0;
    int m_nCursor = 0;
};

// An open element of the current entry: its node, its element name, and the admission walk of its
// children.
struct CXMLNodeFrame
{
    tcNode* pNode = nullptr;
    wxString sElementName;
    CXMLChildWalk walk;
};

// ---- The importer ---------------------------------------------------------------------------------

// Where the parse stands, by what the next element start opens.
enum class teXMLParseState : int32_t
{
    BeforeDictionary = 0, // the root (dictionary) element
    InDictionary = 1,     // a section
    InSection = 2,        // an entry
    InEntry = 3,          // the entry's first content node
    InEntryContent = 4,   // a content node after others were started (nested or not)
};

// Resolves external entities (external DTDs included) for one parse: only files in the schema
// folders (the application's "Data", the data path's "Schemas", the application's
// "../LibraryData/Schemas", the library-data path's "Schemas") and in the document's own folder are
// read. Anything else resolves to an empty text and a warning load error of the importer, so a
// missing DTD does not stop the load and no other file is ever read.
class CXMLEntityResolver : public xercesc::EntityResolver
{
public:
    explicit CXMLEntityResolver(CXMLImporter* pImporter) : m_pImporter(pImporter) {}

    // Never null: the parser owns the source returned.
    xercesc::InputSource* resolveEntity(const XMLCh* const publicId, const XMLCh* const systemId) override;

private:
    CXMLImporter* m_pImporter;
};

// Reads one XML file into a document through a SAX2 parse. Used for the three file formats through
// its subclasses, and directly for any other XML (a native dictionary file, or a file whose root is
// not the one its format expects): the root element becomes the dictionary, its children sections,
// their children entries, and everything deeper a tree of nodes under each entry. Element kinds and
// attributes are declared as they are met.
//
// Usage: AttachDoc, OpenDatasource, LoadDictionary once; read the load errors. One importer serves
// one load. Main thread only; Evt_NodeInserted handlers run inside the parse.
class CXMLImporter : public tcIO, public xercesc::DefaultHandler
{
public:
    CXMLImporter();
    ~CXMLImporter() override;

    // --- tcIO ------------------------------------------------------------------------------------
    // Only names the file: true.
    bool OpenDatasource(const wxString& sPath) override;
    wxString GetDatasource() const override;
    // Gives the attached document (which must have no dictionary yet) the minimal DTD and reads the
    // file. 0 when a dictionary was built and the parse met no fatal error and no structural stop;
    // -1 otherwise, with the reasons as load errors and the document left without a dictionary, so
    // that a partial document is never saved over a good file. Never more than 0.
    int LoadDictionary(int& nProgress, void* pBuffer) override;
    // Reads the file into the attached document as it is (scripts merge with it). Results as
    // LoadDictionary; a failed merge leaves the document as it was, tree and element kinds included
    // (a kind that the merge deleted to rename another to the entry kind stays deleted). Either load, when it
    // fails, gives back the document's style sets (orders and styles), value lists with their
    // items and label sets, and cross-reference types and label sets as they were before it.
    int LoadMerge(int& nProgress, void* pBuffer) override;

    // --- Content ---------------------------------------------------------------------------------
    void startElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname,
                      const xercesc::Attributes& attrs) override;
    void endElement(const XMLCh* const uri, const XMLCh* const localname, const XMLCh* const qname) override;
    void characters(const XMLCh* const chars, const XMLSize_t length) override;
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override;
    void endDocument() override;
    // Keeps the parser's position, so that a stop of our own can name its line and column.
    void setDocumentLocator(const xercesc::Locator* const pLocator) override;

    // Elements nested deeper than this fail the load (see ImportXMLLimits.h).
    static constexpr size_t kMaxElementDepth = kMaxXMLElementDepth;

    // --- Errors ----------------------------------------------------------------------------------
    // Each adds one load error with file, line and column; a fatal error also stops building and
    // makes the load fail.
    void warning(const xercesc::SAXParseException& exc) override;
    void error(const xercesc::SAXParseException& exc) override;
    void fatalError(const xercesc::SAXParseException& exc) override;

    // --- Lexical ---------------------------------------------------------------------------------
    void comment(const XMLCh* const chars, const XMLSize_t length) override;
    void startCDATA() override;
    void endCDATA() override;
    void startDTD(const XMLCh* const name, const XMLCh* const publicId, const XMLCh* const systemId) override;

    // --- Declarations ----------------------------------------------------------------------------
    void elementDecl(const XMLCh* const name, const XMLCh* const model) override;
    void attributeDecl(const XMLCh* const eName, const XMLCh* const aName, const XMLCh* const type,
                       const XMLCh* const mode, const XMLCh* const value) override;
    void internalEntityDecl(const XMLCh* const name, const XMLCh* const value) override;

    // --- Element kinds from the data -------------------------------------------------------------
    // The kind's attribute sName, created as an implied text attribute when missing; null for a
    // null kind.
    tcAttribute* CreateAttributeIfMissing(const wxString& sName, tcElement* pElement);
    // The kind named sName, found or created (fixed identifiers and classes for the dictionary
    // vocabulary, the next free identifier otherwise, and a default style), after making sure
    // pParentKind (may be null) admits it: with pParentNode, after that node's existing children;
    // without, anywhere. A parent that does not admit it gets a new relation, shown in every style
    // set's order. Null only when the library makes no kind.
    tcElement* AddElementFromInstance(tcDocument* pDoc, const wxString& sName, tcElement* pParentKind,
                                      tcNode* pParentNode, teChildRelationConstraint eConstraint);
    // Null for an empty name; otherwise AddElementFromInstance without a parent node.
    tcElement* AddElementFromName(tcDocument* pDoc, const wxString& sName, tcElement* pParentKind,
                                  teChildRelationConstraint eConstraint);

protected:
    // Attributes of one element that no step takes by name, in the order the start tag gives them
    // (declared and stored in that order, so a file this program wrote reads back with its
    // attribute kinds in the order it writes them). A repeated name keeps its first place.
    class CXMLAttrValues
    {
    public:
        wxString& operator[](const wxString& sName);
        std::vector<std::pair<wxString, wxString>>::const_iterator begin() const { return m_aValues.begin(); }
        std::vector<std::pair<wxString, wxString>>::const_iterator end() const { return m_aValues.end(); }
        void clear() { m_aValues.clear(); }

    private:
        std::vector<std::pair<wxString, wxString>> m_aValues;
    };

    // Element start, by parse state.
    void StartDictionary(const wxString& sName, const xercesc::Attributes& attrs);
    void StartSection(const wxString& sName, const xercesc::Attributes& attrs);
    void StartEntry(const wxString& sName, const xercesc::Attributes& attrs);
    // Whether the document being loaded holds a node of the kind.
    bool KindHasNodes(const tcElement* pKind) const;
    void StartContent(const wxString& sName, const xercesc::Attributes& attrs);
    void StartReferences(const wxString& sName, const xercesc::Attributes& attrs);
    void StartReferencePart(const wxString& sName, const xercesc::Attributes& attrs);
    void StartNode(const wxString& sName, const xercesc::Attributes& attrs);
    // Applies the pending special designations of the section.
    void ApplySpecialTypes(tcLanguage* pSection);

    // Native dictionary sections: "styleset" opens a style set; the elements inside style sets and
    // inside the "dtd" section fill the document's style sets and DTD.
    void StartStyleSet(const xercesc::Attributes& attrs);
    void StartStyleSetContent(const wxString& sName, const xercesc::Attributes& attrs);
    void StartDTDSectionContent(const wxString& sName, const xercesc::Attributes& attrs);
    void StartStyle(const xercesc::Attributes& attrs);
    // At the end of a load: a successful one drops the style set the file's first set replaced; a
    // failed one gives back what the load changed outside the dictionary tree.
    void FinishNativeLoad(bool bSucceeded);

    // Attribute i of the parser's list: qualified name and value, unescaped.
    static wxString AttrName(const xercesc::Attributes& attrs, XMLSize_t i);
    static wxString AttrValue(const xercesc::Attributes& attrs, XMLSize_t i);
    // Pushes the xml:space scope a value opens ("preserve" true, "default" false, else nothing) and
    // marks the element being started as its opener; returns whether it pushed. A format's root
    // handler, which starts no element through startElement, may call it too: that scope is never
    // closed.
    bool PushXmlSpace(const wxString& sValue);
    // Keeps an attribute that no step takes by name: its value goes into mapAttrs, and an xml:space
    // value opens its scope.
    void KeepAttribute(CXMLAttrValues& mapAttrs, const wxString& sAttr, const wxString& sValue);
    // Reads the attributes of an element that takes only its identifier by name: with bUseID the
    // identifier attribute's value goes to sID (true when the tag has one); every other attribute is
    // kept as KeepAttribute keeps it.
    bool ReadAttributesAndID(const xercesc::Attributes& attrs, bool bUseID, CXMLAttrValues& mapAttrs, wxString& sID);
    // Declares every map name on the kind and stores the values on the node; empties the map.
    void DeclareMapAttributes(CXMLAttrValues& mapAttrs, tcElement* pElement);
    void StoreMapAttributes(CXMLAttrValues& mapAttrs, tcNode* pNode);
    // The parent of new nodes and text: the top of the node stack, else the current entry.
    tcNode* GetCurrentParent() const;
    // The admission walk of a parent node when it is open (top of the stack or the current entry).
    CXMLChildWalk* FindChildWalk(const tcNode* pParentNode);
    // Forgets every remembered walk (after element kinds were deleted).
    void ResetChildWalks();
    // Adds the load error, stops building and makes the load fail.
    void StopWithError(const wxString& sError);
    // Runs the work of one parser callback. Nothing may cross into the parser, which is not built
    // for exceptions from its handlers: a failure is logged, stops building and fails the load
    // with a load error naming szWhat ("reporting a warning").
    template <typename Fn> void GuardCallback(const wchar_t* szWhat, Fn&& fn) noexcept
    {
        try
        {
            fn();
        }
        catch (...)
        {
            ReportCallbackFailure(szWhat);
        }
    }
    // Inside a catch block: the failure of GuardCallback.
    void ReportCallbackFailure(const wchar_t* szWhat) noexcept;
    // Shows a warning about an identifier (one that is not a number, a section that gets a new one);
    // after the first few of a load they are only logged, so that a file full of them does not
    // flood the user with message boxes.
    void WarnBadID(const wxString& sText);

    // Text and element end.
    void AddTextToParent(const wxString& sText);

    friend class CXMLEntityResolver;
    friend class CXMLDTDDeclarations;
    friend void tSetNodeAttributeFromXML(CXMLImporter* pImporter, tcNode* pNode, const wxString& sName,
                                         const wchar_t* szValue);

    wxString m_sDatasource;
    // The size of the file being read, for tXMLImportFraction (0: unknown).
    unsigned long long m_nDatasourceSize = 0;
    teXMLParseState m_eParseState = teXMLParseState::BeforeDictionary;
    bool m_bStopParsing = false;
    bool m_bUseIdAttribute = true;
    bool m_bInCDATA = false;
    bool m_bCaptureCDATA = false;
    wxString m_sIdAttributeName = "id";
    std::unique_ptr<wxString> m_psDictionaryElementName;
    std::unique_ptr<wxString> m_psSectionElementName;
    std::unique_ptr<wxString> m_psEntryElementName;
    wxString m_sReferencesElementName = "References";
    tcDictionary* m_pDictionary = nullptr;
    tcLanguage* m_pCurrentlanguage = nullptr;
    tcNode* m_pCurrentEntry = nullptr;
    std::deque<bool> m_abXmlSpacePreserve;
    // Kept for the format importers' settings; stored text is decoded text either way (the writers
    // escape), so a sentence reads and serialises alike whether it was imported or parsed.
    bool m_bReescapeText = true;
    wxString m_sSeparator = ",";
    tcAttrList* m_pCurrentList = nullptr;
    tcLabelSet* m_pCurrentLabelSet = nullptr;
    tcStyles* m_pCurrentStyleSet = nullptr;
    tcRefLabelSet* m_pCurrentRefLabelSet = nullptr;
    tcOrder* m_pCurrentOrder = nullptr;
    tcElement* m_pCurrentOrderElement = nullptr;
    tcStyleAttribute* m_pCurrentAttributeStyle = nullptr;
    std::unique_ptr<xercesc::SAX2XMLReader> m_pReader;
    std::deque<CXMLNodeFrame> m_aNodeStack;
    // The document type: declarations, entities and the attribute announcements of comments.
    CXMLDTDDeclarations m_dtd{*this};
    // Cross references collected during the parse, resolved at document end.
    CXMLCrossReferences m_crossRefs{*this};
    std::vector<SpecialTypeRecord> m_aPendingSpecialTypes;
    bool m_bInSpecialTypes = false;
    bool m_bZeroWidthSpaces = false;
    bool m_bLoadingDictionary = false;
    bool m_bInReferences = false;
    bool m_bInDTDSection = false;
    bool m_bInStyleSet = false;
    // The element depth of the open "styleset" or "dtd" section: it ends with that element only.
    size_t m_nSectionDepth = 0;
    // The document's style set that the file's first set replaces once the load has succeeded.
    bool m_bDefaultStyleSetReplaced = false;
    tcStyles* m_pReplacedStyleSet = nullptr;
    // What the load may change outside the dictionary tree, as it was before the load.
    std::unique_ptr<CXMLLoadSnapshot> m_pSnapshot;
    bool m_bListValuesByText = false;
    bool m_bInitFailed = false;
    wxString m_sInitError;

    // Set with every stop that makes the load fail (a fatal parser error, a structural stop, a
    // parser exception); the normal stop at the end of the dictionary or root element leaves it.
    bool m_bLoadFailed = false;
    // Declared entities that expand into each other grow exponentially (a few hundred bytes can
    // stand for gigabytes), and the parser spends time on every expansion: a parse that expands more
    // declared entity references than this fails at once. The five predefined ones (&amp; and the
    // like) and character references do not count, so real projects and memories stay far below.
    int m_nEntityExpansionLimit = 1000;
    // Visible warnings about identifiers shown in this load.
    int m_nBadIDWarnings = 0;
    // The admission walk of the current entry's own children.
    CXMLChildWalk m_entryWalk;
    // One value per element started through CXMLImporter::startElement and not ended yet: whether
    // its start pushed an xml:space scope. startElement pushes exactly one value for every call
    // (false while stopped) and endElement pops one for every call, so each end drops exactly the
    // scope its start opened.
    std::vector<bool> m_abOpenedXmlSpace;
    // The parser's position during a parse; null outside one.
    const xercesc::Locator* m_pLocator = nullptr;
    // The text node whose last piece lost a trailing U+200B (zero-width-space mode): the parser may
    // deliver one text in pieces, and only the end of the whole text loses it, so the next piece
    // appended to that node puts it back. Compared, never dereferenced.
    const tcText* m_pZWSPHeldText = nullptr;
};
