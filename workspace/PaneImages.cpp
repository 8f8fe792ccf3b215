#include "workspace/PaneImages.h"

#include "Shared/AppUtils_sharedMenu.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"

#include <map>

const wxBitmap& PaneBitmap(const wxString& sName)
{
    // Every page builds the same panes: without the cache each would add its own copies to the
    // process-wide bitmap list, which never shrinks.
    static std::map<wxString, unsigned int> s_mapLoaded;
    // The program sets the data folder without a trailing "/".
    const wxString sPath = tPathCombine(g_sDataPath, L"Lintrado/Images/" + sName);
    auto it = s_mapLoaded.find(sPath);
    if (it == s_mapLoaded.end())
        it = s_mapLoaded.emplace(sPath, tLoadBitmap(sPath)).first;
    return tGetBitmap(it->second);
}

wxBitmap LoadPaneBitmap(const wxString& sName, const wxArtID& artId)
{
    const wxBitmap& bitmap = PaneBitmap(sName);
    if (bitmap.IsOk())
        return bitmap;
    return wxArtProvider::GetBitmap(artId, wxART_BUTTON);
}
