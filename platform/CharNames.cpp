#include "platform/CharNames.h"

#include <unicode/uchar.h>

wxString tGetUnicodeCharName(char32_t c)
{
    if (c > 0x10FFFF)
        return wxString();
    char szName[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t nLen = u_charName(static_cast<UChar32>(c), U_UNICODE_CHAR_NAME, szName, sizeof(szName), &status);
    if (U_FAILURE(status) || nLen <= 0)
        return wxString();
    return wxString::FromAscii(szName, static_cast<size_t>(nLen));
}
