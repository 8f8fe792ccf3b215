#pragma once

#include "Shared/VRSRXDoc.h"
#include "import/SRXImporter.h"
#include "tests/harness/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Registers the SRX handler for a test's lifetime, as the program registers it at start-up.
class SRXTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Init_SRXImporter()); }
    void TearDown() override { Done_SRXImporter(); }

    static wxString Fixture(const char* szName)
    {
        return wxString::FromUTF8((std::filesystem::path(LINTRADO_FIXTURES_DIR) / "srx" / szName).string());
    }

    // Writes an SRX document (UTF-8 text) into the test's home folder and returns its path.
    static wxString WriteSRX(const std::string& sText, const char* szName = "rules.srx")
    {
        return WriteHomeFile(szName, sText);
    }
};

// The breaks of a unit's text, found as the unit writer finds them: after Clear, every prefix
// one character longer than the last is offered (never the whole text), and each break starts the
// next segment. Offsets are from the previous break.
inline std::vector<int> FindBreaks(CVRSRXDoc& doc, const std::wstring& sText)
{
    std::vector<int> anBreaks;
    doc.Clear();
    int nConsumed = 0;
    for (int j = 1; j < static_cast<int>(sText.size()); ++j)
    {
        const int nBreak = doc.FindNextSegmentBreak(sText.data() + nConsumed, sText.data() + j);
        if (nBreak > 0)
        {
            anBreaks.push_back(nBreak);
            nConsumed += nBreak;
        }
    }
    return anBreaks;
}

inline std::vector<std::wstring> Segment(CVRSRXDoc& doc, const std::wstring& sText)
{
    std::vector<std::wstring> asSegments;
    size_t nStart = 0;
    for (int nBreak : FindBreaks(doc, sText))
    {
        asSegments.push_back(sText.substr(nStart, static_cast<size_t>(nBreak)));
        nStart += static_cast<size_t>(nBreak);
    }
    asSegments.push_back(sText.substr(nStart));
    return asSegments;
}
