#pragma once

#include "Shared/Options.h"
#include "platform/ConfigStore.h"
#include "tests/platform/WxConsoleApp.h"
#include "tests/varnak/TestSupport.h"
#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>
#include <wx/confbase.h>
#include <wx/stdpaths.h>

// A store over files in the test's home (the machine-wide one under "etc"), fresh options, and
// application and data folders of their own; everything global is put back afterwards.
class OptionsFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sSavedAppPath = g_sAppPath;
        m_sSavedDataPath = g_sDataPath;
        g_sAppPath = HomePath("app");
        g_sDataPath = HomePath("app/Data");
        g_Options = COptions();
        tGetAppProperties()->Clear();
        OpenStore();
    }

    void TearDown() override
    {
        tDeleteConfigStore();
        tSetFontExistsCheck(nullptr);
        tGetAppProperties()->Clear();
        g_Options = COptions();
        g_sAppPath = m_sSavedAppPath;
        g_sDataPath = m_sSavedDataPath;
    }

    static wxString LocalFile() { return HomePath(".config/Korvendel/Lintrado.conf"); }
    static wxString GlobalFile() { return HomePath("etc/Korvendel/Lintrado.conf"); }

    // Closes the store (flushing it) and opens it again from the files, as the next run would.
    static void OpenStore() { tCreateConfigStore(LocalFile(), GlobalFile()); }

    // Writes the per-user file and opens the store on it.
    static void StartWith(const std::string& sLocal)
    {
        tDeleteConfigStore();
        WriteHomeFile(".config/Korvendel/Lintrado.conf", sLocal);
        OpenStore();
    }

    // A value as a fresh store reads it from the files; "<missing>" when absent.
    static wxString Stored(const wxString& sGroup, const wxString& sKey)
    {
        ConfigStore store(LocalFile(), GlobalFile());
        store.SetPath(sGroup);
        wxString sValue = L"<missing>";
        store.Read(sKey, &sValue);
        return sValue;
    }

    static wxString Documents() { return wxStandardPaths::Get().GetDocumentsDir(); }

private:
    wxString m_sSavedAppPath;
    wxString m_sSavedDataPath;
};
