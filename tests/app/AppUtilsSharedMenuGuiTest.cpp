#include "Shared/AppUtils_sharedMenu.h"

#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TempHome.h"
#include "tests/harness/TestFiles.h"

#include "varnak/include/tAssert.h"
#include "varnak/include/tcAppContext.h"

#include <wx/image.h>
#include <wx/menu.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// A PNG of nSize x nSize pixels at path, its folders created.
void WritePNG(const fs::path& path, int nSize)
{
    fs::create_directories(path.parent_path());
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxImage image(nSize, nSize);
    image.SetRGB(wxRect(0, 0, nSize, nSize), 200, 30, 30);
    ASSERT_TRUE(image.SaveFile(wxString(path.string()), wxBITMAP_TYPE_PNG));
}

// Image folders of a test program: g_sAppDataPath and g_sDataPath point into the test's home.
class AppUtilsSharedMenu : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_sSavedAppData = g_sAppDataPath;
        m_sSavedData = g_sDataPath;
        m_home = TempHomeListener::Current();
        g_sAppDataPath = (m_home / "Data/Lintrado").string();
        g_sDataPath = (m_home / "Data").string();
    }
    void TearDown() override
    {
        g_sAppDataPath = m_sSavedAppData;
        g_sDataPath = m_sSavedData;
        GuiTest::TearDown();
    }

    fs::path m_home;

private:
    wxString m_sSavedAppData, m_sSavedData;
};

struct MenuCase
{
    const char* szLabel;
    std::string sImage;
    bool bCheckable;
    const char* szExpectedLabel;
    int nExpectedImageSize; // 0: no image
};

TEST_F(AppUtilsSharedMenu, ItemsTakeTheirLabelAndImage)
{
    WritePNG(m_home / "Data/Lintrado/Images/Menu/open.png", 16); // the application's own folder first
    WritePNG(m_home / "Data/Images/Menu/open.png", 24);
    WritePNG(m_home / "Data/Images/Menu/save.png", 20); // else the shared data folder
    WritePNG(m_home / "elsewhere/print.png", 12);
    WriteBytes(m_home / "Data/Images/Menu/broken.png", "not a PNG");

    const std::vector<MenuCase> aCases = {
        {"Open/mac/Open File\tCtrl+O", "open.png", false, "Open", 16},
        {"Quit\tAlt+F4/mac/Cmd+Q", "", false, "Quit\tAlt+F4", 0},
        {"Save/mac/Save File", "save.png", false, "Save", 20},
        {"Print", (m_home / "elsewhere/print.png").string(), false, "Print", 12},
        {"Missing", "missing.png", false, "Missing", 0},
        {"Broken", "broken.png", false, "Broken", 0}, // no image, and nothing shown to the user
        {"Wrap/mac/Wrap Lines", "open.png", true, "Wrap", 16},
    };
    wxMenu menu;
    for (size_t i = 0; i < aCases.size(); ++i)
    {
        const MenuCase& c = aCases[i];
        SCOPED_TRACE(c.szLabel);
        wxMenuItem* pItem = AppendMenuItem(&menu, 100 + static_cast<int>(i), wxString::FromUTF8(c.szLabel),
                                           "help " + wxString(c.szLabel), wxString(c.sImage), c.bCheckable,
                                           c.bCheckable ? "save.png" : "");
        ASSERT_NE(pItem, nullptr);
        EXPECT_EQ(menu.FindItemByPosition(i), pItem);
        EXPECT_EQ(pItem->GetItemLabel(), wxString::FromUTF8(c.szExpectedLabel));
        EXPECT_EQ(pItem->GetHelp(), "help " + wxString(c.szLabel));
        EXPECT_EQ(pItem->IsCheckable(), c.bCheckable);
        const wxBitmap bitmap = pItem->GetBitmap();
        EXPECT_EQ(bitmap.IsOk(), c.nExpectedImageSize > 0);
        if (c.nExpectedImageSize > 0)
        {
            EXPECT_EQ(bitmap.GetWidth(), c.nExpectedImageSize);
        }
    }

    wxMenuItem* pCheck = AppendCheckItem(&menu, 200, "Bold/mac/Bold Text", "");
    EXPECT_TRUE(pCheck->IsCheckable());
    EXPECT_EQ(pCheck->GetItemLabel(), "Bold");

    // A ready bitmap: the label is kept as it stands.
    wxMenuItem* pReady = AppendMenuItem(&menu, 201, "As/mac/Is", tGetBitmap(0));
    EXPECT_EQ(pReady->GetItemLabel(), "As/mac/Is");
    EXPECT_EQ(pReady->GetHelp(), "");
    EXPECT_EQ(menu.GetMenuItemCount(), aCases.size() + 2);

    EXPECT_EQ(AppendMenuItem(nullptr, 1, "x", ""), nullptr);
}

TEST_F(AppUtilsSharedMenu, BitmapListNumbersFromOne)
{
    WritePNG(m_home / "a.png", 8);
    WritePNG(m_home / "b.png", 9);
    WriteBytes(m_home / "broken.png", "not a PNG");
    WritePNG(m_home / "c.PNG", 10);
    const auto Path = [&](const char* szName) { return wxString((m_home / szName).string()); };

    AssertRecorder asserts;
    const unsigned k = static_cast<unsigned>(g_aBitmaps.size()); // the list is the process's
    EXPECT_EQ(tLoadBitmap(Path("a.png")), k + 1);
    EXPECT_EQ(tLoadBitmap(Path("b.png")), k + 2);
    EXPECT_EQ(tLoadBitmap(Path("broken.png")), k + 3); // kept, as an empty bitmap
    EXPECT_TRUE(asserts.asExpressions.empty());

    // Not a ".png" path (the test is case-sensitive): refused, and 0 names the null bitmap rather
    // than a number the next load would hand out again.
    EXPECT_EQ(tLoadBitmap(Path("c.PNG")), 0u);
    EXPECT_EQ(tLoadBitmap(Path("a.bmp")), 0u);
    EXPECT_EQ(asserts.asExpressions, (std::vector<std::string>{"[Soft]0", "[Soft]0"}));
    EXPECT_EQ(tLoadBitmap(Path("a.png")), k + 4);

    EXPECT_EQ(tGetBitmap(k + 1).GetWidth(), 8);
    EXPECT_EQ(tGetBitmap(k + 2).GetWidth(), 9);
    EXPECT_FALSE(tGetBitmap(k + 3).IsOk());
    EXPECT_EQ(&tGetBitmap(0), &wxNullBitmap);
    const wxBitmap* pFirst = &tGetBitmap(k + 1);
    for (int i = 0; i < 100; ++i)
        tLoadBitmap(Path("b.png"));
    EXPECT_EQ(&tGetBitmap(k + 1), pFirst); // references stay valid as the list grows

    asserts.Clear();
    EXPECT_EQ(&tGetBitmap(static_cast<unsigned>(g_aBitmaps.size()) + 1), &wxNullBitmap);
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"nIndex<g_aBitmaps.size()"});
}
} // namespace
