// A document's bytes, converted as HTML, as XML and as text into a project, each file written back
// in the source and the target language, and the project saved, reloaded and saved again: the
// reload must succeed and the two saves must be identical.
#include "fuzz/FuzzSupport.h"

#include "Shared/VRSRXDoc.h"
#include "engine/Convertor.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"
#include "engine/XLIFFDTD.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"

#include <memory>
#include <string>
#include <vector>

namespace
{
// A break after ".", "?" or "!" followed by white space, before the white space.
const char* const kRules = R"(<?xml version="1.0" encoding="UTF-8"?>
<srx xmlns="http://www.lisa.org/srx20" version="2.0"><header segmentsubflows="yes" cascade="no"/><body>
<languagerules><languagerule languagerulename="Default">
<rule break="yes"><beforebreak>[\.\?!]+</beforebreak><afterbreak>\s</afterbreak></rule>
</languagerule></languagerules>
<maprules><maprule maprulename="Default"><languagemap languagepattern=".*" languagerulename="Default"/></maprule></maprules>
</body></srx>
)";

// Made once and never freed: the library's statics it uses on destruction may be gone at exit.
CVRSRXDoc& Rules()
{
    static CVRSRXDoc* s_pRules = nullptr;
    if (!s_pRules)
    {
        s_pRules = new CVRSRXDoc(FuzzWriteFile("rules.srx", kRules));
        s_pRules->SetLanguage(L"en");
    }
    return *s_pRules;
}

typedef std::unique_ptr<tcConvertor> (*ConvertorFactory)(tcDocument* pDoc, const wxString& sSourceLanguage);

// Loads a saved project through the XLIFF handler and saves it again; returns the bytes written.
std::string ReloadAndSave(const wxString& sSaved, const std::string& sContext)
{
    tcDocument doc;
    doc.CreateDoc("reloaded");
    std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
    pIO->AttachDoc(&doc);
    pIO->OpenDatasource(sSaved);
    int nProgress = 0;
    int nResult;
    while ((nResult = pIO->LoadDictionary(nProgress, nullptr)) > 0)
    {
    }
    if (nResult != 0)
    {
        std::string sErrors;
        for (int i = 0; i < pIO->GetNumLoadErrors(); ++i)
            sErrors += pIO->GetLoadError(i).utf8_string() + "\n";
        FuzzFail("a saved project does not load again", sContext + "\n" + sErrors);
    }
    // As the project page does with every project it opens.
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, true);
    const wxString sResaved = FuzzPath("resaved.xlf");
    if (pIO->SaveAs(sResaved, nullptr) != 0)
        FuzzFail("a reloaded project does not save", sContext);
    pIO->DetachDoc();
    return FuzzReadFile(sResaved);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzInit();
    CVRSRXDoc& rules = Rules();
    struct Kind
    {
        const char* szName;
        ConvertorFactory pfnAllocate;
    };
    const Kind aKinds[] = {
        {"document.html", AllocateConvertor_HTML},
        {"document.xml", AllocateConvertor_XML},
        {"document.txt", AllocateConvertor_TXT},
    };

    tcDocument doc;
    doc.CreateDoc("project");
    tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, false);
    for (const Kind& kind : aKinds)
    {
        const wxString sSource = FuzzWriteFile(kind.szName, pData, nSize);
        std::unique_ptr<tcConvertor> pConvertor = kind.pfnAllocate(&doc, L"en");
        // A document that does not read still gets its file element, segmented from what was read.
        pConvertor->Convert(&dtd, sSource, pRoot, &rules, nullptr, L"en", L"de", -1, nullptr);
        tcNode* pBody = pConvertor->GetBodyNode();
        tcNode* pFile = pBody ? pBody->GetParent() : nullptr;
        if (!pFile)
            continue;
        for (const wchar_t* szLanguage : {L"en", L"de"})
            pConvertor->OutputTranslation(&dtd, FuzzPath(std::string("output.") + kind.szName), szLanguage, pFile);
    }

    const wxString sSaved = FuzzPath("project.xlf");
    if (OutputXLIFF(&doc, nullptr, sSaved) != 0)
        FuzzFail("a new project does not save");
    const std::string sFirst = FuzzReadFile(sSaved);
    // A new project, once reloaded, saves to the same bytes, and so does every later reload.
    const std::string sSecond = ReloadAndSave(sSaved, sFirst);
    if (sSecond != sFirst)
        FuzzFail("saving the reopened new project changed it", sFirst + "\n---\n" + sSecond);
    const wxString sResaved = FuzzWriteFile("project2.xlf", sSecond);
    const std::string sThird = ReloadAndSave(sResaved, sSecond);
    if (sThird != sSecond)
        FuzzFail("saving the reloaded project changed it", sSecond + "\n---\n" + sThird);
    return 0;
}
