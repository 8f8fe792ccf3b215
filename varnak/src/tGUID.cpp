#include "varnak/include/tGUID.h"

#include "varnak/include/tString.h"

#include <random>
#include <vector>

bool tGUID::IsNull() const
{
    for (uint8_t b : aBytes)
        if (b != 0)
            return false;
    return true;
}

void tCreateGUID(tGUID& guid)
{
    // random_device reads the kernel's random source; a GUID must not repeat across processes
    // started in the same instant, which a time-seeded engine cannot promise.
    std::random_device device;
    for (size_t i = 0; i < sizeof(guid.aBytes); i += 4)
    {
        const uint32_t n = device();
        for (size_t k = 0; k < 4; ++k)
            guid.aBytes[i + k] = static_cast<uint8_t>(n >> (8 * k));
    }
    guid.aBytes[6] = static_cast<uint8_t>((guid.aBytes[6] & 0x0F) | 0x40);
    guid.aBytes[8] = static_cast<uint8_t>((guid.aBytes[8] & 0x3F) | 0x80);
}

tGUID tCreateGUID()
{
    tGUID guid;
    tCreateGUID(guid);
    return guid;
}

wxString tGUIDToString(const tGUID& guid)
{
    return tBinToHex(guid.aBytes, sizeof(guid.aBytes));
}

void tGUIDToString(const tGUID& guid, wxString& sText)
{
    sText = tGUIDToString(guid);
}

bool tStringToGUID(const wxString& sText, tGUID& guid)
{
    wxString sDigits;
    if (sText.length() == 32)
        sDigits = sText;
    else
    {
        wxString sDashed = sText;
        if (sDashed.length() == 38)
        {
            if (sDashed[0] != L'{' || sDashed.Last() != L'}')
                return false;
            sDashed = sDashed.Mid(1, 36);
        }
        if (sDashed.length() != 36)
            return false;
        for (size_t nDash : {8, 13, 18, 23})
            if (sDashed[nDash] != L'-')
                return false;
        sDigits = sDashed.Mid(0, 8) + sDashed.Mid(9, 4) + sDashed.Mid(14, 4) + sDashed.Mid(19, 4) + sDashed.Mid(24);
    }
    std::vector<uint8_t> aBytes;
    if (!tHexToBin(sDigits, aBytes) || aBytes.size() != sizeof(guid.aBytes))
        return false;
    for (size_t i = 0; i < aBytes.size(); ++i)
        guid.aBytes[i] = aBytes[i];
    return true;
}

bool tCmpGUID(const tGUID& a, const tGUID& b)
{
    return a == b;
}
