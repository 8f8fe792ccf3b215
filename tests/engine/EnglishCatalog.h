#pragma once

#include "varnak/include/tcLocalisationEngine.h"

#include <gtest/gtest.h>

// The program's own English texts while it lives (from the source tree, which the fixtures sit in),
// so that a test sees the words of a message and not only its key.
class EnglishCatalog
{
public:
    EnglishCatalog()
    {
        EXPECT_TRUE(g_LocEngine.LoadLocStrings(LINTRADO_FIXTURES_DIR "/../../Data/Lintrado/Languages/English.lang",
                                               true, true));
    }
    ~EnglishCatalog() { g_LocEngine.Clear(); }
    EnglishCatalog(const EnglishCatalog&) = delete;
    EnglishCatalog& operator=(const EnglishCatalog&) = delete;
};
