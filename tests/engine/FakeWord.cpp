#include "tests/engine/FakeWord.h"

#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tTextFile.h"

#include <wx/filefn.h>

#include <algorithm>
#include <optional>

namespace
{
constexpr char kszMagic[] = "FAKEWORD\n";

std::string Utf8(const wxString& s)
{
    return s.utf8_string();
}

std::optional<wxString> ReadFakeFile(const wxString& sPath)
{
    const std::optional<std::string> sBytes = tReadFileBytes(sPath);
    const std::string sMagic(kszMagic);
    if (!sBytes || sBytes->compare(0, sMagic.size(), sMagic) != 0)
        return std::nullopt;
    return wxString::FromUTF8(sBytes->substr(sMagic.size()));
}

std::string Ranges(const std::vector<long>& aColours, long nColour)
{
    std::string sOut;
    size_t i = 0;
    while (i < aColours.size())
    {
        if (aColours[i] != nColour)
        {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < aColours.size() && aColours[j] == nColour)
            ++j;
        sOut += (sOut.empty() ? "" : " ") + std::string("[") + std::to_string(i) + "," + std::to_string(j) + ")";
        i = j;
    }
    return sOut;
}

class CFakeWordRange : public IWordRange
{
public:
    CFakeWordRange(CFakeWordDocument& doc, long nStart, long nEnd) : m_doc(doc)
    {
        const long nLength = static_cast<long>(doc.m_sText.length());
        m_nStart = std::clamp(nStart, 0L, nLength);
        m_nEnd = std::clamp(nEnd, m_nStart, nLength);
    }

    wxString GetText() override { return m_doc.m_sText.substr(m_nStart, m_nEnd - m_nStart); }
    bool SetText(const wxString& sText) override
    {
        m_doc.m_provider.Log("SetText(" + Utf8(sText) + ")");
        if (m_doc.m_nProtection != 0)
            return false;
        // Word keeps a paragraph mark where a line feed is put.
        wxString sStored = sText;
        sStored.Replace(L"\n", L"\r");
        m_doc.Replace(m_nStart, m_nEnd, sStored);
        m_nEnd = m_nStart + static_cast<long>(sStored.length());
        return true;
    }
    long GetStart() override { return m_nStart; }
    long GetEnd() override { return m_nEnd; }
    void SetShading(long nColour) override
    {
        std::fill(m_doc.m_aShading.begin() + m_nStart, m_doc.m_aShading.begin() + m_nEnd, nColour);
    }
    void SetDottedBorder(long nColour) override
    {
        std::fill(m_doc.m_aBorder.begin() + m_nStart, m_doc.m_aBorder.begin() + m_nEnd, nColour);
    }

private:
    CFakeWordDocument& m_doc;
    long m_nStart = 0;
    long m_nEnd = 0;
};

class CFakeWordApplication : public IWordApplication
{
public:
    explicit CFakeWordApplication(CFakeWordProvider& provider) : m_provider(provider) {}

    void SetVisible(bool bVisible) override { m_provider.Log(bVisible ? "Visible(1)" : "Visible(0)"); }
    IWordDocument* Open(const wxString& sPath) override
    {
        m_provider.Log("Open " + Utf8(sPath));
        const std::optional<wxString> sText = ReadFakeFile(sPath);
        if (!sText)
            return nullptr;
        auto pDoc = std::make_shared<CFakeWordDocument>(m_provider, sPath, *sText);
        m_provider.m_apDocuments.push_back(pDoc);
        return pDoc.get();
    }
    bool AddAddin(const wxString& sPath) override
    {
        m_provider.Log("AddAddin " + Utf8(sPath));
        return wxFileExists(sPath);
    }
    long RunLong(const wxString& sMacro) override
    {
        m_provider.Log("RunLong(" + Utf8(sMacro) + ")");
        return sMacro == L"GetMaxRange" ? m_provider.m_nMaxRange : 0;
    }
    void Run(const wxString& sMacro) override { m_provider.Log("Run(" + Utf8(sMacro) + ")"); }
    void Run(const wxString& sMacro, long nFirst, long nLast) override
    {
        m_provider.Log("Run(" + Utf8(sMacro) + "," + std::to_string(nFirst) + "," + std::to_string(nLast) + ")");
        if (sMacro != L"CompRanges")
            return;
        m_queue.clear();
        for (const CFakeWordProvider::SResult& result : m_provider.m_aResults)
            if (result.nPosition >= nFirst && result.nPosition <= nLast)
                m_queue.push_back(result);
    }
    std::optional<wxString> RunString(const wxString& sMacro) override
    {
        m_provider.Log("RunString(" + Utf8(sMacro) + ")");
        if (sMacro != L"GetDiffs" || m_queue.empty())
            return wxString();
        const CFakeWordProvider::SResult result = m_queue.front();
        m_queue.pop_front();
        if (result.bFail)
            return std::nullopt;
        return result.sResult;
    }
    void Quit() override
    {
        m_provider.Log("Quit");
        ++m_provider.m_nQuit;
    }

private:
    CFakeWordProvider& m_provider;
    std::deque<CFakeWordProvider::SResult> m_queue;
};
} // namespace

std::string FakeWordFile(const wxString& sText)
{
    return kszMagic + Utf8(sText);
}

CFakeWordDocument::CFakeWordDocument(CFakeWordProvider& provider, const wxString& sPath, const wxString& sText)
    : m_provider(provider), m_sPath(sPath), m_sText(sText), m_aShading(sText.length(), -1),
      m_aBorder(sText.length(), -1)
{
}

std::unique_ptr<IWordRange> CFakeWordDocument::Range(long nStart, long nEnd)
{
    return std::make_unique<CFakeWordRange>(*this, nStart, nEnd);
}

bool CFakeWordDocument::SaveAs(const wxString& sPath)
{
    m_provider.Log("SaveAs " + Utf8(sPath));
    m_sPath = sPath;
    return tWriteFileAtomically(sPath, FakeWordFile(m_sText));
}

bool CFakeWordDocument::Save()
{
    m_provider.Log("Save");
    return tWriteFileAtomically(m_sPath, FakeWordFile(m_sText));
}

void CFakeWordDocument::Close(bool bSave)
{
    m_provider.Log(bSave ? "Close(1)" : "Close(0)");
    if (bSave)
        Save();
    m_bClosed = true;
}

void CFakeWordDocument::Protect(int nType)
{
    m_provider.Log("Protect(" + std::to_string(nType) + ")");
    m_nProtection = nType;
    if (m_provider.m_pHost && m_provider.m_pHost->m_pActive.get() == this && m_provider.m_fnOnHostChanged)
        m_provider.m_fnOnHostChanged(*m_provider.m_pHost);
}

void CFakeWordDocument::UnProtect()
{
    m_provider.Log("UnProtect");
    m_nProtection = 0;
}

void CFakeWordDocument::Replace(long nStart, long nEnd, const wxString& sText)
{
    m_sText.replace(nStart, nEnd - nStart, sText);
    m_aShading.erase(m_aShading.begin() + nStart, m_aShading.begin() + nEnd);
    m_aShading.insert(m_aShading.begin() + nStart, sText.length(), -1);
    m_aBorder.erase(m_aBorder.begin() + nStart, m_aBorder.begin() + nEnd);
    m_aBorder.insert(m_aBorder.begin() + nStart, sText.length(), -1);
}

std::string CFakeWordDocument::ShadedRanges(long nColour) const
{
    return Ranges(m_aShading, nColour);
}

std::string CFakeWordDocument::BorderedRanges(long nColour) const
{
    return Ranges(m_aBorder, nColour);
}

CFakeWordHost::CFakeWordHost(CFakeWordProvider& provider, wxWindow* pPanel) : m_provider(provider), m_pPanel(pPanel)
{
    m_provider.Log("Host.Create");
    ++m_provider.m_nHostsMade;
    m_provider.m_pHost = this;
}

CFakeWordHost::~CFakeWordHost()
{
    m_provider.Log("Host.Delete");
    if (m_provider.m_pHost == this)
        m_provider.m_pHost = nullptr;
}

void CFakeWordHost::Open(const wxString& sPath)
{
    m_provider.Log("Host.Open " + Utf8(sPath));
    const std::optional<wxString> sText = ReadFakeFile(sPath);
    m_pActive = sText ? std::make_shared<CFakeWordDocument>(m_provider, sPath, *sText) : nullptr;
    if (m_pActive)
        m_provider.m_apDocuments.push_back(m_pActive);
    if (m_provider.m_fnOnHostChanged)
        m_provider.m_fnOnHostChanged(*this);
}

void CFakeWordHost::Close()
{
    m_provider.Log("Host.Close");
    if (m_pActive)
        m_pActive->m_bClosed = true;
    m_pActive.reset();
    if (m_provider.m_fnOnHostChanged)
        m_provider.m_fnOnHostChanged(*this);
}

IWordDocument* CFakeWordHost::GetActiveDocument()
{
    return m_pActive.get();
}

void CFakeWordHost::ApplyViewSettings()
{
    m_provider.Log("Host.View");
}

CFakeWordProvider::CFakeWordProvider() : m_pPrevious(tSetWordProvider(this)) {}

CFakeWordProvider::~CFakeWordProvider()
{
    tSetWordProvider(m_pPrevious);
}

std::unique_ptr<IWordApplication> CFakeWordProvider::Start()
{
    Log("Start");
    if (!m_bCanStart)
        return nullptr;
    ++m_nStarted;
    return std::make_unique<CFakeWordApplication>(*this);
}

std::unique_ptr<IWordPreviewHost> CFakeWordProvider::CreatePreviewHost(wxWindow* pPanel)
{
    return std::make_unique<CFakeWordHost>(*this, pPanel);
}

std::vector<std::string> CFakeWordProvider::Calls(const std::vector<std::string>& asPrefixes) const
{
    std::vector<std::string> asOut;
    for (const std::string& sCall : m_asLog)
        for (const std::string& sPrefix : asPrefixes)
            if (sCall.compare(0, sPrefix.size(), sPrefix) == 0)
            {
                asOut.push_back(sCall);
                break;
            }
    return asOut;
}
