// The project benchmark compares the projects of two runs with the conversion dates left out.
#include "bench/UndatedProject.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Project(const std::string& sFirstDate, const std::string& sSecondDate, const std::string& sText = "Hello")
{
    return "<?xml version=\"1.0\"?><xliff version=\"1.2\"><file original=\"a.txt\" date=\"" + sFirstDate +
           "\" category=\"General\"><body><trans-unit id=\"1\"><source>" + sText +
           "</source></trans-unit></body></file>\n<file\toriginal=\"b &gt; a.txt\" title=' date=\"x\"' date='" +
           sSecondDate + "'><body/></file></xliff>";
}
} // namespace

TEST(UndatedProject, RunsThatDifferOnlyInTheirFileDatesCompareEqual)
{
    struct Case
    {
        std::string sOne;
        std::string sOther;
        bool bSame;
    };
    const Case aCases[] = {
        // The second run straddles a second: only the later file's date moved.
        {Project("2024-05-01T10:00:00Z", "2024-05-01T10:00:00Z"),
         Project("2024-05-01T10:00:00Z", "2024-05-01T10:00:01Z"), true},
        {Project("2024-05-01T10:00:00Z", "2024-05-01T10:00:00Z"),
         Project("2024-05-01T10:00:01Z", "2024-05-01T10:00:01Z"), true},
        // What the runs wrote still counts.
        {Project("d", "d", "Hello"), Project("d", "d", "Hallo"), false},
        // So do dates elsewhere, and a value that only looks like a date attribute.
        {"<file date=\"1\"><note date=\"1\"/></file>", "<file date=\"2\"><note date=\"2\"/></file>", false},
        {"<file title=' date=\"1\"'>", "<file title=' date=\"2\"'>", false},
        {"<filed date=\"1\"/>", "<filed date=\"2\"/>", false},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(tWithoutFileDates(c.sOne) == tWithoutFileDates(c.sOther), c.bSame) << c.sOne << "\n" << c.sOther;

    EXPECT_EQ(tWithoutFileDates(Project("1", "2")),
              "<?xml version=\"1.0\"?><xliff version=\"1.2\"><file original=\"a.txt\" category=\"General\"><body>"
              "<trans-unit id=\"1\"><source>Hello</source></trans-unit></body></file>\n<file\toriginal=\"b &gt; "
              "a.txt\" title=' date=\"x\"'><body/></file></xliff>");
}
