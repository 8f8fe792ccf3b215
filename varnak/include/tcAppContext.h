#pragma once

#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <atomic>
#include <string>
#include <vector>

class tcDocument;
class tcIO;
class tcLanguage;
class tcEntry;
class tcNode;

// The library's application identity.
class tcApplication
{
public:
    virtual ~tcApplication() = default;
    void SetAppName(const wxString& sName) { m_sAppName = sName; }
    const wxString& GetAppName() const { return m_sAppName; }

private:
    wxString m_sAppName;
};

// The application context: the current document and IO handler that scripts and shared routines
// act on, the no-user-interaction flag and the reporting flags. Main thread, except the flags,
// which any thread may read.
class tcAppContext : public tcLifeNoticed, public tcApplication
{
public:
    tcAppContext();
    ~tcAppContext() override;
    // Every context lets a document or a handler go that is being destroyed, so that none keeps
    // it as its current one.
    static void ForgetDocument(const tcDocument* pDoc);
    static void ForgetIO(const tcIO* pIO);

    // Makes pDoc the current document (not owned; null clears it).
    virtual void AppSetDoc(tcDocument* pDoc);
    // Makes pIO the current handler (not owned; null clears it).
    virtual void AppSetIO(tcIO* pIO);
    // Forgets pDoc (and the current handler, when it serves pDoc) if it is the current document.
    // The caller still owns and destroys the document.
    virtual void AppDeleteDoc(tcDocument* pDoc);

    tcDocument* GetCurrentDoc() const { return m_pDoc; }
    tcIO* GetCurrentIO() const { return m_pIO; }
    tcDocument* GetDoc() const { return m_pDoc; }
    tcDocument* GetActiveDocument() const { return m_pDoc; }

    // In no-user-interaction mode nothing modal is shown: messages are only logged.
    void SetNoUserInteraction(bool b) { m_bNoUserInteraction = b; }
    bool GetNoUserInteraction() const { return m_bNoUserInteraction; }

    // Milliseconds since the epoch of the latest user activity.
    long long GetLastActivity() const { return m_nLastActivity; }
    void SetLastActivity(long long nMillis = -1); // -1: now

    // Background (idle-time) processing is allowed while no one prevents it; calls nest.
    void PreventBackgroundProcess() { ++m_nPreventBackground; }
    void AllowBackgroundProcess();
    bool CanBackgroundProcess() const { return m_nPreventBackground.load() == 0; }

    // Set while an assertion is being reported and after a fatal exception.
    void SetAsserting(bool b) { m_bAsserting = b; }
    bool IsAsserting() const { return m_bAsserting; }
    void SetFatalException(bool b) { m_bFatalException = b; }
    bool HadFatalException() const { return m_bFatalException; }

private:
    tcDocument* m_pDoc = nullptr;
    tcIO* m_pIO = nullptr;
    std::atomic<bool> m_bNoUserInteraction{false};
    std::atomic<long long> m_nLastActivity{0};
    std::atomic<int> m_nPreventBackground{0};
    std::atomic<bool> m_bAsserting{false};
    std::atomic<bool> m_bFatalException{false};
};

// A section on show, with its selected entry and node.
struct tcSection : public tcLifeNoticed
{
    tcSection() = default;
    tcSection(const tcSection&) = default;
    tcSection& operator=(const tcSection&) = default;
    ~tcSection();

    tcLanguage* pLanguage = nullptr;
    tcEntry* pSelectedEntry = nullptr;
    tcNode* pSelectedNode = nullptr;
};

// The editor's context: also the sections on show.
class tcOvraAppContext : public tcAppContext
{
public:
    void AppSetDoc(tcDocument* pDoc) override;
    // Also forgets the sections.
    void AppDeleteDoc(tcDocument* pDoc) override;
    // Selects section nIndex (-1 for none); out-of-range indexes are refused with false.
    bool SetSelectedSection(int nIndex);

    int nSelectedSection = -1;
    std::vector<tcSection> aSections;
};

// The one application context: never null, never destroyed, usable from static initialisers.
tcOvraAppContext* tApp();
// The same object; bound during static initialisation, so code that itself runs during static
// initialisation uses tApp() instead.
extern tcOvraAppContext& g_App;

// Application paths, set once at start-up; every one uses "/" as separator.
extern wxString g_sAppPathFull;
extern wxString g_sAppPath;
extern std::wstring g_sExecPath;
extern wxString g_sDataPath;
extern wxString g_sAppDataPath;
extern wxString g_sLibDataPath;
extern wxString g_sLogFilename;
extern wxString g_sAppName;
extern wxString gsInternalIdAttrName; // "vrID"
