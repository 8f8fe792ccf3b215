#pragma once

#include "tests/harness/TempHome.h"

#include <wx/string.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <string>

// Helpers the library's unit tests share: files in the running test's temporary home, and a
// decimal-comma numeric locale that is undone when the test ends.

// The running test's temporary home, or sName inside it, as the library takes paths.
inline wxString HomePath(const std::string& sName = std::string())
{
    const std::filesystem::path& home = TempHomeListener::Current();
    return wxString::FromUTF8((sName.empty() ? home : home / sName).string());
}

// Writes the bytes as the file sName (which may name sub-folders) in the temporary home and
// returns its path.
inline wxString WriteHomeFile(const std::string& sName, const std::string& sBytes)
{
    const std::filesystem::path path = TempHomeListener::Current() / sName;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << sBytes;
    return wxString::FromUTF8(path.string());
}

// A file's bytes as they stand; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadBytes(const wxString& sPath)
{
    return ReadBytes(std::filesystem::path(sPath.utf8_string()));
}

// Numbers as a German locale writes them: a decimal comma, and "." between groups of three.
struct CommaDecimal : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};
struct CommaDecimalW : std::numpunct<wchar_t>
{
    wchar_t do_decimal_point() const override { return L','; }
    wchar_t do_thousands_sep() const override { return L'.'; }
    std::string do_grouping() const override { return "\3"; }
};

// The base locale with the decimal-comma facets for narrow and wide text.
inline std::locale WithDecimalComma(const std::locale& base)
{
    return std::locale(std::locale(base, new CommaDecimal), new CommaDecimalW);
}

// Puts back the global C++ locale and the C library's LC_NUMERIC when it goes out of scope, so a
// test that switches either to a decimal comma cannot leave it to the next test, even when an
// assertion ends it early.
class NumericLocaleGuard
{
public:
    NumericLocaleGuard()
    {
        const char* szNumeric = std::setlocale(LC_NUMERIC, nullptr);
        m_sNumeric = szNumeric ? szNumeric : "C";
    }
    ~NumericLocaleGuard()
    {
        std::locale::global(m_previous);
        std::setlocale(LC_NUMERIC, m_sNumeric.c_str());
    }
    NumericLocaleGuard(const NumericLocaleGuard&) = delete;
    NumericLocaleGuard& operator=(const NumericLocaleGuard&) = delete;

private:
    std::locale m_previous;
    std::string m_sNumeric;
};
