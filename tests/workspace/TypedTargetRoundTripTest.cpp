// Documents converted, translated by typed targets as the editor commits them, then saved and
// reopened or written out: what the translator typed reaches the project file and the document
// without costing either its segments or its layout.
#include "workspace/SegmentXML.h"

#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "tests/engine/ConvertTestSupport.h"
#include "tests/workspace/PaneTestSupport.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
// A resource file as translators receive them: indented elements, a translatable attribute, and a
// segment that begins with the markup before its first text.
const char* const kResources = "<?xml version=\"1.0\"?>\n"
                               "<resources>\n"
                               "    <item label=\"Open\">Opens a file.</item>\n"
                               "    <item label=\"Save\">Saves it. Then closes it.</item>\n"
                               "</resources>\n";

std::vector<std::string> SegmentTexts(const std::vector<tcNode*>& apSegments)
{
    std::vector<std::string> asTexts;
    for (const tcNode* pSegment : apSegments)
        asTexts.push_back(GenerateSegmentXML(pSegment).utf8_string());
    return asTexts;
}

// The segment whose source text is szText, else the first that contains it; fails the test when
// there is none.
tcNode* SegmentWith(const std::vector<tcNode*>& apSegments, const char* szText)
{
    for (tcNode* pSegment : apSegments)
    {
        if (GenerateSegmentXML(pSegment).utf8_string() == szText)
            return pSegment;
    }
    for (tcNode* pSegment : apSegments)
    {
        if (GenerateSegmentXML(pSegment).utf8_string().find(szText) != std::string::npos)
            return pSegment;
    }
    ADD_FAILURE() << "no segment holds " << szText;
    return nullptr;
}

TEST(TypedTargetRoundTrip, ReopenedProjectHasTheSegmentsItWasSavedWith)
{
    CConvertProject project;
    tcConvertorXML convertor(&project.Doc(), L"en");
    tcNode* pFile = project.Convert(convertor, WriteHomeFile("strings.xml", kResources));
    ASSERT_TRUE(pFile);
    const std::vector<tcNode*> apSegments = CollectFileSegments(project.DTD(), pFile);
    const std::vector<std::string> asSaved = SegmentTexts(apSegments);

    // The first segment starts with the markup of the first item, attribute sub-flow included: its
    // empty target picks those codes up when text is typed into it.
    tcNode* pFirst = SegmentWith(apSegments, "Opens a file.");
    ASSERT_TRUE(pFirst);
    ASSERT_TRUE(CommitTargetXML(project.DTD(), &project.Doc(), pFirst, L"Öffnet eine Datei.").pDestination);
    ASSERT_TRUE(
        CommitTargetXML(project.DTD(), &project.Doc(), SegmentWith(apSegments, "Then"), L" Danach zu.").pDestination);
    EXPECT_EQ(SegmentTexts(CollectFileSegments(project.DTD(), pFile)), asSaved);

    const wxString sPath = HomePath("typed.xlf");
    ASSERT_EQ(OutputXLIFF(&project.Doc(), nullptr, sPath), 0);
    PaneProject reopened(sPath.utf8_string());
    ASSERT_TRUE(reopened.IsLoaded());
    EXPECT_EQ(SegmentTexts(reopened.Segments(0)), asSaved);
}

TEST(TypedTargetRoundTrip, OutputKeepsTheBlanksAroundTypedText)
{
    struct STyped
    {
        const char* szSource; // text found in the segment's source
        const wchar_t* szTarget;
    };
    const struct
    {
        const char* szName;
        const char* szDocument;
        std::vector<STyped> aTyped;
        const char* szExpected;
    } cases[] = {
        // Indentation between the codes a target picked up and those it lacks, and the space after
        // a full stop; the attribute translated inside the codes the first segment's target holds.
        {"strings.xml",
         kResources,
         {{"Opens a file.", L"Öffnet eine Datei."}, {"Open", L"Öffnen"}, {"Then", L"Danach zu."}},
         "<?xml version=\"1.0\"?>\n"
         "<resources>\n"
         "    <item label=\"Öffnen\">Öffnet eine Datei.</item>\n"
         "    <item label=\"Save\">Saves it. Danach zu.</item>\n"
         "</resources>\n"},
        // A target with a blank of its own keeps it as typed.
        {"typed-blank.xml",
         kResources,
         {{"Then", L"  Danach zu."}},
         "<?xml version=\"1.0\"?>\n"
         "<resources>\n"
         "    <item label=\"Open\">Opens a file.</item>\n"
         "    <item label=\"Save\">Saves it.  Danach zu.</item>\n"
         "</resources>\n"},
        // Alt texts of one and of several words, each translated whole.
        {"photos.html",
         "<p>The car: <img alt=\"Photo of the red car\" src=\"car.png\"> and <img alt=\"Car\" src=\"c.png\">.</p>\n",
         {{"Photo of the red car", L"Foto des roten Autos"}, {"Car", L"Auto"}},
         "<p>The car: <img alt=\"Foto des roten Autos\" src=\"car.png\"> and <img alt=\"Auto\" src=\"c.png\">.</p>\n"},
        {"notes.txt",
         "    Open the file. Save it.\n  Close it.\n",
         {{"Open", L"Datei öffnen."}, {"Save", L"Speichern."}, {"Close", L"Schließen."}},
         "    Datei öffnen. Speichern.\n  Schließen.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szName);
        CConvertProject project;
        const wxString sName(c.szName);
        std::unique_ptr<tcConvertor> pConvertor = sName.EndsWith(".txt") ? AllocateConvertor_TXT(&project.Doc(), L"en")
                                                  : sName.EndsWith(".html")
                                                      ? AllocateConvertor_HTML(&project.Doc(), L"en")
                                                      : AllocateConvertor_XML(&project.Doc(), L"en");
        tcNode* pFile = project.Convert(*pConvertor, WriteHomeFile(c.szName, c.szDocument));
        ASSERT_TRUE(pFile);
        const std::vector<tcNode*> apSegments = CollectFileSegments(project.DTD(), pFile);
        for (const STyped& typed : c.aTyped)
        {
            tcNode* pSegment = SegmentWith(apSegments, typed.szSource);
            ASSERT_TRUE(pSegment);
            CommitTargetXML(project.DTD(), &project.Doc(), pSegment, typed.szTarget);
        }
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"de").value_or("(not written)"), c.szExpected);
    }
}
} // namespace
