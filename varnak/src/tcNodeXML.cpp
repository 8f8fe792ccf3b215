// XML of nodes: tcNode::GenerateXML, GenerateXMLChildren and ParseXML, and the leaf overrides.
#include "varnak/include/tcNode.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tXMLStream.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace
{
// ---- Writing ------------------------------------------------------------------------------------

// Set while tStreamXMLChildren runs on this thread: where the text goes once it has grown.
struct tsFlush
{
    size_t nAt;
    const std::function<void(wxString&)>* pfn;
};
thread_local const tsFlush* t_pFlush = nullptr;

// True when the child writes anything, so that an element whose children all write nothing is
// written as an empty-element tag and reads back the same.
bool WritesSomething(const tcNode* pChild, bool bCDATASections)
{
    switch (pChild->GetClassType())
    {
    case NODE_TEXTNODE:
        return !static_cast<const tcText*>(pChild)->GetText().empty();
    case NODE_CDATA:
        return bCDATASections || !static_cast<const tcCDATA*>(pChild)->GetText().empty();
    case NODE_ERROR:
        return !static_cast<const tcErrorNode*>(pChild)->GetErrorText().empty();
    default:
        return true;
    }
}

void AppendCDATA(const wxString& sText, wxString& sOut, bool bEscape, bool bCDATASections)
{
    if (bCDATASections)
    {
        if (bEscape)
            tAppendXMLCDATA(sOut, sText);
        else
        {
            sOut += L"<![CDATA[";
            sOut += sText;
            sOut += L"]]>";
        }
    }
    else
        sOut += bEscape ? tEscapeXMLCharacters_PCDATA(sText) : sText;
}

// Writes a text, CDATA or error node whole, or the start of an element (its whole empty-element tag
// when it has no content). True when the node's children and its end tag are still to be written.
bool AppendNodeStart(const tcNode* pNode, wxString& sOut, bool bEscape, bool bCDATASections)
{
    switch (pNode->GetClassType())
    {
    case NODE_TEXTNODE:
    {
        const wxString& sText = static_cast<const tcText*>(pNode)->GetText();
        if (bEscape)
            tAppendXMLText(sOut, sText);
        else
            sOut += sText;
        return false;
    }
    case NODE_CDATA:
        AppendCDATA(static_cast<const tcCDATA*>(pNode)->GetText(), sOut, bEscape, bCDATASections);
        return false;
    case NODE_ERROR:
    {
        const wxString& sText = static_cast<const tcErrorNode*>(pNode)->GetErrorText();
        sOut += bEscape ? tEscapeXMLCharacters_PCDATA(sText) : sText;
        return false;
    }
    default:
        break;
    }
    const tcElement* pElement = pNode->GetElement();
    if (!pElement)
        return true;
    sOut += L'<';
    sOut += pElement->GetName();
    for (int i = 0; i < pElement->GetNumAttributes(); ++i)
    {
        const tcAttribute* pAttr = pElement->GetAttribute(i);
        if (pAttr->GetName() == gsInternalIdAttrName)
            continue;
        const wxString* psValue = pNode->GetAttributePStrValue(pAttr);
        if (!psValue)
            continue;
        sOut += L' ';
        sOut += pAttr->GetName();
        sOut += L"=\"";
        if (bEscape)
            tAppendXMLAttributeValue(sOut, *psValue);
        else
            sOut += *psValue;
        sOut += L'"';
    }
    const auto& apChildren = pNode->GetChildren();
    const bool bContent = std::any_of(apChildren.begin(), apChildren.end(),
                                      [&](const tcNode* pChild) { return WritesSomething(pChild, bCDATASections); });
    sOut += bContent ? L">" : L"/>";
    return bContent;
}

// Writes pNode (or only its children) depth first with a stack of its own, so that a tree as deep as
// memory allows (a script can build one) never exhausts the call stack.
void AppendTree(const tcNode* pNode, bool bNodeItself, wxString& sOut, bool bEscape, bool bCDATASections)
{
    struct Frame
    {
        const tcNode* pNode;
        size_t nNext;
        // The element whose end tag follows the children; null for a node without one.
        const tcElement* pEnd;
    };
    std::vector<Frame> aStack;
    if (!bNodeItself)
        aStack.push_back({pNode, 0, nullptr});
    else if (AppendNodeStart(pNode, sOut, bEscape, bCDATASections))
        aStack.push_back({pNode, 0, pNode->GetElement()});
    while (!aStack.empty())
    {
        Frame& frame = aStack.back();
        const auto& apChildren = frame.pNode->GetChildren();
        if (frame.nNext < apChildren.size())
        {
            const tcNode* pChild = apChildren[frame.nNext++];
            if (AppendNodeStart(pChild, sOut, bEscape, bCDATASections))
                aStack.push_back({pChild, 0, pChild->GetElement()});
        }
        else
        {
            if (frame.pEnd)
            {
                sOut += L"</";
                sOut += frame.pEnd->GetName();
                sOut += L'>';
            }
            aStack.pop_back();
        }
        if (t_pFlush && sOut.length() >= t_pFlush->nAt)
            (*t_pFlush->pfn)(sOut);
    }
}

// ---- Reading ------------------------------------------------------------------------------------

// A parsed fragment, kept apart from the document until the whole text proved well-formed, so that
// a failed parse changes neither the node nor the DTD.
struct ParsedNode
{
    enum class Kind
    {
        Element,
        Text,
        CData
    };

    Kind eKind = Kind::Element;
    wxString sName;
    std::vector<std::pair<wxString, wxString>> aAttributes;
    wxString sText;
    std::vector<ParsedNode> aChildren;
};

// Deeper nesting fails rather than exhaust the stack of the recursive routines that follow.
constexpr size_t kMaxDepth = 2048;

// A small, strict parser of XML content: elements, attributes, text, CDATA sections and references;
// comments and processing instructions are skipped, a document type declaration is refused. Line
// ends are normalised ("\r\n" and "\r" become "\n") and attribute values have their literal tabs
// and line ends turned into blanks, as every XML parser does. Raw characters that XML 1.0 forbids
// are kept (the writers replace them); a reference to one is an error.
class FragmentParser
{
public:
    FragmentParser(const wxString& sText, const tcDTD* pDTD) : m_s(sText), m_pDTD(pDTD) {}

    bool Parse(std::vector<ParsedNode>& aOut)
    {
        ParsedNode root;
        std::vector<ParsedNode*> aStack{&root};
        wxString sText;
        const size_t n = m_s.length();
        while (m_i < n)
        {
            const wchar_t c = m_s[m_i];
            if (c == L'<')
            {
                if (StartsWith(L"<!--"))
                {
                    if (!SkipPast(L"-->"))
                        return false;
                    continue;
                }
                if (StartsWith(L"<?"))
                {
                    if (!SkipPast(L"?>"))
                        return false;
                    continue;
                }
                FlushText(sText, *aStack.back());
                if (StartsWith(L"<![CDATA["))
                {
                    m_i += 9;
                    const size_t nEnd = m_s.find(L"]]>", m_i);
                    if (nEnd == wxString::npos)
                        return false;
                    AddCData(*aStack.back(), NormaliseLineEnds(m_s.substr(m_i, nEnd - m_i)));
                    m_i = nEnd + 3;
                    continue;
                }
                if (StartsWith(L"<!"))
                    return false;
                if (StartsWith(L"</"))
                {
                    m_i += 2;
                    wxString sName;
                    if (!ReadName(sName))
                        return false;
                    SkipBlanks();
                    if (m_i >= n || m_s[m_i] != L'>' || aStack.size() < 2 || aStack.back()->sName != sName)
                        return false;
                    ++m_i;
                    aStack.pop_back();
                    continue;
                }
                ++m_i;
                ParsedNode element;
                bool bEmpty = false;
                if (!ReadStartTag(element, bEmpty))
                    return false;
                aStack.back()->aChildren.push_back(std::move(element));
                if (!bEmpty)
                {
                    if (aStack.size() > kMaxDepth)
                        return false;
                    aStack.push_back(&aStack.back()->aChildren.back());
                }
                continue;
            }
            if (c == L'&')
            {
                if (!ReadReference(sText))
                    return false;
                continue;
            }
            if (c == L']' && StartsWith(L"]]>"))
                return false;
            if (c == L'\r')
            {
                sText += L'\n';
                ++m_i;
                if (m_i < n && m_s[m_i] == L'\n')
                    ++m_i;
                continue;
            }
            sText += c;
            ++m_i;
        }
        if (aStack.size() != 1)
            return false;
        FlushText(sText, root);
        aOut = std::move(root.aChildren);
        return true;
    }

private:
    bool StartsWith(const wchar_t* szPart) const { return m_s.compare(m_i, wcslen(szPart), szPart) == 0; }

    bool SkipPast(const wchar_t* szEnd)
    {
        const size_t nEnd = m_s.find(szEnd, m_i);
        if (nEnd == wxString::npos)
            return false;
        m_i = nEnd + wcslen(szEnd);
        return true;
    }

    void SkipBlanks()
    {
        while (m_i < m_s.length() && IsBlank(m_s[m_i]))
            ++m_i;
    }

    static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

    static wxString NormaliseLineEnds(const wxString& sText)
    {
        if (sText.find(L'\r') == wxString::npos)
            return sText;
        wxString sOut;
        sOut.reserve(sText.length());
        for (size_t i = 0; i < sText.length(); ++i)
        {
            if (sText[i] != L'\r')
                sOut += sText[i];
            else
            {
                sOut += L'\n';
                if (i + 1 < sText.length() && sText[i + 1] == L'\n')
                    ++i;
            }
        }
        return sOut;
    }

    static void FlushText(wxString& sText, ParsedNode& parent)
    {
        if (sText.empty())
            return;
        ParsedNode text;
        text.eKind = ParsedNode::Kind::Text;
        text.sText = std::move(sText);
        sText.clear();
        parent.aChildren.push_back(std::move(text));
    }

    // Sections that follow each other directly are one text split by the writer around "]]>".
    static void AddCData(ParsedNode& parent, const wxString& sText)
    {
        if (!parent.aChildren.empty() && parent.aChildren.back().eKind == ParsedNode::Kind::CData)
        {
            parent.aChildren.back().sText += sText;
            return;
        }
        ParsedNode cdata;
        cdata.eKind = ParsedNode::Kind::CData;
        cdata.sText = sText;
        parent.aChildren.push_back(std::move(cdata));
    }

    bool ReadName(wxString& sName)
    {
        const size_t nStart = m_i;
        while (m_i < m_s.length())
        {
            const wchar_t c = m_s[m_i];
            if (IsBlank(c) || c == L'>' || c == L'/' || c == L'=' || c == L'<' || c == L'"' || c == L'\'' || c == L'&')
                break;
            ++m_i;
        }
        sName = m_s.substr(nStart, m_i - nStart);
        return tIsValidXMLName(sName);
    }

    // Reads "name attr="v" ...>" or ".../>" after the "<".
    bool ReadStartTag(ParsedNode& element, bool& bEmpty)
    {
        if (!ReadName(element.sName))
            return false;
        const size_t n = m_s.length();
        while (true)
        {
            const size_t nBefore = m_i;
            SkipBlanks();
            if (m_i >= n)
                return false;
            if (m_s[m_i] == L'>')
            {
                ++m_i;
                bEmpty = false;
                return true;
            }
            if (StartsWith(L"/>"))
            {
                m_i += 2;
                bEmpty = true;
                return true;
            }
            if (m_i == nBefore)
                return false; // attributes must be separated by white space
            wxString sName;
            if (!ReadName(sName))
                return false;
            for (const auto& attr : element.aAttributes)
            {
                if (attr.first == sName)
                    return false;
            }
            SkipBlanks();
            if (m_i >= n || m_s[m_i] != L'=')
                return false;
            ++m_i;
            SkipBlanks();
            if (m_i >= n || (m_s[m_i] != L'"' && m_s[m_i] != L'\''))
                return false;
            const wchar_t cQuote = m_s[m_i++];
            wxString sValue;
            while (true)
            {
                if (m_i >= n)
                    return false;
                const wchar_t c = m_s[m_i];
                if (c == cQuote)
                {
                    ++m_i;
                    break;
                }
                if (c == L'<')
                    return false;
                if (c == L'&')
                {
                    if (!ReadReference(sValue))
                        return false;
                    continue;
                }
                if (c == L'\r' && m_i + 1 < n && m_s[m_i + 1] == L'\n')
                    ++m_i;
                sValue += (c == L'\t' || c == L'\n' || c == L'\r') ? wchar_t(L' ') : c;
                ++m_i;
            }
            element.aAttributes.emplace_back(sName, sValue);
        }
    }

    // Reads a reference at "&" and appends what it stands for.
    bool ReadReference(wxString& sOut)
    {
        const size_t nSemi = m_s.find(L';', m_i + 1);
        if (nSemi == wxString::npos || nSemi == m_i + 1)
            return false;
        const wxString sName = m_s.substr(m_i + 1, nSemi - m_i - 1);
        if (sName.find(L'&') != wxString::npos)
            return false;
        const wxString sRef = L"&" + sName + L";";
        const wxString sDecoded = tUnescapeXMLCharacters(sRef, nullptr);
        if (sDecoded != sRef)
            sOut += sDecoded;
        else
        {
            const tcEntity* pEntity = m_pDTD && tIsValidXMLName(sName) ? m_pDTD->FindEntity(sName) : nullptr;
            if (!pEntity)
                return false;
            sOut += pEntity->GetValue();
        }
        m_i = nSemi + 1;
        return true;
    }

    const wxString& m_s;
    const tcDTD* m_pDTD;
    size_t m_i = 0;
};

// Makes the nodes of a parsed node, declaring what the DTD lacks. Null when a node could not be
// allocated (the nodes made so far are deleted).
tcNode* BuildNode(tcDocument* pDoc, const ParsedNode& parsed, tcElement* pParentElement)
{
    switch (parsed.eKind)
    {
    case ParsedNode::Kind::Text:
    case ParsedNode::Kind::CData:
        if (pParentElement && !pParentElement->AllowsPCDATA())
            tEnsureElementAllowsPCDATA(pDoc, pParentElement);
        if (parsed.eKind == ParsedNode::Kind::Text)
            return pDoc->AllocateTextNode(parsed.sText);
        return pDoc->AllocateCDataNode(parsed.sText);
    case ParsedNode::Kind::Element:
        break;
    }
    tcElement* pElement = tEnsureElementExists(pDoc, parsed.sName, pParentElement, false, CHILD_ZEROORMORE);
    tcNode* pNode = pElement ? pDoc->AllocateElement(pElement, true, false) : nullptr;
    if (!pNode)
        return nullptr;
    for (const auto& attr : parsed.aAttributes)
    {
        tcAttribute* pAttr = tCreateAttribute(pDoc, pElement, attr.first, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
        if (pAttr)
            pNode->SetAttributeS(pAttr, attr.second);
    }
    for (const ParsedNode& child : parsed.aChildren)
    {
        tcNode* pChild = BuildNode(pDoc, child, pElement);
        if (!pChild || !pNode->AddChildLast(pChild))
        {
            if (pChild)
                pDoc->DeleteTreeFromMem(pChild);
            pDoc->DeleteTreeFromMem(pNode);
            return nullptr;
        }
    }
    return pNode;
}
} // namespace

wxString tcNode::GenerateXML(bool bEscape, bool bCDATASections) const
{
    wxString sOut;
    AppendTree(this, true, sOut, bEscape, bCDATASections);
    return sOut;
}

wxString tcNode::GenerateXMLChildren(bool bEscape, bool bCDATASections) const
{
    wxString sOut;
    AppendTree(this, false, sOut, bEscape, bCDATASections);
    return sOut;
}

void tStreamXMLChildren(const tcNode* pNode, bool bEscape, bool bCDATASections, wxString& sOut, size_t nFlushAt,
                        const std::function<void(wxString&)>& fnFlush)
{
    if (!pNode)
        return;
    const tsFlush flush{nFlushAt, &fnFlush};
    const tsFlush* pOuter = t_pFlush;
    t_pFlush = &flush;
    try
    {
        AppendTree(pNode, false, sOut, bEscape, bCDATASections);
    }
    catch (...)
    {
        t_pFlush = pOuter;
        throw;
    }
    t_pFlush = pOuter;
}

bool tWritesXMLChildren(const tcNode* pNode, bool bCDATASections)
{
    if (!pNode)
        return false;
    for (const tcNode* pChild : pNode->GetChildren())
    {
        if (pChild->GetClassType() == NODE_TEXTNODE || pChild->GetClassType() == NODE_CDATA ||
            pChild->GetClassType() == NODE_ERROR)
        {
            if (WritesSomething(pChild, bCDATASections))
                return true;
        }
        else if (pChild->GetElement() || tWritesXMLChildren(pChild, bCDATASections))
            return true;
    }
    return false;
}

bool tcNode::ParseXML(const wxString& sXML, tcDocument* pDoc, int, int)
{
    tcDocument* pOwner = GetDoc() ? GetDoc() : pDoc;
    if (!pOwner || !IsElementNode())
        return false;
    std::vector<ParsedNode> aParsed;
    FragmentParser parser(sXML, pOwner->GetDTD());
    if (!parser.Parse(aParsed))
        return false;

    std::vector<tcNode*> apNew;
    apNew.reserve(aParsed.size());
    for (const ParsedNode& parsed : aParsed)
    {
        tcNode* pNew = BuildNode(pOwner, parsed, GetElement());
        if (!pNew)
        {
            for (tcNode* pMade : apNew)
                pOwner->DeleteTreeFromMem(pMade);
            return false;
        }
        apNew.push_back(pNew);
    }
    while (GetNumChildren() > 0)
    {
        tcNode* pOld = RemoveChildByIndex(GetNumChildren() - 1);
        if (pOld && pOld->GetDoc())
            pOld->GetDoc()->DeleteTreeFromMem(pOld);
        else
            delete pOld;
    }
    for (tcNode* pNew : apNew)
        AddChildLast(pNew);
    return true;
}

wxString tcText::GenerateXML(bool bEscape, bool) const
{
    if (!bEscape)
        return m_sText;
    wxString sOut;
    tAppendXMLText(sOut, m_sText);
    return sOut;
}

bool tcText::ParseXML(const wxString& sXML, tcDocument* pDoc, int, int)
{
    const tcDocument* pOwner = GetDoc() ? GetDoc() : pDoc;
    std::vector<ParsedNode> aParsed;
    FragmentParser parser(sXML, pOwner ? pOwner->GetDTD() : nullptr);
    if (!parser.Parse(aParsed) || aParsed.size() > 1 ||
        (aParsed.size() == 1 && aParsed[0].eKind != ParsedNode::Kind::Text))
        return false;
    m_sText = aParsed.empty() ? wxString() : aParsed[0].sText;
    return true;
}

wxString tcCDATA::GenerateXML(bool bEscape, bool bCDATASections) const
{
    wxString sOut;
    AppendCDATA(m_sText, sOut, bEscape, bCDATASections);
    return sOut;
}

bool tcCDATA::ParseXML(const wxString& sXML, tcDocument*, int, int)
{
    m_sText = sXML;
    return true;
}

wxString tcErrorNode::GenerateXML(bool bEscape, bool) const
{
    return bEscape ? tEscapeXMLCharacters_PCDATA(m_sText) : m_sText;
}
