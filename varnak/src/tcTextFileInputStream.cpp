#include "varnak/include/tcTextFileInputStream.h"

#include "varnak/include/tUTF8.h"

#include <cstdint>

namespace
{
bool IsHighHalf(uint32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowHalf(uint32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::wstring DecodeUTF16(std::string_view s, bool bBigEndian)
{
    std::wstring sOut;
    sOut.reserve(s.size() / 2);
    auto unit = [&](size_t i) -> uint32_t
    {
        const auto b0 = static_cast<unsigned char>(s[i]);
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        return bBigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    const size_t nUnits = s.size() / 2;
    for (size_t k = 0; k < nUnits; ++k)
    {
        const uint32_t c = unit(2 * k);
        if (IsHighHalf(c) && k + 1 < nUnits && IsLowHalf(unit(2 * k + 2)))
        {
            sOut += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (unit(2 * k + 2) - 0xDC00));
            ++k;
        }
        else if (IsHighHalf(c) || IsLowHalf(c))
            sOut += static_cast<wchar_t>(tREPLACEMENT_CHAR);
        else
            sOut += static_cast<wchar_t>(c);
    }
    if (s.size() % 2 != 0)
        sOut += static_cast<wchar_t>(tREPLACEMENT_CHAR);
    return sOut;
}

std::wstring DecodeUTF32(std::string_view s, bool bBigEndian)
{
    std::wstring sOut;
    sOut.reserve(s.size() / 4);
    for (size_t i = 0; i + 3 < s.size(); i += 4)
    {
        uint32_t c = 0;
        for (int k = 0; k < 4; ++k)
        {
            const auto b = static_cast<unsigned char>(s[i + (bBigEndian ? k : 3 - k)]);
            c = (c << 8) | b;
        }
        sOut += static_cast<wchar_t>(tIsUnicodeScalar(c) ? c : tREPLACEMENT_CHAR);
    }
    if (s.size() % 4 != 0)
        sOut += static_cast<wchar_t>(tREPLACEMENT_CHAR);
    return sOut;
}

std::wstring DecodeLatin1(std::string_view s)
{
    std::wstring sOut;
    sOut.reserve(s.size());
    for (char ch : s)
        sOut += static_cast<wchar_t>(static_cast<unsigned char>(ch));
    return sOut;
}
} // namespace

std::wstring tDecodeTextAuto(std::string_view sBytes, teAutoEncoding* pEncoding, bool* pbBOM, size_t* pnFirstStray)
{
    teAutoEncoding encoding = teAutoEncoding::UTF8;
    bool bBOM = true;
    size_t nFirstStray = std::string_view::npos;
    std::wstring sText;
    // The UTF-32 LE mark begins with the UTF-16 LE one, so it is tested first.
    if (sBytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
    {
        encoding = teAutoEncoding::UTF32LE;
        sText = DecodeUTF32(sBytes.substr(4), false);
    }
    else if (sBytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
    {
        encoding = teAutoEncoding::UTF32BE;
        sText = DecodeUTF32(sBytes.substr(4), true);
    }
    else if (sBytes.starts_with("\xEF\xBB\xBF"))
        sText = tUTF8ToWide(sBytes.substr(3));
    else if (sBytes.starts_with("\xFF\xFE"))
    {
        encoding = teAutoEncoding::UTF16LE;
        sText = DecodeUTF16(sBytes.substr(2), false);
    }
    else if (sBytes.starts_with("\xFE\xFF"))
    {
        encoding = teAutoEncoding::UTF16BE;
        sText = DecodeUTF16(sBytes.substr(2), true);
    }
    else
    {
        bBOM = false;
        const tsUTF8Survey survey = tSurveyUTF8(sBytes);
        if (survey.nInvalid == 0 || survey.nMultiByte > survey.nInvalid)
        {
            sText = tUTF8ToWide(sBytes);
            nFirstStray = survey.nFirstInvalid;
        }
        else
        {
            encoding = teAutoEncoding::Latin1;
            sText = DecodeLatin1(sBytes);
        }
    }
    if (pEncoding)
        *pEncoding = encoding;
    if (pbBOM)
        *pbBOM = bBOM;
    if (pnFirstStray)
        *pnFirstStray = nFirstStray;
    return sText;
}

tcTextFileInputStream::tcTextFileInputStream(wxInputStream& stream, int, int, teDeclarations declarations)
{
    std::string sBytes;
    char buf[65536];
    while (stream.IsOk() && !stream.Eof())
    {
        const size_t n = stream.Read(buf, sizeof(buf)).LastRead();
        sBytes.append(buf, n);
        if (n == 0)
            break;
    }
    const wxStreamError error = stream.GetLastError();
    m_bOk = error == wxSTREAM_NO_ERROR || error == wxSTREAM_EOF;
    m_sText = tDecodeDeclaredText(sBytes, declarations, &m_decoding);
}

wchar_t tcTextFileInputStream::GetCharacter()
{
    if (Eof())
    {
        m_nLastRead = 0;
        return 0;
    }
    m_nLastRead = 1;
    return m_sText[m_nPos++];
}
