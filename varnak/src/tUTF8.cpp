#include "varnak/include/tUTF8.h"

#include "varnak/include/tString.h"

#include <cstddef>

namespace
{
// Decodes the sequence at p[i] (i < n) into c and returns its length in bytes; 0 when it is
// malformed.
std::size_t DecodeOne(const unsigned char* p, std::size_t n, std::size_t i, char32_t& c)
{
    const unsigned char b = p[i];
    if (b < 0x80)
    {
        c = b;
        return 1;
    }
    std::size_t nMore = 0;
    char32_t cMin = 0;
    if ((b & 0xE0) == 0xC0)
    {
        nMore = 1;
        c = b & 0x1F;
        cMin = 0x80;
    }
    else if ((b & 0xF0) == 0xE0)
    {
        nMore = 2;
        c = b & 0x0F;
        cMin = 0x800;
    }
    else if ((b & 0xF8) == 0xF0)
    {
        nMore = 3;
        c = b & 0x07;
        cMin = 0x10000;
    }
    else
        return 0;
    if (i + nMore >= n)
        return 0;
    for (std::size_t k = 1; k <= nMore; ++k)
    {
        const unsigned char t = p[i + k];
        if ((t & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (t & 0x3F);
    }
    if (c < cMin || !tIsUnicodeScalar(c))
        return 0;
    return nMore + 1;
}
// Calls fnStep(offset, length) for each sequence in turn, length 0 for a byte that begins no
// well-formed one (the walk goes on at the next byte), while fnStep returns true.
template <class Step> void WalkUTF8(std::string_view sText, Step fnStep)
{
    const auto* p = reinterpret_cast<const unsigned char*>(sText.data());
    const std::size_t n = sText.size();
    for (std::size_t i = 0; i < n;)
    {
        char32_t c = 0;
        const std::size_t nLen = DecodeOne(p, n, i, c);
        if (!fnStep(i, nLen))
            return;
        i += nLen > 0 ? nLen : 1;
    }
}
} // namespace

bool tIsUnicodeScalar(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void tAppendUTF8(std::string& sOut, char32_t c)
{
    if (!tIsUnicodeScalar(c))
        c = tREPLACEMENT_CHAR;
    if (c < 0x80)
        sOut += static_cast<char>(c);
    else if (c < 0x800)
    {
        sOut += static_cast<char>(0xC0 | (c >> 6));
        sOut += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        sOut += static_cast<char>(0xE0 | (c >> 12));
        sOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        sOut += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        sOut += static_cast<char>(0xF0 | (c >> 18));
        sOut += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        sOut += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        sOut += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string tWideToUTF8(std::wstring_view sText)
{
    std::string sOut;
    const std::size_t n = sText.size();
    sOut.reserve(n + n / 4);
    for (std::size_t i = 0; i < n; ++i)
    {
        char32_t c = static_cast<char32_t>(sText[i]);
        if (i + 1 < n && tIsSurrogatePair(c, static_cast<char32_t>(sText[i + 1])))
            c = tSurrogatePairToChar(c, static_cast<char32_t>(sText[++i]));
        tAppendUTF8(sOut, c);
    }
    return sOut;
}

std::wstring tUTF8ToWide(std::string_view sText)
{
    std::wstring sOut;
    sOut.reserve(sText.size());
    const auto* p = reinterpret_cast<const unsigned char*>(sText.data());
    const std::size_t n = sText.size();
    for (std::size_t i = 0; i < n;)
    {
        char32_t c = 0;
        const std::size_t nLen = DecodeOne(p, n, i, c);
        sOut += static_cast<wchar_t>(nLen > 0 ? c : tREPLACEMENT_CHAR);
        i += nLen > 0 ? nLen : 1;
    }
    return sOut;
}

bool tIsValidUTF8(std::string_view sText)
{
    bool bValid = true;
    WalkUTF8(sText,
             [&](std::size_t, std::size_t nLen)
             {
                 bValid = nLen > 0;
                 return bValid;
             });
    return bValid;
}

tsUTF8Survey tSurveyUTF8(std::string_view sText)
{
    tsUTF8Survey survey;
    WalkUTF8(sText,
             [&](std::size_t i, std::size_t nLen)
             {
                 if (nLen == 0 && survey.nInvalid++ == 0)
                     survey.nFirstInvalid = i;
                 if (nLen > 1)
                     ++survey.nMultiByte;
                 return true;
             });
    return survey;
}
