#include "workspace/PaneBitmaps.h"

#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"

#include <wx/image.h>
#include <wx/log.h>

wxBitmap LoadPaneBitmap(const wxString& sName, const wxArtID& artId)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    const wxString sPath = tPathCombine(g_sAppDataPath, L"Images/") + sName;
    if (!g_sAppDataPath.empty() && tFileExists(sPath))
    {
        // A broken file falls back to the stock image instead of a message box from the toolkit.
        wxLogNull noLog;
        wxImage image;
        if (image.LoadFile(sPath, wxBITMAP_TYPE_PNG))
            return wxBitmap(image);
    }
    return wxArtProvider::GetBitmap(artId, wxART_BUTTON);
}
