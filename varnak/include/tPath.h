#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>
#include <vector>

// Paths, files and URLs. The separator is "/"; a backslash is an ordinary file-name character on
// this platform. Safe from any thread (the file routines touch only what they are given).

// Joins two parts with exactly one "/" between them, whatever separators the first ends with or
// the second begins with ("a/" + "/b" gives "a/b"; "/" + "b" gives "/b"). An empty part adds
// nothing: the other part comes back unchanged. The result is not normalised further.
wxString tPathCombine(const wxString& sFirst, const wxString& sSecond);
// The same, returned as a standard wide string (which also converts to wxString).
std::wstring tPathCombineW(const wxString& sFirst, const wxString& sSecond);
// Joins sMore onto sPath in place, as tPathCombine does, and returns sPath.
wxString& tStrPathAppend(wxString& sPath, const wxString& sMore);

// True when a regular file (or a link to one) exists at the path; false for folders.
bool tFileExists(const wxString& sPath);
// The size in bytes of the file at the path; -1 when there is no regular file there.
int64_t tGetFileSizeW(const wxString& sPath);

// Appends the full paths of the files in sFolder whose names match sPattern (wildcards "*" and
// "?", case-sensitive; hidden files included) to aFiles, sorted by path, and returns how many it
// added. With bRecursive, files in sub-folders at any depth count too. A missing or unreadable
// folder adds nothing.
size_t tFindAllFiles(const wxString& sFolder, const wxString& sPattern, std::vector<wxString>& aFiles, bool bRecursive);
size_t tFindAllFilesW(const wxString& sFolder, const wxString& sPattern, std::vector<std::wstring>& aFiles,
                      bool bRecursive);

// Replaces a leading "~" (the user's home, from HOME) or "~name" (that user's home) in front of
// the end or a "/". Any other path, and one naming an unknown user, comes back unchanged.
wxString tExpandTilde(const wxString& sPath);

// Percent-escapes the UTF-8 bytes of the text for a URL query value or path segment: only
// letters and digits of ASCII and "-", ".", "_", "~" stay as they are (a blank becomes "%20").
wxString tURLEscape(const wxString& sText);

// The "file://" URL of a local path. A relative path is taken from the current folder. With
// bEscape (what pages and browsers need) every byte a URL path may not hold is percent-escaped
// ("/" stays); without it the path is appended as it stands.
wxString tCreateLocalFileURL2(const wxString& sPath, bool bEscape);
// The escaped "file://" URL of a local path (tCreateLocalFileURL2 with bEscape true).
wxString tGetURLFromFilename(const wxString& sPath);
