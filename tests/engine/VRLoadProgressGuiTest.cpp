#include "workspace/VRLoadProgress.h"

#include "tests/harness/GuiTest.h"

#include <climits>

namespace
{
class VRLoadProgressGui : public GuiTest
{
};

// The dialog must never reach its maximum (it would show itself finished between files), and a
// convertor advancing it from GetValue() must build on what the dialog really shows.
TEST_F(VRLoadProgressGui, KeepsTheValueItShowsBelowTheMaximum)
{
    VRLoadProgress dialog("Adding files to project", "Adding files to project");
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(dialog.GetRange(), 10000);
    EXPECT_EQ(dialog.GetValue(), 0);

    const struct
    {
        int nSet;
        int nKept;
    } cases[] = {
        {500, 500}, {9998, 9998}, {9999, 9999}, {10000, 9999}, {INT_MAX, 9999}, {1000, 1000}, {-1, 0}, {INT_MIN, 0},
    };
    tcConvertorProgress& progress = dialog;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSet);
        progress.SetValue(c.nSet);
        EXPECT_EQ(progress.GetValue(), c.nKept);
        EXPECT_EQ(dialog.wxProgressDialog::GetValue(), c.nKept) << "the gauge";
    }

    // Two files of a text convertor: each adds 500 and ends with the maximum.
    progress.SetValue(0);
    for (int nFile = 0; nFile < 2; ++nFile)
    {
        progress.SetValue(progress.GetValue() + 500);
        EXPECT_EQ(dialog.wxProgressDialog::GetValue(), nFile ? 9999 : 500);
        progress.SetValue(tcConvertorProgress::kMaximum);
        EXPECT_EQ(progress.GetValue(), 9999);
    }
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(dialog.GetMessage(), "Adding files to project") << "updates leave the message alone";
}
} // namespace
