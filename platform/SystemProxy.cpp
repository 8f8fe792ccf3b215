#include "platform/SystemProxy.h"

#include <cstdlib>
#include <mutex>
#include <optional>

namespace
{
std::mutex s_lock;
std::optional<wxString> s_override;

wxString Variable(const char* szName)
{
    const char* sz = std::getenv(szName);
    return sz ? wxString::FromUTF8(sz) : wxString();
}
} // namespace

wxString tNormaliseProxy(const wxString& sValue)
{
    wxString s = sValue;
    s.Trim(true).Trim(false);
    const size_t nScheme = s.find("://");
    if (nScheme != wxString::npos)
        s = s.substr(nScheme + 3);
    const size_t nPath = s.find('/');
    if (nPath != wxString::npos)
        s = s.substr(0, nPath);
    const size_t nUser = s.rfind('@');
    if (nUser != wxString::npos)
        s = s.substr(nUser + 1);
    return s;
}

wxString tReadSystemProxy()
{
    {
        std::lock_guard<std::mutex> lock(s_lock);
        if (s_override)
            return *s_override;
    }
    for (const char* szName : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY"})
    {
        const wxString sProxy = tNormaliseProxy(Variable(szName));
        if (!sProxy.empty())
            return sProxy;
    }
    return wxString();
}

void tSetSystemProxyOverride(const wxString* pProxy)
{
    std::lock_guard<std::mutex> lock(s_lock);
    if (pProxy)
        s_override = *pProxy;
    else
        s_override.reset();
}
