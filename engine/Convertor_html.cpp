#include "engine/Convertor_html.h"

#include "engine/ConvertorPreview.h"
#include "engine/Convertor_segment.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextEncoding.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcTextFileInputStream.h"

#include <wx/defs.h>
#include <wx/log.h>
#include <wx/wfstream.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

namespace
{
const wchar_t kszNewline[] = L"<newline>";
const wchar_t kszCarriageReturn[] = L"<carriagereturn>";
const wchar_t kszSpace[] = L"<space>";

// ---- Text for the unit writer ---------------------------------------------------------------------

bool IsNameStartChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' || c >= 0x80;
}

bool IsNameChar(wchar_t c)
{
    return IsNameStartChar(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// The length of the reference ("&name;", "&#123;", "&#x1F;") that starts at the "&" at nPos; 0
// when the "&" starts none.
size_t ReferenceLength(const wxString& sText, size_t nPos)
{
    const size_t n = sText.length();
    size_t i = nPos + 1;
    if (i < n && sText[i] == L'#')
    {
        ++i;
        const bool bHex = i < n && (sText[i] == L'x' || sText[i] == L'X');
        if (bHex)
            ++i;
        const size_t nDigitsFrom = i;
        while (i < n && (bHex ? IsHexDigit(sText[i]) : (sText[i] >= L'0' && sText[i] <= L'9')))
            ++i;
        if (i == nDigitsFrom || i >= n || sText[i] != L';')
            return 0;
        return i + 1 - nPos;
    }
    if (i >= n || !IsNameStartChar(sText[i]))
        return 0;
    while (i < n && IsNameChar(sText[i]))
        ++i;
    if (i >= n || sText[i] != L';')
        return 0;
    return i + 1 - nPos;
}

// True when the unit writer decodes the reference into text that output gives back as the same
// document: a line break would come back as a break of the output's own, and in an attribute value
// a quote would end the value.
bool StaysText(const wxString& sRef, bool bAttribute, const tcDocument* pDoc)
{
    const wxString sDecoded = tUnescapeXMLCharacters(sRef, pDoc);
    if (sDecoded == sRef || sDecoded.find_first_of(L"\r\n") != wxString::npos)
        return false;
    return !bAttribute || sDecoded.find_first_of(L"\"'") == wxString::npos;
}

// A standalone code holding sMarkup, its line breaks as break codes.
std::unique_ptr<CSegmentStyleStart> MakeCode(const wxString& sMarkup)
{
    auto pCode = std::make_unique<CSegmentStyleStart>();
    pCode->AddTextWithLineBreaks(sMarkup);
    return pCode;
}

// Where AddContent puts the pieces of text and the codes it makes.
struct SContentSink
{
    std::function<void(const wxString&)> fnText;
    std::function<void(std::unique_ptr<CSegmentTUChild>)> fnCode;
};

// Adds document text as XML content for the writer, nothing dropped: a "<" or ">" is escaped, and so
// is an "&" that starts no reference; a reference the writer decodes stays as written; any other
// reference (an HTML entity such as "&nbsp;", an entity of the document's own DTD) becomes a
// standalone code holding it, so output writes it back as it was.
void AddContent(const wxString& sText, bool bAttribute, const tcDocument* pDoc, const SContentSink& sink)
{
    wxString sPiece;
    for (size_t i = 0; i < sText.length(); ++i)
    {
        const wchar_t c = sText[i];
        if (c == L'&')
        {
            const size_t nLength = ReferenceLength(sText, i);
            if (nLength == 0)
            {
                sPiece += L"&amp;";
                continue;
            }
            const wxString sRef = sText.substr(i, nLength);
            i += nLength - 1;
            if (StaysText(sRef, bAttribute, pDoc))
            {
                sPiece += sRef;
                continue;
            }
            if (!sPiece.empty())
                sink.fnText(sPiece);
            sPiece.clear();
            sink.fnCode(MakeCode(sRef));
        }
        else if (c == L'<')
            sPiece += L"&lt;";
        else if (c == L'>')
            sPiece += L"&gt;";
        else
            sPiece += c;
    }
    if (!sPiece.empty())
        sink.fnText(sPiece);
}

// ---- Tags ---------------------------------------------------------------------------------------

// The tag text that block tags, styles and pairing compare: trimmed, runs of spaces shortened, line
// feeds dropped.
wxString NormaliseTag(const wxString& sRaw)
{
    wxString sTag = sRaw;
    tStrTrim(sTag);
    tStrReplace(sTag, L"  ", L" ");
    tStrReplace(sTag, L"  ", L" ");
    tStrReplace(sTag, L"\n", wxString());
    return sTag;
}

// The words of a start tag: the element word first, then its attributes. Spaces around "=" and runs
// of spaces are protected as "<space>" before the split, so each attribute stays one word.
std::vector<wxString> SplitTagWords(const wxString& sRaw)
{
    if (sRaw.find(L' ') == wxString::npos)
        return {sRaw};
    wxString s = sRaw;
    const std::pair<const wchar_t*, const wchar_t*> aProtect[] = {{L" =", L"<space>="},
                                                                  {L"= ", L"=<space>"},
                                                                  {L"  ", L"<space> "},
                                                                  {L" <space>", L"<space> "},
                                                                  {L"  ", L"<space> "}};
    for (const auto& [szFind, szReplace] : aProtect)
        while (tStrReplace(s, szFind, szReplace) > 0)
        {
        }
    // A quoted value is one word, whatever blanks it holds ("Photo of the red car" is one alt text):
    // a quote that opens a value (right after its "=") runs to the same quote again.
    wxString sJoined;
    sJoined.reserve(s.length());
    wchar_t cQuote = 0;
    for (size_t i = 0; i < s.length(); ++i)
    {
        const wchar_t c = s[i];
        if (cQuote != 0)
        {
            if (c == cQuote)
                cQuote = 0;
            sJoined += c == L' ' ? wxString(kszSpace) : wxString(c);
            continue;
        }
        if ((c == L'"' || c == L'\'') && sJoined.EndsWith(L"="))
            cQuote = c;
        sJoined += c;
    }
    // An unclosed quote joins nothing: the tag is split as it always was.
    if (cQuote == 0)
        s = sJoined;
    std::vector<wxString> aWords;
    tStrTok(s, L" ", wxString(), aWords);
    if (aWords.empty())
        aWords.emplace_back();
    tStrReplace(aWords.front(), kszSpace, L" ");
    return aWords;
}

// The element's name as written: the tag's first word, up to a blank, a line break or "/".
wxString ElementName(const wxString& sRaw)
{
    const wchar_t szEnds[] = L" \t\r\n/";
    const size_t nFrom = sRaw.find_first_not_of(L" \t\r\n");
    if (nFrom == wxString::npos)
        return wxString();
    const size_t nTo = sRaw.find_first_of(szEnds, nFrom);
    return sRaw.substr(nFrom, nTo == wxString::npos ? wxString::npos : nTo - nFrom);
}

// HTML elements that never have content: their start tags stay open without nesting anything.
bool IsVoidElement(const wxString& sName)
{
    static const wxString asVoid[] = {L"area",  L"base",  L"basefont", L"br",    L"col",    L"embed",
                                      L"frame", L"hr",    L"img",      L"input", L"keygen", L"link",
                                      L"meta",  L"param", L"source",   L"track", L"wbr"};
    return std::find(std::begin(asVoid), std::end(asVoid), sName) != std::end(asVoid);
}

bool Contains(const std::vector<wxString>& asList, const wxString& s)
{
    return std::find(asList.begin(), asList.end(), s) != asList.end();
}

size_t CountOf(const wxString& s, wchar_t c)
{
    return static_cast<size_t>(std::count(s.begin(), s.end(), c));
}

// ---- Tokenizer ----------------------------------------------------------------------------------

// How the tokenizer compares element names and how deep it lets them nest.
struct STagRules
{
    const std::vector<wxString>& asAttributes;
    // Block tags and style keys are element names as compared: in lower case when bIgnoreCase.
    const std::vector<wxString>& asBlockTags;
    const std::map<wxString, wxString>& mapStyles;
    bool bIgnoreCase;
    size_t nMaxDepth;
};

// Cuts a document, fed one character at a time, into translation units. Codes opened and closed
// are paired by element name across the whole document; the work per tag does not grow with the
// depth of the nesting. A start tag that nests deeper than the rules allow refuses the document:
// the tokenizer then ignores the rest and keeps the refusal's message.
class CHTMLTokenizer
{
public:
    CHTMLTokenizer(const tcConvertorHTML& convertor, const STagRules& rules) : m_convertor(convertor), m_rules(rules)
    {
        NewUnit();
    }

    void Feed(wchar_t c);
    // Keeps what the end of the document left open: pending text as a run, an unfinished tag or
    // comment as a standalone code.
    void Finish();
    // The reason the document was refused, empty while it is not.
    const wxString& GetRefusal() const { return m_sRefusal; }
    // Hands the units over, in order.
    std::vector<std::unique_ptr<CSegmentUnit>> TakeUnits() { return std::move(m_apUnits); }

private:
    bool TagContinues() const;
    void TrackQuote(wchar_t c);
    // Adds the pending text to the unit (an empty run with bAlways); true when there was text.
    bool FlushPending(bool bAlways);
    void Add(std::unique_ptr<CSegmentTUChild> pChild) { AddTUChild(m_pUnit, std::move(pChild)); }
    void HandleTag();
    void EndTag(const wxString& sRaw, const wxString& sName);
    void Declaration(const wxString& sRaw);
    void Comment(const wxString& sRaw);
    void StartTag(const wxString& sRaw, const wxString& sTag);
    void AddAttribute(CSegmentStyleStart& code, const wxString& sWord);
    void NewUnit();
    // The name an element is compared by.
    wxString NameKey(const wxString& sName) const { return m_rules.bIgnoreCase ? sName.Lower() : sName; }
    bool CountsInDepth(const wxString& sKey) const { return !m_rules.bIgnoreCase || !IsVoidElement(sKey); }
    void Position(wchar_t c);

    const tcConvertorHTML& m_convertor;
    const STagRules& m_rules;
    std::vector<std::unique_ptr<CSegmentUnit>> m_apUnits;
    CSegmentUnit* m_pUnit = nullptr;
    wxString m_sPending;
    wxString m_sBuffer;
    // The start codes not yet closed, by compared name, the most recent of each name last.
    std::map<wxString, std::vector<CSegmentStyleStart*>> m_mapOpen;
    // How many of them nest (HTML's void elements do not).
    size_t m_nDepth = 0;
    bool m_bInlineComments = false;
    // The quote of an attribute value open in the tag buffer, 0 for none.
    wchar_t m_cQuote = 0;
    // Line and column of the next character, as an XML parser counts them.
    long long m_nLine = 1;
    long long m_nColumn = 1;
    bool m_bAfterCR = false;
    wxString m_sRefusal;
};

void CHTMLTokenizer::NewUnit()
{
    m_apUnits.push_back(std::make_unique<CSegmentUnit>());
    m_pUnit = m_apUnits.back().get();
}

void CHTMLTokenizer::Position(wchar_t c)
{
    if (c == L'\n' && m_bAfterCR)
    {
        m_bAfterCR = false;
        return;
    }
    m_bAfterCR = c == L'\r';
    if (c == L'\n' || c == L'\r')
    {
        ++m_nLine;
        m_nColumn = 1;
    }
    else
        ++m_nColumn;
}

void CHTMLTokenizer::Feed(wchar_t c)
{
    if (!m_sRefusal.empty())
        return;
    Position(c);
    if (m_sBuffer.empty())
    {
        if (c == L'\n' || c == L'\r')
        {
            FlushPending(false);
            AddTextWithLineBreaks(m_pUnit, wxString(c));
        }
        else if (c == L'<')
            m_sBuffer = L"<";
        else
            m_sPending += c;
        return;
    }
    if (c == L'>' && !TagContinues())
    {
        HandleTag();
        return;
    }
    TrackQuote(c);
    m_sBuffer += c;
}

// A ">" that does not end the buffer: inside a comment not yet closed by "--", a CDATA section not
// yet closed by "]]", a declaration with an open "[" (a DOCTYPE's internal subset), or a quoted
// attribute value.
bool CHTMLTokenizer::TagContinues() const
{
    const wxString& b = m_sBuffer;
    if (m_cQuote)
        return true;
    if (b.length() < 2 || b[1] != L'!')
        return false;
    if (b.length() >= 4 && b[2] == L'-' && b.Last() != L'-')
        return true;
    if (b.StartsWith(L"<![CDATA["))
        return !b.EndsWith(L"]]");
    const bool bComment = b.length() >= 3 && b[2] == L'-';
    return !bComment && CountOf(b, L'[') > CountOf(b, L']');
}

// An attribute value quoted right after its "=" keeps ">" inside the tag until the quote closes.
void CHTMLTokenizer::TrackQuote(wchar_t c)
{
    if (m_cQuote)
    {
        if (c == m_cQuote)
            m_cQuote = 0;
        return;
    }
    if ((c != L'"' && c != L'\'') || m_sBuffer.length() < 2 || m_sBuffer[1] == L'!' || m_sBuffer[1] == L'?')
        return;
    const size_t nLast = m_sBuffer.find_last_not_of(L" \t\r\n");
    if (nLast != wxString::npos && m_sBuffer[nLast] == L'=')
        m_cQuote = c;
}

bool CHTMLTokenizer::FlushPending(bool bAlways)
{
    if (m_sPending.empty())
    {
        if (bAlways)
            Add(std::make_unique<CSegmentText>());
        return false;
    }
    SContentSink sink;
    sink.fnText = [this](const wxString& sPiece)
    { Add(std::make_unique<CSegmentText>(m_convertor.UnescapeText(sPiece))); };
    sink.fnCode = [this](std::unique_ptr<CSegmentTUChild> pCode) { Add(std::move(pCode)); };
    AddContent(m_sPending, false, m_convertor.GetDocument(), sink);
    m_sPending.clear();
    return true;
}

void CHTMLTokenizer::HandleTag()
{
    const wxString sRaw = m_sBuffer.Mid(1);
    m_sBuffer.clear();
    m_cQuote = 0;
    const wxString sTag = NormaliseTag(sRaw);
    if (sTag.StartsWith(L"/"))
        EndTag(sRaw, sTag.Mid(1));
    else if (sTag == L"br" || sTag == L"br/" || sTag == L"br /")
        m_sPending += L'\n';
    else if (sRaw.StartsWith(L"!"))
        Declaration(sRaw);
    else if (sTag.empty() || sTag.StartsWith(L"?"))
    {
        // "<>" names nothing to pair with, and a processing instruction has no attributes.
        FlushPending(false);
        Add(MakeCode(L"<" + sRaw + L">"));
    }
    else
        StartTag(sRaw, sTag);
}

void CHTMLTokenizer::EndTag(const wxString& sRaw, const wxString& sName)
{
    FlushPending(true);
    CSegmentStyleStart* pStart = nullptr;
    const wxString sKey = NameKey(ElementName(sName));
    const auto itOpen = m_mapOpen.find(sKey);
    if (itOpen != m_mapOpen.end() && !itOpen->second.empty())
    {
        pStart = itOpen->second.back();
        itOpen->second.pop_back();
        if (CountsInDepth(sKey))
            --m_nDepth;
    }
    auto pEnd = std::make_unique<CSegmentStyleEnd>();
    if (pStart)
        pEnd->SetPartner(pStart);
    pEnd->AddTextWithLineBreaks(L"<" + sRaw + L">");
    Add(std::move(pEnd));
}

void CHTMLTokenizer::Declaration(const wxString& sRaw)
{
    if (sRaw.length() >= 3 && sRaw[1] == L'-' && sRaw[2] == L'-')
    {
        Comment(sRaw);
        return;
    }
    FlushPending(false);
    Add(MakeCode(L"<" + sRaw + L">"));
    NewUnit();
}

void CHTMLTokenizer::Comment(const wxString& sRaw)
{
    // "<!-->" and "<!--->" close at once, as browsers read them; any other comment closes only at
    // "-->", so a ">" after a single "-" belongs to it.
    const bool bShort = sRaw.length() < 5;
    if (!bShort && !sRaw.EndsWith(L"--"))
    {
        m_sBuffer = L"<" + sRaw + L">";
        return;
    }
    if (FlushPending(false))
        m_bInlineComments = true;
    const wxString sContent = bShort ? wxString() : sRaw.substr(3, sRaw.length() - 5);
    // Output escapes "&", "<" and ">" in text, which a comment does not decode: a comment holding
    // them (often markup or script) is kept whole as a code instead of becoming text.
    if (bShort || sContent.find_first_of(L"&<>") != wxString::npos)
    {
        Add(MakeCode(L"<" + sRaw + L">"));
        return;
    }
    if (m_bInlineComments)
    {
        auto pOpen = std::make_unique<CSegmentStyleStart>();
        pOpen->AddText(L"<!--");
        Add(std::move(pOpen));
        auto pSub = std::make_unique<CSegmentStyleSub>();
        pSub->AddTextWithLineBreaks(sContent);
        pSub->SetStyleName(L"Comment");
        Add(std::move(pSub));
        auto pClose = std::make_unique<CSegmentStyleStart>();
        pClose->AddText(L"-->");
        Add(std::move(pClose));
        return;
    }
    auto pOpen = std::make_unique<CSegmentStyleStart>();
    pOpen->AddText(L"<!--");
    pOpen->SetStyleName(L"Comment");
    CSegmentStyleStart* pStart = pOpen.get();
    Add(std::move(pOpen));
    AddTextWithLineBreaks(m_pUnit, sContent);
    auto pEnd = std::make_unique<CSegmentStyleEnd>();
    pEnd->AddText(L"-->");
    pEnd->SetPartner(pStart);
    Add(std::move(pEnd));
}

void CHTMLTokenizer::StartTag(const wxString& sRaw, const wxString& sTag)
{
    const bool bSelfClosing = sTag.EndsWith(L"/");
    const wxString sName = ElementName(sRaw);
    const wxString sKey = NameKey(sName);
    const bool bNests = CountsInDepth(sKey);
    if (bNests && m_nDepth >= m_rules.nMaxDepth)
    {
        m_sRefusal = tNestedTooDeepMessage(m_convertor.GetSourcePath(), m_nLine, m_nColumn);
        return;
    }
    FlushPending(false);
    if (Contains(m_rules.asBlockTags, sKey))
        NewUnit();

    std::vector<wxString> aWords = SplitTagWords(sRaw);
    auto pCode = std::make_unique<CSegmentStyleStart>();
    pCode->AddTextWithLineBreaks(L"<" + aWords.front());
    for (size_t i = 1; i < aWords.size(); ++i)
    {
        pCode->AddText(L" ");
        tStrReplace(aWords[i], kszSpace, L" ");
        AddAttribute(*pCode, aWords[i]);
    }
    pCode->AddText(L">");

    const auto itStyle = m_rules.mapStyles.find(sKey);
    if (itStyle != m_rules.mapStyles.end())
        pCode->SetStyleName(itStyle->second);
    pCode->SetTagName(sName);
    CSegmentStyleStart* pStart = pCode.get();
    Add(std::move(pCode));
    if (bSelfClosing)
        return;
    m_mapOpen[sKey].push_back(pStart);
    if (bNests)
        ++m_nDepth;
}

// One attribute word: name, "=", the value between quotes. A translatable value becomes a sub-flow
// of the code.
void CHTMLTokenizer::AddAttribute(CSegmentStyleStart& code, const wxString& sWord)
{
    const size_t nEquals = sWord.find(L'=');
    if (nEquals == wxString::npos)
    {
        code.AddTextWithLineBreaks(sWord);
        return;
    }
    const wxString sName = sWord.substr(0, nEquals);
    wxString sValue = sWord.substr(nEquals);
    size_t nPrefix = 1;
    while (nPrefix < sValue.length() && sValue[nPrefix] == L' ')
        ++nPrefix;
    wchar_t cQuote = L'"';
    if (nPrefix < sValue.length() && (sValue[nPrefix] == L'"' || sValue[nPrefix] == L'\''))
        cQuote = sValue[nPrefix++];
    const wxString sPrefix = sValue.substr(0, nPrefix);
    sValue = sValue.substr(nPrefix);
    size_t nEnd = sValue.length();
    while (nEnd > 0 && sValue[nEnd - 1] == L' ')
        --nEnd;
    // The "/" of an empty-element tag after a quoted value is the tag's, not the value's.
    if (nEnd > 1 && sValue[nEnd - 1] == L'/' && sValue[nEnd - 2] == cQuote)
        --nEnd;
    if (nEnd > 0 && sValue[nEnd - 1] == cQuote)
        --nEnd;
    const wxString sSuffix = sValue.substr(nEnd);
    sValue = sValue.substr(0, nEnd);

    code.AddTextWithLineBreaks(sName + sPrefix);
    // A name written with a space before its "=" ("alt = ...") is still that attribute.
    wxString sBareName = sName;
    if (!m_rules.asAttributes.empty() && !Contains(m_rules.asAttributes, tStrTrim(sBareName)))
    {
        code.AddTextWithLineBreaks(sValue + sSuffix);
        return;
    }
    auto pSub = std::make_unique<CSegmentStyleSub>();
    CSegmentStyleSub* pTarget = pSub.get();
    SContentSink sink;
    sink.fnText = [pTarget](const wxString& sPiece) { pTarget->AddTextWithLineBreaks(sPiece); };
    sink.fnCode = [pTarget](std::unique_ptr<CSegmentTUChild> pChild) { pTarget->AddChild(std::move(pChild)); };
    AddContent(sValue, true, m_convertor.GetDocument(), sink);
    code.AddChild(std::move(pSub));
    code.AddTextWithLineBreaks(sSuffix);
}

void CHTMLTokenizer::Finish()
{
    if (!m_sRefusal.empty())
        return;
    FlushPending(false);
    if (!m_sBuffer.empty())
        Add(MakeCode(m_sBuffer));
    m_sBuffer.clear();
}
} // namespace

// ---- Convertors ---------------------------------------------------------------------------------

tcConvertorHTML::tcConvertorHTML(const wxString& sTypeName, tcDocument* pDoc, const wxString& sSourceLanguage,
                                 bool bLists)
    : tcConvertor(sTypeName, pDoc, sSourceLanguage)
{
    if (bLists)
    {
        m_asTranslatableAttributes = {L"alt"};
        m_asBlockTags = {L"html", L"head", L"body", L"div", L"p",     L"table",   L"h1",         L"h2",        L"h3",
                         L"h4",   L"h5",   L"h6",   L"li",  L"dt",    L"dd",      L"td",         L"th",        L"tr",
                         L"pre",  L"ul",   L"ol",   L"dl",  L"title", L"caption", L"blockquote", L"figcaption"};
        SetStyle(L"b", L"Bold");
        SetStyle(L"i", L"Italic");
        SetStyle(L"p", L"Paragraph");
    }
    PreviewFamily().Join();
}

tcConvertorHTML::~tcConvertorHTML()
{
    PreviewFamily().Leave();
}

tcPreviewWindowFamily& tcConvertorHTML::PreviewFamily()
{
    static tcPreviewWindowFamily family;
    return family;
}

bool tcConvertorHTML::Import(CSegmentDoc* pSegDoc, tcConvertorProgress*)
{
    if (!pSegDoc)
        return false;
    wxLogNull noToolkitLog;
    wxFileInputStream file(m_sSourcePath);
    std::unique_ptr<tcTextFileInputStream> pStream;
    if (file.IsOk())
        pStream = std::make_unique<tcTextFileInputStream>(file, -1, -1, m_declarations);
    if (!pStream || !pStream->IsOk())
    {
        SetReadFailure();
        return false;
    }
    ReportStrayBytes(pStream->GetDecoding().nFirstStray);

    const STagRules rules{m_asTranslatableAttributes, m_asBlockTags, m_mapStyles, m_bNamesIgnoreCase, m_nMaxDepth};
    CHTMLTokenizer tokenizer(*this, rules);
    int nReplaced = 0;
    while (tokenizer.GetRefusal().empty())
    {
        wchar_t c = pStream->GetCharacter();
        if (pStream->LastRead() < 1)
            break;
        if (!tIsXMLChar(static_cast<uint32_t>(c)))
        {
            c = static_cast<wchar_t>(0xFFFD);
            ++nReplaced;
        }
        tokenizer.Feed(c);
        if (pStream->Eof())
            break;
    }
    tokenizer.Finish();
    if (!tokenizer.GetRefusal().empty())
    {
        // The caller tells the translator, once, which file was not added and why.
        kvLogError(L"%s", tokenizer.GetRefusal());
        SetFailure(tokenizer.GetRefusal());
        return false;
    }
    for (auto& pUnit : tokenizer.TakeUnits())
        pSegDoc->AddUnit(std::move(pUnit));
    if (nReplaced > 0)
        kvLogVisibleWarning(L"%s holds %d characters that XML does not allow; each was replaced by U+FFFD.",
                            m_sSourcePath, nReplaced);
    return true;
}

void tcConvertorHTML::PostProcessOutput(wxString& sText)
{
    tStrReplace(sText, L"\n", L"<br />");
    tStrReplace(sText, kszNewline, L"\n");
    tStrReplace(sText, kszCarriageReturn, L"\r");
    sText = ReplaceHighlightMarkersWithSpans(sText);
}

wxString tcConvertorHTML::UnescapeText(const wxString& sText) const
{
    return sText;
}

wxWindow* tcConvertorHTML::Preview(const wxString&, const wxString& sText, wxWindow* pParent, tcNode*)
{
    m_sLastPreviewText = sText;
    PostProcessOutput(m_sLastPreviewText);
    return PreviewFamily().Show(pParent, m_sLastPreviewText);
}

wxWindow* tcConvertorHTML::ShowLastPreview(wxWindow* pParent)
{
    return PreviewFamily().Show(pParent, m_sLastPreviewText);
}

bool tcConvertorHTML::Export(const wxString&, const wxString& sText, const wxString& sOutputPath, tcNode*)
{
    wxString sOutput = sText;
    PostProcessOutput(sOutput);
    // Written as UTF-8, the document must not go on declaring the encoding it was read in.
    return WriteTextFile(sOutputPath, tDeclareUTF8(sOutput, m_declarations));
}

tcConvertorXML::tcConvertorXML(tcDocument* pDoc, const wxString& sSourceLanguage)
    : tcConvertorHTML(L"xml", pDoc, sSourceLanguage, false)
{
    m_declarations = teDeclarations::XML;
    m_bNamesIgnoreCase = false;
    SetStyle(L"b", L"Bold");
    SetStyle(L"i", L"Italic");
    SetStyle(L"p", L"Paragraph");
}

tcConvertorXML::~tcConvertorXML() = default;

wxString tcConvertorXML::UnescapeText(const wxString& sText) const
{
    return tEscapeXMLCharacters_PCDATA(tUnescapeXMLCharacters(sText, m_pDoc));
}

std::unique_ptr<tcConvertor> AllocateConvertor_HTML(tcDocument* pDoc, const wxString& sSourceLanguage)
{
    return std::make_unique<tcConvertorHTML>(L"html", pDoc, sSourceLanguage, true);
}

std::unique_ptr<tcConvertor> AllocateConvertor_XML(tcDocument* pDoc, const wxString& sSourceLanguage)
{
    return std::make_unique<tcConvertorXML>(pDoc, sSourceLanguage);
}
