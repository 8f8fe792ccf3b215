#include "varnak/include/tTextEncoding.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tUTF8.h"
#include "varnak/include/tcTextFileInputStream.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <memory>

namespace
{
// How far into a document its declaration is looked for.
constexpr size_t kDeclarationWindow = 4096;

template <class C> bool IsSpace(C c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

template <class C> char LowerASCII(C c)
{
    const long n = static_cast<long>(c);
    if (n >= 'A' && n <= 'Z')
        return static_cast<char>(n - 'A' + 'a');
    // Anything outside ASCII compares unequal to every ASCII literal.
    return n >= 0 && n < 0x80 ? static_cast<char>(n) : '\x7F';
}

template <class C> bool IsAlpha(C c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

template <class C> bool HasAt(std::basic_string_view<C> s, size_t nPos, std::string_view sLiteral, bool bNoCase)
{
    if (nPos > s.size() || s.size() - nPos < sLiteral.size())
        return false;
    for (size_t i = 0; i < sLiteral.size(); ++i)
    {
        const C c = s[nPos + i];
        if ((bNoCase ? LowerASCII(c) : c) != static_cast<C>(sLiteral[i]))
            return false;
    }
    return true;
}

template <class C> size_t FindLiteral(std::basic_string_view<C> s, size_t nFrom, size_t nEnd, std::string_view sLiteral)
{
    for (size_t i = nFrom; i < nEnd; ++i)
        if (HasAt(s, i, sLiteral, true))
            return i;
    return std::string_view::npos;
}

struct tsAttribute
{
    std::string sName;
    size_t nPos = 0; // the value, without its quotes
    size_t nLength = 0;
    bool bValue = false;
};

// Reads the attributes of a tag from nPos (just after its name) to its ">" or nEnd, as a browser's
// pre-scan does: quoted values may hold ">". Returns the position after the ">" (nEnd when the tag
// does not end).
template <class C>
size_t ReadAttributes(std::basic_string_view<C> s, size_t nPos, size_t nEnd, std::vector<tsAttribute>& aAttributes)
{
    for (;;)
    {
        while (nPos < nEnd && (IsSpace(s[nPos]) || s[nPos] == '/'))
            ++nPos;
        if (nPos >= nEnd)
            return nEnd;
        if (s[nPos] == '>')
            return nPos + 1;
        tsAttribute attribute;
        while (nPos < nEnd && !IsSpace(s[nPos]) && s[nPos] != '>' && s[nPos] != '/' &&
               (s[nPos] != '=' || attribute.sName.empty()))
            attribute.sName += LowerASCII(s[nPos++]);
        while (nPos < nEnd && IsSpace(s[nPos]))
            ++nPos;
        if (nPos < nEnd && s[nPos] == '=')
        {
            attribute.bValue = true;
            ++nPos;
            while (nPos < nEnd && IsSpace(s[nPos]))
                ++nPos;
            if (nPos < nEnd && (s[nPos] == '"' || s[nPos] == '\''))
            {
                const C quote = s[nPos++];
                attribute.nPos = nPos;
                while (nPos < nEnd && s[nPos] != quote)
                    ++nPos;
                attribute.nLength = nPos - attribute.nPos;
                if (nPos < nEnd)
                    ++nPos;
            }
            else
            {
                attribute.nPos = nPos;
                while (nPos < nEnd && !IsSpace(s[nPos]) && s[nPos] != '>')
                    ++nPos;
                attribute.nLength = nPos - attribute.nPos;
            }
        }
        aAttributes.push_back(std::move(attribute));
    }
}

// The span without white space at either end; nullopt when nothing is left.
template <class C> std::optional<tsEncodingLabel> Trimmed(std::basic_string_view<C> s, size_t nPos, size_t nLength)
{
    size_t nEnd = nPos + nLength;
    while (nPos < nEnd && IsSpace(s[nPos]))
        ++nPos;
    while (nEnd > nPos && IsSpace(s[nEnd - 1]))
        --nEnd;
    if (nPos == nEnd)
        return std::nullopt;
    return tsEncodingLabel{nPos, nEnd - nPos};
}

// The charset parameter of a Content-Type value, as a browser extracts it from a meta element.
template <class C>
std::optional<tsEncodingLabel> CharsetInContent(std::basic_string_view<C> s, size_t nPos, size_t nLength)
{
    const size_t nEnd = nPos + nLength;
    for (;;)
    {
        const size_t nFound = FindLiteral(s, nPos, nEnd, "charset");
        if (nFound == std::string_view::npos)
            return std::nullopt;
        nPos = nFound + 7;
        while (nPos < nEnd && IsSpace(s[nPos]))
            ++nPos;
        if (nPos >= nEnd || s[nPos] != '=')
            continue;
        ++nPos;
        while (nPos < nEnd && IsSpace(s[nPos]))
            ++nPos;
        if (nPos >= nEnd)
            return std::nullopt;
        if (s[nPos] == '"' || s[nPos] == '\'')
        {
            const C quote = s[nPos];
            const size_t nStart = nPos + 1;
            size_t nClose = nStart;
            while (nClose < nEnd && s[nClose] != quote)
                ++nClose;
            if (nClose >= nEnd)
                return std::nullopt;
            return Trimmed(s, nStart, nClose - nStart);
        }
        const size_t nStart = nPos;
        while (nPos < nEnd && !IsSpace(s[nPos]) && s[nPos] != ';')
            ++nPos;
        return Trimmed(s, nStart, nPos - nStart);
    }
}

const tsAttribute* FindAttribute(const std::vector<tsAttribute>& aAttributes, std::string_view sName)
{
    // The first of a name counts, as in a browser.
    for (const tsAttribute& attribute : aAttributes)
        if (attribute.sName == sName)
            return attribute.bValue ? &attribute : nullptr;
    return nullptr;
}

template <class C>
std::optional<tsEncodingLabel> MetaLabel(std::basic_string_view<C> s, const std::vector<tsAttribute>& a)
{
    if (const tsAttribute* pCharset = FindAttribute(a, "charset"))
        return Trimmed(s, pCharset->nPos, pCharset->nLength);
    const tsAttribute* pEquiv = FindAttribute(a, "http-equiv");
    const tsAttribute* pContent = FindAttribute(a, "content");
    if (!pEquiv || !pContent)
        return std::nullopt;
    const std::optional<tsEncodingLabel> equiv = Trimmed(s, pEquiv->nPos, pEquiv->nLength);
    if (!equiv || equiv->nLength != 12 || !HasAt(s, equiv->nPos, "content-type", true))
        return std::nullopt;
    return CharsetInContent(s, pContent->nPos, pContent->nLength);
}

template <class C>
std::vector<tsEncodingLabel> FindLabels(std::basic_string_view<C> s, teDeclarations kind, size_t nLimit)
{
    std::vector<tsEncodingLabel> aLabels;
    if (kind == teDeclarations::None)
        return aLabels;

    if (HasAt(s, 0, "<?xml", false) && s.size() > 5 && IsSpace(s[5]))
    {
        const size_t nClose = FindLiteral(s, 5, s.size(), "?>");
        if (nClose != std::string_view::npos)
        {
            std::vector<tsAttribute> aAttributes;
            ReadAttributes(s, 5, nClose, aAttributes);
            if (const tsAttribute* pEncoding = FindAttribute(aAttributes, "encoding"))
                if (auto label = Trimmed(s, pEncoding->nPos, pEncoding->nLength))
                {
                    label->bXMLDeclaration = true;
                    aLabels.push_back(*label);
                }
        }
    }
    if (kind != teDeclarations::HTML)
        return aLabels;

    const size_t nEnd = std::min(nLimit, s.size());
    size_t nPos = 0;
    while (nPos < nEnd)
    {
        if (s[nPos] != '<')
        {
            ++nPos;
            continue;
        }
        if (HasAt(s, nPos, "<!--", false))
        {
            const size_t nClose = FindLiteral(s, nPos + 4, s.size(), "-->");
            if (nClose == std::string_view::npos)
                break;
            nPos = nClose + 3;
        }
        else if (HasAt(s, nPos, "<meta", true) && nPos + 5 < s.size() && (IsSpace(s[nPos + 5]) || s[nPos + 5] == '/'))
        {
            std::vector<tsAttribute> aAttributes;
            nPos = ReadAttributes(s, nPos + 5, s.size(), aAttributes);
            if (const auto label = MetaLabel(s, aAttributes))
                aLabels.push_back(*label);
        }
        else if (nPos + 1 < s.size() &&
                 (IsAlpha(s[nPos + 1]) || (s[nPos + 1] == '/' && nPos + 2 < s.size() && IsAlpha(s[nPos + 2]))))
        {
            // Another tag: its quoted values may hold ">".
            size_t nName = nPos + 1;
            while (nName < s.size() && !IsSpace(s[nName]) && s[nName] != '>')
                ++nName;
            std::vector<tsAttribute> aIgnored;
            nPos = ReadAttributes(s, nName, s.size(), aIgnored);
        }
        else if (HasAt(s, nPos, "<!", false) || HasAt(s, nPos, "</", false) || HasAt(s, nPos, "<?", false))
        {
            const size_t nClose = FindLiteral(s, nPos + 2, s.size(), ">");
            if (nClose == std::string_view::npos)
                break;
            nPos = nClose + 1;
        }
        else
            ++nPos;
    }
    return aLabels;
}

std::string LowerLabel(std::string_view sLabel)
{
    std::string s;
    for (char c : sLabel)
        s += LowerASCII(c);
    return s;
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> asNames)
{
    return std::any_of(asNames.begin(), asNames.end(), [&](const char* sz) { return s == sz; });
}

// The name ICU gives the converter (its canonical name); empty when it has none.
std::string ConverterName(const char* szName)
{
    UErrorCode error = U_ZERO_ERROR;
    UConverter* pConverter = ucnv_open(szName, &error);
    if (U_FAILURE(error) || !pConverter)
        return std::string();
    std::string sName;
    if (const char* szCanonical = ucnv_getName(pConverter, &error); U_SUCCESS(error) && szCanonical)
        sName = szCanonical;
    ucnv_close(pConverter);
    return sName;
}

// Every byte sequence a converter cannot map becomes U+FFFD; ICU's own substitution gives U+001A,
// a control character, for some of them.
void ReplaceUndefined(const void*, UConverterToUnicodeArgs* pArgs, const char*, int32_t,
                      UConverterCallbackReason reason, UErrorCode* pError)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *pError = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(pArgs, &replacement, 1, 0, pError);
}

bool HasBOM(std::string_view sBytes)
{
    return sBytes.starts_with("\xEF\xBB\xBF") || sBytes.starts_with("\xFF\xFE") || sBytes.starts_with("\xFE\xFF") ||
           sBytes.starts_with(std::string_view("\0\0\xFE\xFF", 4));
}

const char* AutoName(teAutoEncoding encoding)
{
    switch (encoding)
    {
    case teAutoEncoding::UTF8:
        return "UTF-8";
    case teAutoEncoding::UTF16LE:
        return "UTF-16LE";
    case teAutoEncoding::UTF16BE:
        return "UTF-16BE";
    case teAutoEncoding::UTF32LE:
        return "UTF-32LE";
    case teAutoEncoding::UTF32BE:
        return "UTF-32BE";
    case teAutoEncoding::Latin1:
        break;
    }
    return "ISO-8859-1";
}
} // namespace

std::vector<tsEncodingLabel> tFindEncodingLabels(std::string_view sText, teDeclarations kind, size_t nLimit)
{
    return FindLabels(sText, kind, nLimit);
}

std::vector<tsEncodingLabel> tFindEncodingLabels(std::wstring_view sText, teDeclarations kind, size_t nLimit)
{
    return FindLabels(sText, kind, nLimit);
}

std::optional<std::string> tResolveEncodingLabel(std::string_view sLabel, teDeclarations kind)
{
    std::string sName = LowerLabel(sLabel);
    if (sName.empty() || sName.find_first_of(" \t\r\n\f,=") != std::string::npos)
        return std::nullopt; // ICU would read options or its default converter into these
    if (kind == teDeclarations::HTML)
    {
        // Browsers read these labels as the Windows code pages that extend the standards.
        if (IsOneOf(sName,
                    {"ansi_x3.4-1968", "ascii", "cp1252", "cp819", "csisolatin1", "ibm819", "iso-8859-1", "iso-ir-100",
                     "iso8859-1", "iso88591", "iso_8859-1", "iso_8859-1:1987", "l1", "latin1", "us-ascii", "x-cp1252"}))
            sName = "windows-1252";
        else if (IsOneOf(sName, {"cp1254", "csisolatin5", "iso-8859-9", "iso-ir-148", "iso8859-9", "iso88599",
                                 "iso_8859-9", "iso_8859-9:1989", "l5", "latin5", "x-cp1254"}))
            sName = "windows-1254";
        else if (IsOneOf(sName, {"dos-874", "iso-8859-11", "iso8859-11", "iso885911", "tis-620"}))
            sName = "windows-874";
        else if (IsOneOf(sName, {"chinese", "csgb2312", "csiso58gb231280", "gb2312", "gb_2312", "gb_2312-80", "gbk",
                                 "iso-ir-58", "x-gbk"}))
            sName = "gb18030";
        else if (IsOneOf(sName, {"csunicode", "iso-10646-ucs-2", "ucs-2", "unicode", "unicodefeff", "unicodefffe",
                                 "utf-16", "utf-16be", "utf-16le"}))
            sName = "utf-8";
    }
    if (ConverterName(sName.c_str()).empty())
        return std::nullopt;
    return sName;
}

std::optional<std::wstring> tDecodeWithConverter(std::string_view sBytes, const char* szConverter)
{
    if (!szConverter || !*szConverter)
        return std::nullopt;
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> pConverter(ucnv_open(szConverter, &error), &ucnv_close);
    if (U_FAILURE(error) || !pConverter)
        return std::nullopt;
    ucnv_setToUCallBack(pConverter.get(), ReplaceUndefined, nullptr, nullptr, nullptr, &error);
    std::u16string sOut;
    sOut.reserve(sBytes.size());
    const char* pSource = sBytes.data();
    const char* const pSourceEnd = pSource + sBytes.size();
    UChar aBuffer[4096];
    do
    {
        error = U_ZERO_ERROR;
        UChar* pTarget = aBuffer;
        ucnv_toUnicode(pConverter.get(), &pTarget, aBuffer + std::size(aBuffer), &pSource, pSourceEnd, nullptr, true,
                       &error);
        sOut.append(aBuffer, pTarget);
    } while (error == U_BUFFER_OVERFLOW_ERROR);
    if (U_FAILURE(error))
        return std::nullopt;
    return tFromU16(sOut).ToStdWstring();
}

std::wstring tDecodeDeclaredText(std::string_view sBytes, teDeclarations kind, tsDecodeResult* pResult)
{
    tsDecodeResult result;
    std::wstring sText;
    if (!HasBOM(sBytes) && kind != teDeclarations::None)
    {
        const std::vector<tsEncodingLabel> aLabels = tFindEncodingLabels(sBytes, kind, kDeclarationWindow);
        // In HTML the first meta element decides before an XML declaration.
        const auto itMeta = std::find_if(aLabels.begin(), aLabels.end(),
                                         [](const tsEncodingLabel& label) { return !label.bXMLDeclaration; });
        const tsEncodingLabel* pLabel = itMeta != aLabels.end() ? &*itMeta
                                        : aLabels.empty()       ? nullptr
                                                                : &aLabels.front();
        if (pLabel)
        {
            result.sLabel = std::string(sBytes.substr(pLabel->nPos, pLabel->nLength));
            const std::optional<std::string> sName = tResolveEncodingLabel(result.sLabel, kind);
            const std::string sConverter = sName ? ConverterName(sName->c_str()) : std::string();
            const wxString sLabel = wxString::FromUTF8(result.sLabel.c_str());
            if (!sName)
                kvLog(L"Unknown encoding \"%s\" declared; the encoding is detected instead.", sLabel);
            else if (sConverter.starts_with("UTF-16") || sConverter.starts_with("UTF-32"))
                kvLog(L"Encoding \"%s\" declared in single bytes; the encoding is detected instead.", sLabel);
            else if (sConverter == "UTF-8" && !tIsValidUTF8(sBytes))
                kvLog(L"Encoding \"%s\" declared but the bytes are not UTF-8; the encoding is detected instead.",
                      sLabel);
            else if (std::optional<std::wstring> sDecoded = tDecodeWithConverter(sBytes, sName->c_str()))
            {
                result.sEncoding = *sName;
                result.bDeclared = true;
                sText = std::move(*sDecoded);
            }
        }
    }
    if (!result.bDeclared)
    {
        teAutoEncoding encoding = teAutoEncoding::UTF8;
        sText = tDecodeTextAuto(sBytes, &encoding, &result.bBOM, &result.nFirstStray);
        result.sEncoding = AutoName(encoding);
        if (encoding == teAutoEncoding::Latin1 && kind == teDeclarations::HTML)
        {
            if (std::optional<std::wstring> sDecoded = tDecodeWithConverter(sBytes, "windows-1252"))
            {
                sText = std::move(*sDecoded);
                result.sEncoding = "windows-1252";
            }
        }
    }
    if (pResult)
        *pResult = std::move(result);
    return sText;
}

wxString tDeclareUTF8(const wxString& sText, teDeclarations kind)
{
    std::wstring s = sText.ToStdWstring();
    const std::vector<tsEncodingLabel> aLabels = tFindEncodingLabels(std::wstring_view(s), kind);
    if (aLabels.empty())
        return sText;
    for (auto it = aLabels.rbegin(); it != aLabels.rend(); ++it)
    {
        std::string sLabel;
        for (size_t i = 0; i < it->nLength; ++i)
            sLabel += LowerASCII(s[it->nPos + i]);
        if (sLabel != "utf-8")
            s.replace(it->nPos, it->nLength, L"utf-8");
    }
    return wxString(s);
}
