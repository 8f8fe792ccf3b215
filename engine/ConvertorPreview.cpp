#include "engine/ConvertorPreview.h"

#include <utility>

namespace
{
tcPreviewWindowMaker& Maker()
{
    static tcPreviewWindowMaker fnMaker;
    return fnMaker;
}
} // namespace

tcPreviewWindowMaker tSetPreviewWindowMaker(tcPreviewWindowMaker fnMaker)
{
    return std::exchange(Maker(), std::move(fnMaker));
}

tcPreviewWindowFamily::~tcPreviewWindowFamily()
{
    // A family outlives the toolkit when it is destroyed with the process's statics; its window
    // went with the windows then, and touching it would crash.
    static_cast<void>(m_pWindow.release());
}

void tcPreviewWindowFamily::Leave()
{
    if (m_nMembers > 0)
        --m_nMembers;
    if (m_nMembers == 0)
        m_pWindow.reset();
}

wxWindow* tcPreviewWindowFamily::Show(wxWindow* pParent, const wxString& sPage)
{
    if (!m_pWindow)
    {
        if (!Maker())
            return nullptr;
        m_pWindow = Maker()();
        if (!m_pWindow)
            return nullptr;
    }
    return m_pWindow->Show(pParent, sPage);
}

wxWindow* tcPreviewWindowFamily::GetWindow() const
{
    return m_pWindow ? m_pWindow->GetWindow() : nullptr;
}
