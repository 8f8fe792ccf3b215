#include "varnak/include/tcAppContext.h"

#include "varnak/include/tObjectLife.h"

#include <chrono>

namespace
{
// Every context, the program's and those scripts make.
tcLiveObjects<tcAppContext>& Contexts()
{
    static auto* pContexts = new tcLiveObjects<tcAppContext>;
    return *pContexts;
}
} // namespace

tcAppContext::tcAppContext()
{
    Contexts().Add(this);
}

tcAppContext::~tcAppContext()
{
    tNotifyDestroyed(this);
    Contexts().Remove(this);
}

tcSection::~tcSection()
{
    tNotifyDestroyed(this);
}

void tcAppContext::ForgetDocument(const tcDocument* pDoc)
{
    Contexts().ForEach([pDoc](tcAppContext* pContext) { pContext->AppDeleteDoc(const_cast<tcDocument*>(pDoc)); });
}

void tcAppContext::ForgetIO(const tcIO* pIO)
{
    Contexts().ForEach(
        [pIO](tcAppContext* pContext)
        {
            if (pContext->m_pIO == pIO)
                pContext->m_pIO = nullptr;
        });
}

void tcAppContext::AppSetDoc(tcDocument* pDoc)
{
    m_pDoc = pDoc;
}

void tcAppContext::AppSetIO(tcIO* pIO)
{
    m_pIO = pIO;
}

void tcAppContext::AppDeleteDoc(tcDocument* pDoc)
{
    if (pDoc == nullptr || pDoc != m_pDoc)
        return;
    m_pDoc = nullptr;
    // The current handler is the one that serves the current document: once the document goes, a
    // handler left behind would point at a destroyed document.
    m_pIO = nullptr;
}

void tcAppContext::SetLastActivity(long long nMillis)
{
    if (nMillis < 0)
    {
        nMillis =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
    }
    m_nLastActivity = nMillis;
}

void tcAppContext::AllowBackgroundProcess()
{
    // An unmatched Allow must not leave the count negative, or a later Prevent would not prevent.
    int n = m_nPreventBackground.load();
    while (n > 0 && !m_nPreventBackground.compare_exchange_weak(n, n - 1))
    {
    }
}

void tcOvraAppContext::AppSetDoc(tcDocument* pDoc)
{
    if (pDoc != GetCurrentDoc())
    {
        // The sections on show belong to the previous document.
        aSections.clear();
        nSelectedSection = -1;
    }
    tcAppContext::AppSetDoc(pDoc);
}

void tcOvraAppContext::AppDeleteDoc(tcDocument* pDoc)
{
    if (pDoc == nullptr || pDoc != GetCurrentDoc())
        return;
    aSections.clear();
    nSelectedSection = -1;
    tcAppContext::AppDeleteDoc(pDoc);
}

bool tcOvraAppContext::SetSelectedSection(int nIndex)
{
    if (nIndex < -1 || nIndex >= static_cast<int>(aSections.size()))
        return false;
    nSelectedSection = nIndex;
    return true;
}

namespace
{
// Never destroyed: statics of other translation units and threads still ending at exit may call
// tApp() after static destruction has begun.
union AppStorage
{
    AppStorage() : app() {}
    ~AppStorage() {}
    tcOvraAppContext app;
};
} // namespace

tcOvraAppContext* tApp()
{
    // Built on first use, so that static initialisers of other translation units may call tApp().
    static AppStorage s_storage;
    return &s_storage.app;
}

tcOvraAppContext& g_App = *tApp();

wxString g_sAppPathFull;
wxString g_sAppPath;
std::wstring g_sExecPath;
wxString g_sDataPath;
wxString g_sAppDataPath;
wxString g_sLibDataPath;
wxString g_sLogFilename;
wxString g_sAppName;
wxString gsInternalIdAttrName = "vrID";
