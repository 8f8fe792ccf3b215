// The bytes of a file, opened through each of the XLIFF, TMX and SRX handlers. Whatever loads is
// saved, reloaded and saved again: the reload must succeed and the two saves must be identical.
#include "fuzz/FuzzSupport.h"

#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"

#include <memory>
#include <string>

namespace
{
struct Loaded
{
    // The handler goes first, so that it never outlives its document.
    std::unique_ptr<tcDocument> pDoc = std::make_unique<tcDocument>();
    std::unique_ptr<tcIO> pIO;
    int nResult = -1;

    ~Loaded()
    {
        if (pIO)
            pIO->DetachDoc();
    }
};

std::unique_ptr<Loaded> Load(const tGUID& guid, const wxString& sPath)
{
    auto pLoaded = std::make_unique<Loaded>();
    pLoaded->pIO = g_pIORegistry->AllocateIO(guid);
    if (!pLoaded->pIO)
        FuzzFail("no handler");
    pLoaded->pDoc->CreateDoc("fuzz");
    pLoaded->pIO->AttachDoc(pLoaded->pDoc.get());
    pLoaded->pIO->OpenDatasource(sPath);
    int nProgress = 0;
    do
    {
        pLoaded->nResult = pLoaded->pIO->LoadDictionary(nProgress, nullptr);
    } while (pLoaded->nResult > 0);
    if (pLoaded->nResult < 0 && pLoaded->pDoc->GetDictionary())
        FuzzFail("a failed load kept a document");
    return pLoaded;
}

std::string Errors(const tcIO& io)
{
    std::string s;
    for (int i = 0; i < io.GetNumLoadErrors(); ++i)
        s += io.GetLoadError(i).utf8_string() + "\n";
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzInit();
    const wxString sInput = FuzzWriteFile("input.xml", pData, nSize);
    const tGUID* const apGuids[] = {&XLIFFImporterGUID(), &TMXImporterGUID(), &SRXImporterGUID()};
    for (const tGUID* pGuid : apGuids)
    {
        std::unique_ptr<Loaded> pFirst = Load(*pGuid, sInput);
        if (pFirst->nResult != 0)
            continue;
        const wxString sSaved = FuzzPath("saved.xml");
        // A document of another shape than the format's own is not written; that is no fault.
        if (pFirst->pIO->SaveAs(sSaved, nullptr) != 0)
            continue;
        const std::string sFirst = FuzzReadFile(sSaved);
        pFirst.reset();

        std::unique_ptr<Loaded> pSecond = Load(*pGuid, sSaved);
        if (pSecond->nResult != 0)
            FuzzFail("a saved file does not load again", Errors(*pSecond->pIO) + "---\n" + sFirst);
        const wxString sResaved = FuzzPath("resaved.xml");
        if (pSecond->pIO->SaveAs(sResaved, nullptr) != 0)
            FuzzFail("a reloaded file does not save", sFirst);
        const std::string sSecond = FuzzReadFile(sResaved);
        if (sSecond != sFirst)
            FuzzFail("saving the reloaded file changed it", sFirst + "\n---\n" + sSecond);
    }
    return 0;
}
