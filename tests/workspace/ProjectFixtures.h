#pragma once

#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "engine/VRProjectModel.h"
#include "tests/harness/TestFiles.h"

#include <gtest/gtest.h>
#include <wx/arrstr.h>

#include <memory>
#include <string>

// Small projects on disk for the notebook and main-window tests, in the running test's home.

// Segmentation rules that break after ".", "?" or "!" followed by a blank, for every language.
inline wxString WriteRules(const std::string& sName = "rules.srx")
{
    return WriteHomeFile(
        sName,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\">"
        "<header segmentsubflows=\"yes\" cascade=\"no\"/><body><languagerules><languagerule "
        "languagerulename=\"Default\"><rule break=\"yes\"><beforebreak>[\\.\\?!]+\\s</beforebreak><afterbreak>\\S"
        "</afterbreak></rule></languagerule></languagerules><maprules><maprule maprulename=\"Default\"><languagemap "
        "languagepattern=\".*\" languagerulename=\"Default\"/></maprule></maprules></body></srx>");
}

// Rules that are no SRX file at all.
inline wxString WriteBadRules(const std::string& sName = "bad.srx")
{
    return WriteHomeFile(sName, "this is not XML");
}

// A plain-text source document of nSentences sentences.
inline wxString WriteSource(const std::string& sName, int nSentences)
{
    std::string sText;
    for (int i = 1; i <= nSentences; ++i)
        sText += "Sentence number " + std::to_string(i) + " of " + sName + ". ";
    return WriteHomeFile(sName, sText + "\n");
}

// An empty memory file, made once per home.
inline wxString WriteMemory(const std::string& sName = "memory.tmx")
{
    const wxString sPath = HomePath(sName);
    if (!wxFileExists(sPath))
    {
        CVRMemDocManager manager;
        wxString sError;
        CVRMemDoc* pMemDoc = manager.CreateMemDoc(sPath, &sError);
        EXPECT_TRUE(pMemDoc) << sError.utf8_string();
        manager.ReleaseMemDoc(pMemDoc);
    }
    return sPath;
}

// The three plain convertors, in g_pConvertorRegistry while it lives, when no registry is there.
class ConvertorsForTest
{
public:
    ConvertorsForTest()
    {
        if (g_pConvertorRegistry)
            return;
        m_pRegistry = std::make_unique<ConvertorRegistry>();
        m_pRegistry->Register(0, "Text documents", "*.txt", "", 1.0f, AllocateConvertor_TXT);
        m_pRegistry->Register(0, "HTML documents", "*.html;*.htm", "", 1.0f, AllocateConvertor_HTML);
        m_pRegistry->Register(0, "XML documents", "*.xml", "", 1.0f, AllocateConvertor_XML);
        g_pConvertorRegistry = m_pRegistry.get();
    }
    ~ConvertorsForTest()
    {
        if (m_pRegistry && g_pConvertorRegistry == m_pRegistry.get())
            g_pConvertorRegistry = nullptr;
    }

private:
    std::unique_ptr<ConvertorRegistry> m_pRegistry;
};

// A saved project "sName.xlf" of nFiles text files (two sentences each) with the home's memory;
// returns its path. The project is saved unchanged, so opening and closing it asks nothing.
inline wxString MakeSavedProject(const std::string& sName, int nFiles)
{
    ConvertorsForTest convertors;
    wxArrayString asFiles;
    wxArrayString asLanguages;
    for (int i = 1; i <= nFiles; ++i)
    {
        asFiles.Add(WriteSource(sName + "-" + std::to_string(i) + ".txt", 2));
        asLanguages.Add("en");
    }
    CVRMemDocManager manager;
    const wxString sPath = HomePath(sName + ".xlf");
    {
        VRProjectModel model(&manager);
        model.CreateNew(WriteRules(), WriteMemory(), asFiles, asLanguages, "de", -1, nullptr);
        EXPECT_TRUE(model.Save(sPath));
    }
    return sPath;
}
