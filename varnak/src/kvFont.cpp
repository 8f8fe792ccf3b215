#include "varnak/include/kvFont.h"

#include <wx/fontenum.h>

bool kvFontExists(const wxString& sFaceName)
{
    return !sFaceName.empty() && wxFontEnumerator::IsValidFacename(sFaceName);
}
