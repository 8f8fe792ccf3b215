#include "varnak/include/tTextFile.h"

#include "varnak/include/kvFormat.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tUTF8.h"

#include <wx/log.h>

#include <cstdarg>
#include <cstdio>

namespace
{
// The code points of Windows-1252 bytes 0x80 to 0x9F; the five bytes it leaves undefined keep
// their value, as the C1 controls of Latin-1.
const char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::wstring DecodeUTF16(const std::string& s, size_t nStart, bool bBigEndian)
{
    std::u16string sUnits;
    sUnits.reserve((s.size() - nStart) / 2);
    for (size_t i = nStart; i + 1 < s.size(); i += 2)
    {
        const auto b0 = static_cast<unsigned char>(s[i]);
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        sUnits += static_cast<char16_t>(bBigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    // An odd last byte is half a unit: mark it rather than drop it silently.
    if ((s.size() - nStart) % 2 != 0)
        sUnits += u'\xFFFD';
    return tFromU16(sUnits).ToStdWstring();
}

std::wstring Decode1252(const std::string& s)
{
    std::wstring sOut;
    sOut.reserve(s.size());
    for (char ch : s)
    {
        const auto c = static_cast<unsigned char>(ch);
        sOut += static_cast<wchar_t>(c >= 0x80 && c < 0xA0 ? k1252High[c - 0x80] : c);
    }
    return sOut;
}
} // namespace

tcTextFileWriter::~tcTextFileWriter()
{
    if (m_file.IsOpened())
        m_file.Close();
}

bool tcTextFileWriter::WriteBytes(const std::string& sBytes)
{
    if (!m_file.IsOpened())
        return false;
    if (!sBytes.empty() && m_file.Write(sBytes.data(), sBytes.size()) != sBytes.size())
        m_bFailed = true;
    return !m_bFailed;
}

bool tcTextFileWriter::Write(const wxString& sText)
{
    return WriteBytes(tToUTF8(sText));
}

bool tcTextFileWriter::Printf(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    const wxString sText = kvFormatV(szFormat, args);
    va_end(args);
    return Write(sText);
}

bool tcTextFileWriter::Close()
{
    if (!m_file.IsOpened())
        return false;
    if (!m_file.Flush())
        m_bFailed = true;
    if (!m_file.Close())
        m_bFailed = true;
    return !m_bFailed;
}

std::unique_ptr<tcTextFileWriter> tCreateUTF8TextFile(const wxString& sPath, int nFlags)
{
    if (sPath.empty())
        return nullptr;
    std::unique_ptr<tcTextFileWriter> pWriter(new tcTextFileWriter());
    {
        // A failed open is the caller's to report; keep the toolkit from logging it as well.
        wxLogNull noLog;
        if (!pWriter->m_file.Open(sPath, "wb"))
            return nullptr;
    }
    if ((nFlags & UTF8FILE_BOM) && !pWriter->WriteBytes("\xEF\xBB\xBF"))
        return nullptr;
    return pWriter;
}

std::unique_ptr<tcTextFileWriter> tCreateTextFile(const wxString& sPath)
{
    return tCreateUTF8TextFile(sPath, UTF8FILE_NOBOM);
}

bool tcTextFileReader::ReadLine(wxString& sLine)
{
    sLine.clear();
    if (IsEOF())
        return false;
    size_t nEnd = m_sText.find_first_of(L"\r\n", m_nPos);
    if (nEnd == std::wstring::npos)
        nEnd = m_sText.size();
    sLine = wxString(m_sText.substr(m_nPos, nEnd - m_nPos));
    m_nPos = nEnd;
    if (m_nPos < m_sText.size())
    {
        const bool bCRLF = m_sText[m_nPos] == L'\r' && m_nPos + 1 < m_sText.size() && m_sText[m_nPos + 1] == L'\n';
        m_nPos += bCRLF ? 2 : 1;
    }
    return true;
}

void tcTextFileReader::Close()
{
    m_sText.clear();
    m_nPos = 0;
}

std::unique_ptr<tcTextFileReader> tOpenTextFile(const wxString& sPath)
{
    if (!tFileExists(sPath))
        return nullptr;
    const std::optional<std::string> sRead = tReadFileBytes(sPath);
    if (!sRead)
        return nullptr;
    const std::string& sBytes = *sRead;

    std::unique_ptr<tcTextFileReader> pReader(new tcTextFileReader());
    if (sBytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pReader->m_sText = tUTF8ToWide(std::string_view(sBytes).substr(3));
    else if (sBytes.compare(0, 2, "\xFF\xFE") == 0)
    {
        pReader->m_encoding = teTextEncoding::UTF16LE;
        pReader->m_sText = DecodeUTF16(sBytes, 2, false);
    }
    else if (sBytes.compare(0, 2, "\xFE\xFF") == 0)
    {
        pReader->m_encoding = teTextEncoding::UTF16BE;
        pReader->m_sText = DecodeUTF16(sBytes, 2, true);
    }
    else if (tIsValidUTF8(sBytes))
        pReader->m_sText = tUTF8ToWide(sBytes);
    else
    {
        pReader->m_encoding = teTextEncoding::Windows1252;
        pReader->m_sText = Decode1252(sBytes);
    }
    return pReader;
}

std::optional<std::string> tReadFileBytes(const wxString& sPath)
{
    std::FILE* pFile = std::fopen(sPath.utf8_string().c_str(), "rb");
    if (!pFile)
        return std::nullopt;
    std::string sBytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), pFile)) > 0)
        sBytes.append(buf, n);
    const bool bFailed = std::ferror(pFile) != 0;
    std::fclose(pFile);
    if (bFailed)
        return std::nullopt;
    return sBytes;
}

std::vector<std::string> tSplitByteLines(std::string_view sBytes)
{
    std::vector<std::string> aLines;
    if (sBytes.starts_with("\xEF\xBB\xBF"))
        sBytes.remove_prefix(3);
    size_t nPos = 0;
    while (nPos < sBytes.size())
    {
        size_t nEnd = sBytes.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            nEnd = sBytes.size();
        std::string_view sLine = sBytes.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (sLine.ends_with('\r'))
            sLine.remove_suffix(1);
        aLines.emplace_back(sLine);
    }
    return aLines;
}
