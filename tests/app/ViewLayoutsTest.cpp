#include "app/ViewLayouts.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
class ViewLayouts : public testing::Test
{
protected:
    void SetUp() override
    {
        wxStringInputStream empty(wxString{});
        m_pConfig = std::make_unique<wxFileConfig>(empty);
    }
    void Store(const std::vector<wxString>& asNames)
    {
        for (const wxString& sName : asNames)
            m_pConfig->Write("/UserInterface/Views/" + sName, "1|" + sName);
    }
    std::unique_ptr<wxFileConfig> m_pConfig;
};

TEST_F(ViewLayouts, ListsInStoreOrderWithoutTheReservedNamesWhateverGroupWasCurrent)
{
    Store({"Zeta", "DefaultView", "Alpha", "OriginalDefaultView", "Mid"});
    m_pConfig->Write("/Window/width", 500);
    m_pConfig->Write("/Window/Alpha", 1);
    // Another component left the store in its own group. The file store keeps its entries
    // sorted by name.
    m_pConfig->SetPath("/Window");
    EXPECT_EQ(tListSavedViews(m_pConfig.get()), (std::vector<wxString>{"Alpha", "Mid", "Zeta"}));
    EXPECT_TRUE(tListSavedViews(nullptr).empty());
}

TEST_F(ViewLayouts, ListsAtMostTheMenusRoom)
{
    std::vector<wxString> asNames;
    for (int i = 1; i <= 130; ++i)
        asNames.push_back(wxString::Format("L%03d", i));
    Store(asNames);
    const std::vector<wxString> asListed = tListSavedViews(m_pConfig.get());
    ASSERT_EQ(asListed.size(), kMaxListedViews);
    EXPECT_EQ(asListed.back(), "L127");
    EXPECT_EQ(tListSavedViews(m_pConfig.get(), 1000).size(), 130u);
}

TEST(ViewLayoutNames, RefusesPathsAndNewNamesBeyondTheMenusRoom)
{
    std::vector<wxString> asFull;
    for (size_t i = 1; i <= kMaxListedViews; ++i)
        asFull.push_back(wxString::Format("L%03d", static_cast<int>(i)));
    const std::vector<wxString> asFew{"Mine"};
    std::vector<wxString> asFullWithTwin(asFull.begin(), asFull.end() - 1);
    asFullWithTwin.push_back("l001");

    struct Case
    {
        const char* szName;
        const std::vector<wxString>* pSaved;
        const char* szRefusal;
    };
    const Case aCases[] = {
        {"Mine", &asFew, ""},
        {"Another", &asFew, ""},
        {"a/b", &asFew, "VIEW_NAME_INVALID"},
        {"/", &asFew, "VIEW_NAME_INVALID"},
        {".", &asFew, "VIEW_NAME_INVALID"},
        {"..", &asFew, "VIEW_NAME_INVALID"},
        {"...", &asFew, ""},
        {"a.b", &asFew, ""},
        {"New", &asFull, "VIEW_LIMIT_REACHED"},
        {"L064", &asFull, ""},
        {"DefaultView", &asFull, ""},
        {"OriginalDefaultView", &asFull, ""},
        // The store matches names without regard to case: these replace a layout.
        {"l064", &asFull, ""},
        {"defaultview", &asFull, ""},
        // Names that differ only in case are one layout for the cap.
        {"New", &asFullWithTwin, ""},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(tCheckViewName(c.szName, *c.pSaved), c.szRefusal) << c.szName;
}

TEST(ViewLayoutNames, FindsTheNameASaveWouldReplaceWithoutRegardToCase)
{
    const std::vector<wxString> asSaved{"Work", "Other"};
    const std::pair<const char*, const char*> aCases[] = {
        {"Work", "Work"}, {"work", "Work"}, {"WORK", "Work"}, {"Worker", ""},
        {"defaultview", "DefaultView"}, {"ORIGINALDEFAULTVIEW", "OriginalDefaultView"}, {"New", ""},
    };
    for (const auto& [szName, szFound] : aCases)
        EXPECT_EQ(tFindViewName(szName, asSaved), szFound) << szName;
    EXPECT_TRUE(tIsReservedViewName("defaultView"));
}
} // namespace
