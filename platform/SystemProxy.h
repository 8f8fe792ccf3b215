#pragma once

#include <wx/string.h>

// The proxy the desktop is set up to use, as "host:port": https_proxy, else http_proxy (each in
// lower case first, then upper case). A scheme, user information and a trailing path are dropped
// ("http://user:pw@proxy:3128/" gives "proxy:3128"); empty when none is set. Any thread.
//
// Tests replace the answer with tSetSystemProxyOverride; an null removes the override.
wxString tReadSystemProxy();
void tSetSystemProxyOverride(const wxString* pProxy);

// The host:port part of a proxy variable's value (see tReadSystemProxy).
wxString tNormaliseProxy(const wxString& sValue);
