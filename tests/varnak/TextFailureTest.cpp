#include "varnak/include/TextFailure.h"

#include <gtest/gtest.h>

// A failure thrown as text must reach a plain std::exception handler with its wide text intact.
TEST(TextFailure, WideTextSurvivesStdExceptionHandlers)
{
    const wxString text = wxString::FromUTF8("Datei «ž» fehlt");
    try
    {
        throw TextFailure(text);
    }
    catch (const std::exception& e)
    {
        EXPECT_EQ(wxString::FromUTF8(e.what()), text);
        EXPECT_EQ(dynamic_cast<const TextFailure&>(e).GetText(), text);
    }
}
