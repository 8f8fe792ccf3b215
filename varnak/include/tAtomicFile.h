#pragma once

#include <wx/string.h>

#include <cstddef>
#include <string>

// Writes a file so that the file at its path is always either the old one, whole, or the new one,
// whole: the bytes go to a temporary file beside the target, which then takes the target's
// permissions (and, where allowed, its owner) and is renamed over it. A link as target is followed:
// the file it points at is replaced and the link stays. A read-only target (no write permission
// for anyone, or none for this process) is refused, as an editor refuses it: the rename would go
// around its mode. Until Commit succeeds nothing at the path changes; a failure removes the
// temporary file. The temporary file is named "." + name + ".XXXXXX" and locked while in use; a
// successful Commit also removes unlocked files of that pattern for the same target, which saves
// killed before they finished left. One object serves one thread at a time.
class tcAtomicFile
{
public:
    // Creates the temporary file; IsOpen tells whether that worked (GetError tells why not, for a
    // read-only target "the file <path> is read-only").
    explicit tcAtomicFile(const wxString& sPath);
    // Discards what was written unless Commit succeeded.
    ~tcAtomicFile();
    tcAtomicFile(const tcAtomicFile&) = delete;
    tcAtomicFile& operator=(const tcAtomicFile&) = delete;

    bool IsOpen() const { return m_nFd >= 0; }
    // Appends bytes; false when the file is not open or the write failed (later writes and Commit
    // then fail too).
    bool Write(const void* pData, size_t nBytes);
    bool Write(const std::string& sBytes) { return Write(sBytes.data(), sBytes.size()); }
    // Flushes the bytes to disk and puts the file in place. False, with the target untouched and
    // the temporary file removed, when anything failed. Later calls return false.
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Discard();

    // The reason of the first failure, empty when there was none.
    const wxString& GetError() const { return m_sError; }
    // The file that Commit replaces (the target with links followed).
    const wxString& GetTargetPath() const { return m_sTarget; }

private:
    void Fail(const wxString& sWhat);

    wxString m_sTarget;
    std::string m_sTempPath;
    int m_nFd = -1;
    bool m_bFailed = false;
    wxString m_sError;
};

// Writes sBytes to sPath through a tcAtomicFile. False when anything failed; the reason goes to
// psError when given. The old file, if any, is then unchanged.
bool tWriteFileAtomically(const wxString& sPath, const std::string& sBytes, wxString* psError = nullptr);
