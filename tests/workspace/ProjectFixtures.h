#pragma once

#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "engine/VRProjectModel.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <gtest/gtest.h>
#include <wx/arrstr.h>
#include <wx/filename.h>

#include <filesystem>
#include <memory>
#include <string>

// Small projects and the environment they need, for the project page, notebook and main-window tests;
// every file goes into the running test's home.

// Where the blank between two sentences goes when rules break there.
enum class BlankGoes
{
    WithSentenceBefore,
    WithNextSentence
};

// Segmentation rules that break after ".", "?" or "!" and a blank, for every language.
inline wxString WriteRules(const std::string& sName = "rules.srx", BlankGoes eBlank = BlankGoes::WithSentenceBefore)
{
    const bool bBefore = eBlank == BlankGoes::WithSentenceBefore;
    const std::string sBefore = bBefore ? "[\\.\\?!]+\\s" : "[\\.\\?!]+";
    const std::string sAfter = bBefore ? "\\S" : "\\s";
    return WriteHomeFile(
        sName,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\">"
        "<header segmentsubflows=\"yes\" cascade=\"no\"/><body><languagerules><languagerule "
        "languagerulename=\"Default\"><rule break=\"yes\"><beforebreak>" +
            sBefore + "</beforebreak><afterbreak>" + sAfter +
            "</afterbreak></rule></languagerule></languagerules><maprules><maprule maprulename=\"Default\">"
            "<languagemap languagepattern=\".*\" languagerulename=\"Default\"/></maprule></maprules></body></srx>");
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

// A saved project with one file whose body is sBody (trans-units), source en, target de.
inline std::string
ProjectXML(const std::string& sBody, const std::string& sMemdocs = std::string(),
           const std::string& sHeader = "<header><skl><internal-file>x</internal-file></skl></header>")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<xliff version=\"1.2\" xml:space=\"preserve\"" +
           (sMemdocs.empty() ? std::string() : " memdocs=\"" + sMemdocs + "\"") +
           "><file original=\"a.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\">" + sHeader +
           sBody + "</file></xliff>";
}

// Importers, the txt and html convertors, the program's catalog; cleared again by Done.
class PageEnvironment
{
public:
    PageEnvironment()
    {
        Init_XLIFFImporter();
        Init_TMXImporter();
        Init_SRXImporter();
        m_registry.Register(1, L"Text documents", L"*.txt", L"Plain text", 1.0f, AllocateConvertor_TXT);
        m_registry.Register(2, L"HTML documents", L"*.html;*.htm", L"HTML", 1.0f, AllocateConvertor_HTML);
        g_pConvertorRegistry = &m_registry;
        // The build copies the data beside the programs.
        const wxString sData =
            wxFileName(wxString(std::filesystem::read_symlink("/proc/self/exe").wstring())).GetPath() + "/../Data/";
        g_LocEngine.LoadLocStrings(sData + "Lintrado/Languages/English.lang", true, true);
    }
    ~PageEnvironment()
    {
        g_pConvertorRegistry = nullptr;
        g_LocEngine.Clear();
        tApp()->AppSetDoc(nullptr);
        tApp()->AppSetIO(nullptr);
    }
    PageEnvironment(const PageEnvironment&) = delete;
    PageEnvironment& operator=(const PageEnvironment&) = delete;

    ConvertorRegistry& Registry() { return m_registry; }

private:
    ConvertorRegistry m_registry;
};
