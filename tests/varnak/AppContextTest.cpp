#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
// The context never looks inside documents, handlers or sections: distinct addresses suffice.
int g_anObjects[6];
tcDocument* Doc(int n)
{
    return reinterpret_cast<tcDocument*>(&g_anObjects[n]);
}
tcIO* IO(int n)
{
    return reinterpret_cast<tcIO*>(&g_anObjects[2 + n]);
}
tcLanguage* Section(int n)
{
    return reinterpret_cast<tcLanguage*>(&g_anObjects[4 + n]);
}
} // namespace

TEST(AppContext, DeletingADocumentForgetsItOnlyWhenCurrent)
{
    tcAppContext context;
    context.AppSetDoc(Doc(0));
    context.AppSetIO(IO(0));

    context.AppDeleteDoc(Doc(1));
    EXPECT_EQ(context.GetCurrentDoc(), Doc(0));
    EXPECT_EQ(context.GetCurrentIO(), IO(0));
    context.AppDeleteDoc(nullptr);
    EXPECT_EQ(context.GetCurrentDoc(), Doc(0));

    context.AppDeleteDoc(Doc(0));
    EXPECT_EQ(context.GetCurrentDoc(), nullptr);
    EXPECT_EQ(context.GetDoc(), nullptr);
    EXPECT_EQ(context.GetActiveDocument(), nullptr);
    EXPECT_EQ(context.GetCurrentIO(), nullptr) << "the handler of a forgotten document stayed current";
}

TEST(AppContext, SectionsOnShowBelongToTheCurrentDocument)
{
    tcOvraAppContext context;
    context.AppSetDoc(Doc(0));
    context.aSections.resize(2);
    context.aSections[0].pLanguage = Section(0);
    ASSERT_TRUE(context.SetSelectedSection(1));

    context.AppSetDoc(Doc(0));
    EXPECT_EQ(context.aSections.size(), 2u) << "setting the same document again dropped its sections";
    context.AppDeleteDoc(Doc(1));
    EXPECT_EQ(context.aSections.size(), 2u);
    EXPECT_EQ(context.nSelectedSection, 1);

    context.AppSetDoc(Doc(1));
    EXPECT_TRUE(context.aSections.empty());
    EXPECT_EQ(context.nSelectedSection, -1);

    context.aSections.resize(1);
    context.SetSelectedSection(0);
    context.AppDeleteDoc(Doc(1));
    EXPECT_TRUE(context.aSections.empty());
    EXPECT_EQ(context.nSelectedSection, -1);
    EXPECT_EQ(context.GetCurrentDoc(), nullptr);
}

TEST(AppContext, SelectedSectionStaysWithinTheSections)
{
    struct Case
    {
        int nIndex;
        bool bAccepted;
    };
    const Case cases[] = {{-2, false}, {-1, true}, {0, true}, {1, true}, {2, false}, {100, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nIndex);
        tcOvraAppContext context;
        context.aSections.resize(2);
        context.nSelectedSection = 0;
        EXPECT_EQ(context.SetSelectedSection(c.nIndex), c.bAccepted);
        EXPECT_EQ(context.nSelectedSection, c.bAccepted ? c.nIndex : 0);
    }
    tcOvraAppContext empty;
    EXPECT_FALSE(empty.SetSelectedSection(0));
    EXPECT_TRUE(empty.SetSelectedSection(-1));
}

TEST(AppContext, Flags)
{
    tcAppContext context;
    EXPECT_FALSE(context.GetNoUserInteraction());
    context.SetNoUserInteraction(true);
    EXPECT_TRUE(context.GetNoUserInteraction());

    // An unmatched Allow must not turn a later Prevent into a no-op.
    context.AllowBackgroundProcess();
    context.PreventBackgroundProcess();
    EXPECT_FALSE(context.CanBackgroundProcess());
    context.AllowBackgroundProcess();
    EXPECT_TRUE(context.CanBackgroundProcess());
}

TEST(AppContext, LastActivityDefaultsToNow)
{
    tcAppContext context;
    const auto Now = []
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const long long nBefore = Now();
    context.SetLastActivity();
    const long long nAfter = Now();
    EXPECT_GE(context.GetLastActivity(), nBefore);
    EXPECT_LE(context.GetLastActivity(), nAfter);
    context.SetLastActivity(1234);
    EXPECT_EQ(context.GetLastActivity(), 1234);
}

TEST(AppContext, OneGlobalContext)
{
    ASSERT_NE(tApp(), nullptr);
    EXPECT_EQ(tApp(), &g_App);
    EXPECT_EQ(gsInternalIdAttrName, "vrID");
}
