#include "engine/VRMemDocStatistics.h"

#include "varnak/include/tDateTime.h"
#include "varnak/include/tXMLText.h"

#include <wx/datetime.h>

#include <climits>
#include <cstdint>

namespace
{
// Sums of counts saturate instead of overflowing.
int Sum(int a, int b)
{
    const std::int64_t n = static_cast<std::int64_t>(a) + b;
    return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

float Average(int nTotal, int nCount)
{
    return static_cast<float>(static_cast<std::int64_t>(nTotal) / nCount);
}

void AppendLine(wxString& sHTML, const wchar_t* szFormat, int n)
{
    sHTML += wxString::Format(szFormat, n);
    sHTML += "<br />\n";
}

// "%f" of the value widened to double, with a full stop whatever the locale.
void AppendLine(wxString& sHTML, const wchar_t* szFormat, float f)
{
    wxString sLine(szFormat);
    sLine.Replace("%f", wxString::FromCDouble(static_cast<double>(f), 6));
    sHTML += sLine;
    sHTML += "<br />\n";
}
} // namespace

void CVRMemDocStatistics::SetNumTranslationUnits(int n)
{
    m_nNumTranslationUnits = n;
    m_nNumUnitsNotTranslatable = n - m_nNumTranslatableUnits;
}

void CVRMemDocStatistics::SetNumTranslatableUnits(int n)
{
    m_nNumTranslatableUnits = n;
    m_nNumUnitsNotTranslatable = m_nNumTranslationUnits - n;
}

void CVRMemDocStatistics::SetNumSegments(int n)
{
    m_nNumSegments = n;
    m_nNumSegmentsNotTranslatable = n - m_nNumTranslatableSegments;
}

void CVRMemDocStatistics::SetNumTranslatableSegments(int n)
{
    m_nNumTranslatableSegments = n;
    m_nNumSegmentsNotTranslated = n - m_nNumTranslatedSegments;
    m_nNumSegmentsNotTranslatable = m_nNumSegments - n;
}

void CVRMemDocStatistics::SetNumTranslatedSegments(int n)
{
    m_nNumTranslatedSegments = n;
    m_nNumSegmentsNotTranslated = m_nNumTranslatableSegments - n;
}

void CVRMemDocStatistics::UpdateAverages()
{
    if (m_nNumTranslatableSegments != 0)
    {
        m_fAverageWords = Average(m_nNumWords, m_nNumTranslatableSegments);
        m_fAverageCharacters = Average(m_nNumCharacters, m_nNumTranslatableSegments);
    }
    if (m_nNumTranslatedSegments != 0)
    {
        m_fAverageTranslatedWords = Average(m_nNumTranslatedWords, m_nNumTranslatedSegments);
        m_fAverageTranslatedCharacters = Average(m_nNumTranslatedCharacters, m_nNumTranslatedSegments);
    }
}

CVRMemDocStatistics CVRMemDocStatistics::Merge(const CVRMemDocStatistics& other) const
{
    CVRMemDocStatistics r;
    // An empty running total or a file without a stamp has no valid date: it is the earliest.
    const wxDateTime dtThis = tStrToDateTime(m_sLastModified);
    const wxDateTime dtOther = tStrToDateTime(other.m_sLastModified);
    const bool bOtherLater = dtOther.IsValid() && (!dtThis.IsValid() || dtThis < dtOther);
    const CVRMemDocStatistics& stamp = bOtherLater ? other : *this;
    r.m_sLastModified = stamp.m_sLastModified;
    r.m_sLastModifiedBy = stamp.m_sLastModifiedBy;

    r.m_nNumTranslationUnits = Sum(m_nNumTranslationUnits, other.m_nNumTranslationUnits);
    r.m_nNumTranslatableUnits = Sum(m_nNumTranslatableUnits, other.m_nNumTranslatableUnits);
    r.m_nNumUnitsNotTranslatable = Sum(m_nNumUnitsNotTranslatable, other.m_nNumUnitsNotTranslatable);
    r.m_nNumSegments = Sum(m_nNumSegments, other.m_nNumSegments);
    r.m_nNumTranslatableSegments = Sum(m_nNumTranslatableSegments, other.m_nNumTranslatableSegments);
    r.m_nNumTranslatedSegments = Sum(m_nNumTranslatedSegments, other.m_nNumTranslatedSegments);
    r.m_nNumSegmentsNotTranslated = Sum(m_nNumSegmentsNotTranslated, other.m_nNumSegmentsNotTranslated);
    r.m_nNumSegmentsNotTranslatable = Sum(m_nNumSegmentsNotTranslatable, other.m_nNumSegmentsNotTranslatable);
    r.m_nNumWords = Sum(m_nNumWords, other.m_nNumWords);
    r.m_nNumCharacters = Sum(m_nNumCharacters, other.m_nNumCharacters);
    r.m_nNumTranslatedWords = Sum(m_nNumTranslatedWords, other.m_nNumTranslatedWords);
    r.m_nNumTranslatedCharacters = Sum(m_nNumTranslatedCharacters, other.m_nNumTranslatedCharacters);
    r.UpdateAverages();
    return r;
}

wxString CVRMemDocStatistics::GetHTML() const
{
    // The texts come from file names and attributes: escaped, so that "a<b" shows as written.
    wxString s;
    s.reserve(1024);
    s += "<p><hr/>";
    if (!m_sFileName.empty())
        s += "<span class=\"head\">File name</span>: " + tEscapeXMLCharacters_PCDATA(m_sFileName) + "<br />\n";
    if (!m_sLastModified.empty())
        s += "<span class=\"head\">Last modified</span>: " + tEscapeXMLCharacters_PCDATA(m_sLastModified) + "<br />\n";
    if (!m_sLastModifiedBy.empty())
        s += "<span class=\"head\">Last modified by</span>: " + tEscapeXMLCharacters_PCDATA(m_sLastModifiedBy);
    s += "<hr/>\n";

    AppendLine(s, L"\t<span class=\"head\">Translation units</span>:\t\t%d", m_nNumTranslationUnits);
    AppendLine(s, L"\t\t<span class=\"head\">Translatable</span>:\t\t%d", m_nNumTranslatableUnits);
    AppendLine(s, L"\t\t<span class=\"head\">Not translatable</span>:\t\t%d", m_nNumUnitsNotTranslatable);
    s += "<br />\n";
    AppendLine(s, L"\t<span class=\"head\">Segments</span>:\t\t%d", m_nNumSegments);
    AppendLine(s, L"\t\t<span class=\"head\">Translatable</span>:\t\t%d", m_nNumTranslatableSegments);
    AppendLine(s, L"\t\t\t<span class=\"head\">Number of words</span>:\t\t%d", m_nNumWords);
    AppendLine(s, L"\t\t\t<span class=\"head\">Number of characters</span>:\t\t%d", m_nNumCharacters);
    AppendLine(s, L"\t\t\t<span class=\"head\">Average number of words</span>:\t\t%f", m_fAverageWords);
    AppendLine(s, L"\t\t\t<span class=\"head\">Average number of characters</span>:\t\t%f", m_fAverageCharacters);
    AppendLine(s, L"\t\t<span class=\"head\">Translated</span>:\t\t%d", m_nNumTranslatedSegments);
    AppendLine(s, L"\t\t\t<span class=\"head\">Number of words</span>:\t\t%d", m_nNumTranslatedWords);
    AppendLine(s, L"\t\t\t<span class=\"head\">Number of characters</span>:\t\t%d", m_nNumTranslatedCharacters);
    AppendLine(s, L"\t\t\t<span class=\"head\">Average number of words</span>:\t\t%f", m_fAverageTranslatedWords);
    AppendLine(s, L"\t\t\t<span class=\"head\">Average number of characters</span>:\t\t%f",
               m_fAverageTranslatedCharacters);
    AppendLine(s, L"\t\t<span class=\"head\">Not translated</span>:\t\t%d", m_nNumSegmentsNotTranslated);
    AppendLine(s, L"\t\t<span class=\"head\">Not translatable</span>:\t\t%d", m_nNumSegmentsNotTranslatable);

    s += "<br />\n</p>";
    return s;
}
