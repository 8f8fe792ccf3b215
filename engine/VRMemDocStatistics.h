#pragma once

#include <wx/string.h>

// The counts of one project file (or the sum of several): translation units, segments, words and
// characters, translatable and translated, with averages, and the file's last-modified stamp.
//
// The three "not ..." counts are derived: each is recomputed by both setters of the counts it
// depends on, so they are right once every setter has been called, whatever the order (in between
// they may be negative). Words and characters count translatable segments only, and only the text a
// reader sees there (TextOutsideCodes; words as CountWords counts them), never the codes' markup.
class CVRMemDocStatistics
{
public:
    CVRMemDocStatistics() = default;
    virtual ~CVRMemDocStatistics() = default;
    CVRMemDocStatistics(const CVRMemDocStatistics&) = default;
    CVRMemDocStatistics& operator=(const CVRMemDocStatistics&) = default;

    void SetFileName(const wxString& s) { m_sFileName = s; }
    // A date as the document stores it (see tStrToDateTime); Merge compares them.
    void SetLastModified(const wxString& s) { m_sLastModified = s; }
    void SetLastModifiedBy(const wxString& s) { m_sLastModifiedBy = s; }

    void SetNumTranslationUnits(int n);
    void SetNumTranslatableUnits(int n);
    void SetNumSegments(int n);
    void SetNumTranslatableSegments(int n);
    void SetNumTranslatedSegments(int n);
    void AddWords(int n) { m_nNumWords += n; }
    void AddCharacters(int n) { m_nNumCharacters += n; }
    void AddTranslatedWords(int n) { m_nNumTranslatedWords += n; }
    void AddTranslatedCharacters(int n) { m_nNumTranslatedCharacters += n; }

    // Averages per translatable / translated segment, by integer division (17 words in 4 segments
    // give 4.0). A zero divisor leaves those averages as they are.
    void UpdateAverages();

    // A new record holding the sums of both records' counts, with averages from the sums and no file
    // name. The last-modified stamp is the later of the two; on a tie, or when neither is a valid
    // date, this record's. A stamp that is no valid date counts as the earliest.
    CVRMemDocStatistics Merge(const CVRMemDocStatistics& other) const;

    // The record as an HTML fragment for the statistics page (fixed English labels, class "head").
    wxString GetHTML() const;

    const wxString& GetFileName() const { return m_sFileName; }
    const wxString& GetLastModified() const { return m_sLastModified; }
    const wxString& GetLastModifiedBy() const { return m_sLastModifiedBy; }
    int GetNumTranslationUnits() const { return m_nNumTranslationUnits; }
    int GetNumTranslatableUnits() const { return m_nNumTranslatableUnits; }
    int GetNumUnitsNotTranslatable() const { return m_nNumUnitsNotTranslatable; }
    int GetNumSegments() const { return m_nNumSegments; }
    int GetNumTranslatableSegments() const { return m_nNumTranslatableSegments; }
    int GetNumTranslatedSegments() const { return m_nNumTranslatedSegments; }
    int GetNumSegmentsNotTranslated() const { return m_nNumSegmentsNotTranslated; }
    int GetNumSegmentsNotTranslatable() const { return m_nNumSegmentsNotTranslatable; }
    int GetNumWords() const { return m_nNumWords; }
    int GetNumCharacters() const { return m_nNumCharacters; }
    float GetAverageWords() const { return m_fAverageWords; }
    float GetAverageCharacters() const { return m_fAverageCharacters; }
    int GetNumTranslatedWords() const { return m_nNumTranslatedWords; }
    int GetNumTranslatedCharacters() const { return m_nNumTranslatedCharacters; }
    float GetAverageTranslatedWords() const { return m_fAverageTranslatedWords; }
    float GetAverageTranslatedCharacters() const { return m_fAverageTranslatedCharacters; }

private:
    wxString m_sFileName;
    wxString m_sLastModified;
    wxString m_sLastModifiedBy;
    int m_nNumTranslationUnits = 0;
    int m_nNumTranslatableUnits = 0;
    int m_nNumUnitsNotTranslatable = 0;
    int m_nNumSegments = 0;
    int m_nNumTranslatableSegments = 0;
    int m_nNumTranslatedSegments = 0;
    int m_nNumSegmentsNotTranslated = 0;
    int m_nNumSegmentsNotTranslatable = 0;
    int m_nNumWords = 0;
    int m_nNumCharacters = 0;
    float m_fAverageWords = 0;
    float m_fAverageCharacters = 0;
    int m_nNumTranslatedWords = 0;
    int m_nNumTranslatedCharacters = 0;
    float m_fAverageTranslatedWords = 0;
    float m_fAverageTranslatedCharacters = 0;
};
