#pragma once

#include <wx/string.h>

#include <functional>

// Opens a web address (any "scheme://..." text) in the user's browser, or a file with the
// application the desktop associates with it. The target goes to xdg-open as one argument of
// its own, never through a shell command line: this is what the toolkit's
// wxLaunchDefaultBrowser/wxLaunchDefaultApplication do on this platform, and those live in the
// toolkit's GUI library, which this window-free library does not link.
//
// Returns true once the opener was started; false, silently, for an empty target, a file that
// does not exist, non-empty parameters (the desktop opener passes none on), no xdg-open on PATH,
// a launch that failed, or a call from a thread other than the main one. Whether the opened
// program then succeeds is not known.
//
// With a hook installed (tSetShellExecuteHook) the call goes to the hook instead, from any
// thread, and its result is returned; nothing is launched.
bool tShellExecute(const wxString& sTarget, const wxString& sParameters = wxString());
// The same for wide C strings; null counts as empty.
bool tShellExecuteW(const wchar_t* szTarget, const wchar_t* szParameters = nullptr);

// Receives shell calls in place of the launch (tests record them). Null removes the hook.
// Returns the hook it replaces. Any thread; the hook is called without a lock held.
typedef std::function<bool(const wxString& sTarget, const wxString& sParameters)> tcShellExecuteHook;
tcShellExecuteHook tSetShellExecuteHook(tcShellExecuteHook fnHook);

// True for "scheme://..." (a letter, then letters, digits, "+", "-" or "."; then "://").
bool tIsURL(const wxString& sTarget);
