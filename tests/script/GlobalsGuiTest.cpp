// Global routines of the binding package that make windows, through scripts.

#include "script/tolua.h"
#include "tests/harness/GuiTest.h"
#include "tests/script/ScriptTestSupport.h"

#include <wx/menu.h>

namespace
{
class GlobalsGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_EQ(m_state.OpenPackage(), "");
    }

    ScriptState m_state;
};

struct ItemCase
{
    int nID;
    const char* szLabel;
    const char* szHelp;
    bool bCheckable;
};

TEST_F(GlobalsGuiTest, AppendMenuItemFormFollowsTheArguments)
{
    wxMenu menu;
    tolua_pushusertype(m_state.L(), &menu, "wxMenu");
    lua_setglobal(m_state.L(), "menu");
    ASSERT_EQ(m_state.RunFixture("globals_menu.lua"), "");

    // the image-name forms process the label; the ready-bitmap form keeps it as it stands
    const ItemCase aCases[] = {
        {100, "Open", "opens", false},      {101, "Wrap", "wraps", true}, {102, "Mark", "marks", true},
        {103, "As/mac/Is", "", false},      {104, "Bold", "", true},      {105, "Italic", "", true},
    };
    ASSERT_EQ(menu.GetMenuItemCount(), std::size(aCases));
    for (size_t i = 0; i < std::size(aCases); ++i)
    {
        const ItemCase& c = aCases[i];
        SCOPED_TRACE(c.nID);
        const wxMenuItem* pItem = menu.FindItemByPosition(i);
        EXPECT_EQ(pItem->GetId(), c.nID);
        EXPECT_EQ(pItem->GetItemLabel(), c.szLabel);
        EXPECT_EQ(pItem->GetHelp(), c.szHelp);
        EXPECT_EQ(pItem->IsCheckable(), c.bCheckable);
    }
}
} // namespace
