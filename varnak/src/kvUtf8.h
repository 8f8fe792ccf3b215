#pragma once

// Lenient UTF-8 conversions for the log: a line must never vanish because one byte or one code
// point in it is invalid, so bad input becomes U+FFFD instead of an empty result.

#include <cstddef>
#include <string>
#include <string_view>

namespace kv_utf8
{
constexpr char32_t kReplacement = 0xFFFD;

inline bool IsValidCodePoint(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

inline void Append(std::string& sOut, char32_t c)
{
    if (!IsValidCodePoint(c))
        c = kReplacement;
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

// wchar_t is UTF-32 on this platform; stray surrogates become U+FFFD.
inline std::string Encode(std::wstring_view sText)
{
    std::string sOut;
    sOut.reserve(sText.size() + 8);
    for (wchar_t c : sText)
        Append(sOut, static_cast<char32_t>(c));
    return sOut;
}

// Decodes UTF-8; every malformed sequence (bad lead byte, truncated, overlong, surrogate, beyond
// U+10FFFF) yields one U+FFFD and decoding resumes at the next byte.
inline std::wstring Decode(std::string_view sText)
{
    std::wstring sOut;
    sOut.reserve(sText.size());
    const auto* p = reinterpret_cast<const unsigned char*>(sText.data());
    const std::size_t n = sText.size();
    std::size_t i = 0;
    while (i < n)
    {
        const unsigned char b = p[i];
        if (b < 0x80)
        {
            sOut += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int nMore = 0;
        char32_t c = 0;
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
        {
            sOut += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        bool bOk = i + nMore < n;
        for (int k = 1; bOk && k <= nMore; ++k)
        {
            const unsigned char t = p[i + k];
            if ((t & 0xC0) != 0x80)
                bOk = false;
            else
                c = (c << 6) | (t & 0x3F);
        }
        if (!bOk || c < cMin || !IsValidCodePoint(c))
        {
            sOut += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        sOut += static_cast<wchar_t>(c);
        i += nMore + 1;
    }
    return sOut;
}
} // namespace kv_utf8
