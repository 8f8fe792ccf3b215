#pragma once

#include "platform/WordAutomation.h"

#include <wx/string.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// An in-memory Word for the tests of the Word convertor, installed as the provider while it lives.
// A document is text with a shading and a border colour per character (-1: none); its files are
// the line "FAKEWORD" followed by the text in UTF-8, so a document survives being kept as
// hexadecimal text. The template's macros are scripted: GetMaxRange gives m_nMaxRange, CompRanges
// queues (in place of what it held) the scripted results whose position lies in its range, and
// GetDiffs hands them out in order and "" when none is left. The add-in fails when the template
// file is missing. Every call goes to one log, in order.

class CFakeWordProvider;

// A file of the fake holding sText.
std::string FakeWordFile(const wxString& sText);

class CFakeWordDocument : public IWordDocument
{
public:
    CFakeWordDocument(CFakeWordProvider& provider, const wxString& sPath, const wxString& sText);

    std::unique_ptr<IWordRange> Range(long nStart, long nEnd) override;
    bool SaveAs(const wxString& sPath) override;
    bool Save() override;
    void Close(bool bSave) override;
    void Protect(int nType) override;
    void UnProtect() override;

    // Replaces the characters nStart to nEnd (clamped) by sText, with no highlight.
    void Replace(long nStart, long nEnd, const wxString& sText);
    // The character ranges "[a,b)" with the shading (or border) colour nColour, joined by " ".
    std::string ShadedRanges(long nColour) const;
    std::string BorderedRanges(long nColour) const;

    CFakeWordProvider& m_provider;
    wxString m_sPath;
    wxString m_sText;
    std::vector<long> m_aShading;
    std::vector<long> m_aBorder;
    bool m_bClosed = false;
    // The protection type; 0 while unprotected.
    int m_nProtection = 0;
};

class CFakeWordHost : public IWordPreviewHost
{
public:
    CFakeWordHost(CFakeWordProvider& provider, wxWindow* pPanel);
    ~CFakeWordHost() override;

    void Open(const wxString& sPath) override;
    void Close() override;
    IWordDocument* GetActiveDocument() override;
    void ApplyViewSettings() override;

    CFakeWordProvider& m_provider;
    wxWindow* m_pPanel;
    std::shared_ptr<CFakeWordDocument> m_pActive;
};

class CFakeWordProvider : public IWordProvider
{
public:
    // One scripted GetDiffs result: queued by a CompRanges whose range holds nPosition; bFail makes
    // the call fail instead.
    struct SResult
    {
        long nPosition = 0;
        wxString sResult;
        bool bFail = false;
    };

    // Installs itself; the destructor puts the previous provider back.
    CFakeWordProvider();
    ~CFakeWordProvider() override;
    CFakeWordProvider(const CFakeWordProvider&) = delete;
    CFakeWordProvider& operator=(const CFakeWordProvider&) = delete;

    bool IsAvailable() override { return m_bAvailable; }
    std::unique_ptr<IWordApplication> Start() override;
    wxString GetUserTemplateDir() override { return m_sTemplateDir; }
    std::unique_ptr<IWordPreviewHost> CreatePreviewHost(wxWindow* pPanel) override;

    void Log(const std::string& sCall) { m_asLog.push_back(sCall); }
    // The calls logged whose text starts with one of the prefixes, in order.
    std::vector<std::string> Calls(const std::vector<std::string>& asPrefixes) const;

    bool m_bAvailable = true;
    bool m_bCanStart = true;
    wxString m_sTemplateDir;
    long m_nMaxRange = 0;
    std::vector<SResult> m_aResults;

    std::vector<std::string> m_asLog;
    // Every document any Word of the fake opened, in order; they stay inspectable after Word quit.
    std::vector<std::shared_ptr<CFakeWordDocument>> m_apDocuments;
    int m_nStarted = 0;
    int m_nQuit = 0;
    int m_nHostsMade = 0;
    // The live preview host, null when none.
    CFakeWordHost* m_pHost = nullptr;
    // Called whenever the host shows another document or its document changes text (window tests
    // draw it).
    std::function<void(CFakeWordHost&)> m_fnOnHostChanged;

private:
    IWordProvider* m_pPrevious = nullptr;
};
