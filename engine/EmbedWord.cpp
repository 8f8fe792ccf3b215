#include "engine/EmbedWord.h"

#include "platform/OfficeSettingsLock.h"
#include "platform/WordAutomation.h"

#include <utility>

namespace
{
tcWordPreviewPanelMaker& Maker()
{
    static tcWordPreviewPanelMaker fnMaker;
    return fnMaker;
}

// Read only.
constexpr int kProtectReadOnly = 3;
} // namespace

EmbedWord::EmbedWord(std::unique_ptr<IWordPreviewHost> pHost) : m_pHost(std::move(pHost)) {}

EmbedWord::~EmbedWord() = default;

void EmbedWord::OpenDocument(const wxString& sPath, bool bForce)
{
    if (!bForce && sPath == m_sShownPath)
        return;
    if (m_pHost->GetActiveDocument())
        CloseDocument();
    const tcOfficeSettingsLock lock;
    m_pHost->Open(sPath);
    if (IWordDocument* pDoc = m_pHost->GetActiveDocument())
        pDoc->Protect(kProtectReadOnly);
    m_sShownPath = sPath;
    m_pHost->ApplyViewSettings();
}

void EmbedWord::CloseDocument()
{
    const tcOfficeSettingsLock lock;
    m_pHost->Close();
    m_sShownPath.clear();
}

IWordDocument* EmbedWord::GetDocument()
{
    return m_pHost->GetActiveDocument();
}

tcWordPreviewPanelMaker tSetWordPreviewPanelMaker(tcWordPreviewPanelMaker fnMaker)
{
    return std::exchange(Maker(), std::move(fnMaker));
}

const tcWordPreviewPanelMaker& tGetWordPreviewPanelMaker()
{
    return Maker();
}
