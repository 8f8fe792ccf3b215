#include "bench/UndatedProject.h"

namespace
{
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

std::string tWithoutFileDates(std::string_view sXLIFF)
{
    std::string sOut;
    sOut.reserve(sXLIFF.size());
    size_t nPos = 0;
    for (;;)
    {
        size_t nTag = sXLIFF.find("<file", nPos);
        while (nTag != std::string_view::npos && nTag + 5 < sXLIFF.size() && !IsSpace(sXLIFF[nTag + 5]))
            nTag = sXLIFF.find("<file", nTag + 5);
        if (nTag == std::string_view::npos || nTag + 5 >= sXLIFF.size())
            break;
        // Walks the start tag attribute by attribute: a quoted value may hold ">" or " date=".
        size_t i = nTag + 5;
        sOut.append(sXLIFF.substr(nPos, i - nPos));
        nPos = i;
        for (;;)
        {
            const size_t nSpace = i;
            while (i < sXLIFF.size() && IsSpace(sXLIFF[i]))
                ++i;
            if (i >= sXLIFF.size() || sXLIFF[i] == '>' || sXLIFF[i] == '/')
                break;
            const size_t nName = i;
            while (i < sXLIFF.size() && sXLIFF[i] != '=' && !IsSpace(sXLIFF[i]) && sXLIFF[i] != '>')
                ++i;
            const std::string_view sName = sXLIFF.substr(nName, i - nName);
            while (i < sXLIFF.size() && (IsSpace(sXLIFF[i]) || sXLIFF[i] == '='))
                ++i;
            if (i >= sXLIFF.size() || (sXLIFF[i] != '"' && sXLIFF[i] != '\''))
                break;
            const size_t nClose = sXLIFF.find(sXLIFF[i], i + 1);
            if (nClose == std::string_view::npos)
                break;
            i = nClose + 1;
            if (sName != "date")
                sOut.append(sXLIFF.substr(nSpace, i - nSpace));
            nPos = i;
        }
    }
    sOut.append(sXLIFF.substr(nPos));
    return sOut;
}
