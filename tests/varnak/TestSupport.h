#pragma once

#include "tests/harness/TempHome.h"
#include "tests/harness/TestFiles.h"

#include <clocale>
#include <locale>
#include <string>

// Helpers the library's unit tests share: the test files of the harness, and a decimal-comma
// numeric locale that is undone when the test ends.

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
