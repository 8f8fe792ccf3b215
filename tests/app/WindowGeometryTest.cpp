#include "app/WindowGeometry.h"

#include "varnak/include/kvLog.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <memory>

namespace
{
std::unique_ptr<wxFileConfig> ConfigFromText(const char* szText)
{
    wxStringInputStream in(wxString::FromUTF8(szText));
    auto pConfig = std::make_unique<wxFileConfig>(in);
    pConfig->SetExpandEnvVars(false);
    return pConfig;
}

TEST(WindowGeometry, StoredValuesAreReadOverTheDefaultsAndLogged)
{
    struct Case
    {
        const char* szStored;
        const char* szLogLine;
        tcWindowGeometry expected;
    } aCases[] = {
        {"", "Window settings: Maximized (0 0, 780 585)", {true, 0, 0, 780, 585}},
        {"[Window]\nmaximized=0\nx=30\ny=40\nwidth=1000\nheight=700\n",
         "Window settings: Not maximized (30 40, 1000 700)",
         {false, 30, 40, 1000, 700}},
        {"[Window]\nwidth=500\n", "Window settings: Maximized (0 0, 500 585)", {true, 0, 0, 500, 585}},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szStored);
        auto pConfig = ConfigFromText(c.szStored);
        tcLogCapture log;

        tcWindowGeometry geometry = ReadWindowGeometry(pConfig.get());

        EXPECT_EQ(c.expected.bMaximized, geometry.bMaximized);
        EXPECT_EQ(c.expected.x, geometry.x);
        EXPECT_EQ(c.expected.y, geometry.y);
        EXPECT_EQ(c.expected.nWidth, geometry.nWidth);
        EXPECT_EQ(c.expected.nHeight, geometry.nHeight);
        EXPECT_EQ(std::vector<wxString>{c.szLogLine}, log.Lines());
    }
}

TEST(WindowGeometry, WithoutAStoreTheDefaultsApply)
{
    tcWindowGeometry geometry = ReadWindowGeometry(nullptr);
    EXPECT_TRUE(geometry.bMaximized);
    EXPECT_EQ(780, geometry.nWidth);
    EXPECT_EQ(585, geometry.nHeight);
}

TEST(WindowGeometry, ClampingKeepsTheWindowUsableOnTheDisplay)
{
    const wxSize area(1280, 1000);
    struct Case
    {
        tcWindowGeometry stored;
        tcWindowGeometry expected;
    } aCases[] = {
        {{false, 10, 20, 500, 300}, {false, 10, 20, 640, 480}},
        {{false, 10, 20, 640, 480}, {false, 10, 20, 640, 480}},
        {{false, 10, 20, 641, 481}, {false, 10, 20, 641, 481}},
        {{false, -5, -1, 800, 600}, {false, 0, 0, 800, 600}},
        {{false, 1280, 1000, 800, 600}, {false, 0, 0, 800, 600}},
        {{false, 1279, 999, 800, 600}, {false, 1279, 999, 800, 600}},
        // Sizes larger than the display stay: the window manager fits them.
        {{true, 0, 0, 4000, 3000}, {true, 0, 0, 4000, 3000}},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(testing::Message() << c.stored.x << "," << c.stored.y << " " << c.stored.nWidth << "x"
                                        << c.stored.nHeight);
        tcWindowGeometry geometry = ClampWindowGeometry(c.stored, area);
        EXPECT_EQ(c.expected.bMaximized, geometry.bMaximized);
        EXPECT_EQ(c.expected.x, geometry.x);
        EXPECT_EQ(c.expected.y, geometry.y);
        EXPECT_EQ(c.expected.nWidth, geometry.nWidth);
        EXPECT_EQ(c.expected.nHeight, geometry.nHeight);
    }
}
} // namespace
