#pragma once

#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/filename.h>

#include <filesystem>
#include <string>

// Small projects for the project page tests, written into the running test's home.

// Rules that break after ".", "?" or "!" and a blank, for every language.
inline wxString WritePageRules(const std::string& sName = "rules.srx")
{
    return WriteHomeFile(
        sName,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\">"
        "<header segmentsubflows=\"yes\" cascade=\"no\"/><body><languagerules><languagerule "
        "languagerulename=\"Default\"><rule break=\"yes\"><beforebreak>[\\.\\?!]+</beforebreak><afterbreak>\\s"
        "</afterbreak></rule></languagerule></languagerules><maprules><maprule maprulename=\"Default\"><languagemap "
        "languagepattern=\".*\" languagerulename=\"Default\"/></maprule></maprules></body></srx>");
}

// A saved project with one file whose body is sBody (trans-units), source en, target de.
inline std::string ProjectXML(const std::string& sBody, const std::string& sMemdocs = std::string(),
                              const std::string& sHeader = "<header><skl><internal-file>x</internal-file></skl></header>")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<xliff version=\"1.2\" xml:space=\"preserve\"" +
           (sMemdocs.empty() ? std::string() : " memdocs=\"" + sMemdocs + "\"") +
           "><file original=\"a.txt\" source-language=\"en\" target-language=\"de\" datatype=\"plaintext\">" +
           sHeader + sBody + "</file></xliff>";
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
