#include "varnak/include/tAtomicFile.h"

#include "varnak/include/tString.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string FolderOf(const std::string& sPath)
{
    const size_t nSlash = sPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    if (nSlash == 0)
        return "/";
    return sPath.substr(0, nSlash);
}

std::string NameOf(const std::string& sPath)
{
    const size_t nSlash = sPath.rfind('/');
    return nSlash == std::string::npos ? sPath : sPath.substr(nSlash + 1);
}

// The process's file-creation mask, read without changing it (umask() itself would have to set
// it, which races with other threads creating files).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string sLine;
    while (std::getline(status, sLine))
    {
        if (sLine.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(sLine.c_str() + 6, nullptr, 8));
    }
    return 022;
}

wxString ErrnoText()
{
    return kvFromUTF8(std::strerror(errno));
}

// A file nobody may write, or this process may not: the rename would go around its mode, so it is
// refused as an editor refuses it. (Write bits are looked at as well, since access() lets root
// write anything.)
bool IsReadOnly(const std::string& sPath, const struct stat& st)
{
    return !S_ISDIR(st.st_mode) && ((st.st_mode & 0222) == 0 || access(sPath.c_str(), W_OK) != 0);
}

// Whether sEntry is a temporary name of sName as mkostemp makes it from "." + name + ".XXXXXX".
bool IsTemporaryNameOf(const std::string& sEntry, const std::string& sName)
{
    const size_t nStem = sName.size() + 2;
    if (sEntry.size() != nStem + 6 || sEntry[0] != '.' || sEntry.compare(1, sName.size(), sName) != 0 ||
        sEntry[nStem - 1] != '.')
        return false;
    for (size_t i = nStem; i < sEntry.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(sEntry[i])))
            return false;
    return true;
}

// Removes the temporary files that saves of sTarget killed before they finished left beside it. A
// save still running holds a lock on its own, which keeps it; a link or a folder of that name is
// not one of ours.
void RemoveLeftovers(const std::string& sTarget)
{
    const std::string sFolder = FolderOf(sTarget);
    const std::string sName = NameOf(sTarget);
    DIR* pDir = opendir(sFolder.c_str());
    if (!pDir)
        return;
    const int nDirFd = dirfd(pDir);
    while (const dirent* pEntry = readdir(pDir))
    {
        if (!IsTemporaryNameOf(pEntry->d_name, sName))
            continue;
        const int nFd = openat(nDirFd, pEntry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (nFd < 0)
            continue;
        struct stat st;
        if (fstat(nFd, &st) == 0 && S_ISREG(st.st_mode) && flock(nFd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(nDirFd, pEntry->d_name, 0);
        close(nFd);
    }
    closedir(pDir);
}
} // namespace

tcAtomicFile::tcAtomicFile(const wxString& sPath) : m_sTarget(sPath)
{
    std::string sTarget = tToUTF8(sPath);
    struct stat st;
    if (lstat(sTarget.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    {
        if (char* szReal = realpath(sTarget.c_str(), nullptr))
        {
            sTarget = szReal;
            free(szReal);
            m_sTarget = kvFromUTF8(sTarget);
        }
    }
    if (sTarget.empty() || sTarget.back() == '/')
    {
        Fail(L"no file name");
        return;
    }
    if (stat(sTarget.c_str(), &st) == 0 && IsReadOnly(sTarget, st))
    {
        Fail(L"the file " + m_sTarget + L" is read-only");
        return;
    }
    std::string sTemplate = FolderOf(sTarget) + "/." + NameOf(sTarget) + ".XXXXXX";
    m_nFd = mkostemp(sTemplate.data(), O_CLOEXEC);
    if (m_nFd < 0)
    {
        Fail(L"cannot create a temporary file beside " + m_sTarget + L": " + ErrnoText());
        return;
    }
    m_sTempPath = sTemplate;
    // Held until the file is in place: a save of the same file that finishes meanwhile must not
    // take it for the leftover of a killed one.
    flock(m_nFd, LOCK_EX);
}

tcAtomicFile::~tcAtomicFile()
{
    Discard();
}

void tcAtomicFile::Fail(const wxString& sWhat)
{
    if (!m_bFailed)
        m_sError = sWhat;
    m_bFailed = true;
}

bool tcAtomicFile::Write(const void* pData, size_t nBytes)
{
    if (m_nFd < 0 || m_bFailed)
        return false;
    const char* p = static_cast<const char*>(pData);
    while (nBytes > 0)
    {
        const ssize_t n = ::write(m_nFd, p, nBytes);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            Fail(L"cannot write " + m_sTarget + L": " + ErrnoText());
            return false;
        }
        p += n;
        nBytes -= static_cast<size_t>(n);
    }
    return true;
}

bool tcAtomicFile::Commit()
{
    if (m_nFd < 0 || m_bFailed)
    {
        Discard();
        return false;
    }
    const std::string sTarget = tToUTF8(m_sTarget);
    struct stat st;
    if (stat(sTarget.c_str(), &st) == 0)
    {
        if (IsReadOnly(sTarget, st))
            Fail(L"the file " + m_sTarget + L" is read-only");
        else if (fchmod(m_nFd, st.st_mode & 07777) != 0)
            Fail(L"cannot set the permissions of " + m_sTarget + L": " + ErrnoText());
        // Only a privileged process may give the file away; others keep their own ownership.
        if (fchown(m_nFd, st.st_uid, st.st_gid) != 0)
            errno = 0;
    }
    else if (fchmod(m_nFd, 0666 & ~CurrentUmask()) != 0)
        Fail(L"cannot set the permissions of " + m_sTarget + L": " + ErrnoText());
    if (!m_bFailed && fsync(m_nFd) != 0)
        Fail(L"cannot write " + m_sTarget + L": " + ErrnoText());
    // Renamed while still open, so that its lock covers it until it is in place; the bytes are on
    // disk already, so closing it afterwards can lose nothing.
    if (!m_bFailed && rename(m_sTempPath.c_str(), sTarget.c_str()) != 0)
        Fail(L"cannot replace " + m_sTarget + L": " + ErrnoText());
    close(m_nFd);
    m_nFd = -1;
    if (m_bFailed)
    {
        unlink(m_sTempPath.c_str());
        m_sTempPath.clear();
        return false;
    }
    m_sTempPath.clear();
    // Make the rename itself durable; a failure here no longer endangers either file.
    const int nDir = open(FolderOf(sTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nDir >= 0)
    {
        fsync(nDir);
        close(nDir);
    }
    RemoveLeftovers(sTarget);
    return true;
}

void tcAtomicFile::Discard()
{
    if (m_nFd >= 0)
    {
        close(m_nFd);
        m_nFd = -1;
    }
    if (!m_sTempPath.empty())
    {
        unlink(m_sTempPath.c_str());
        m_sTempPath.clear();
    }
    m_bFailed = true;
}

bool tWriteFileAtomically(const wxString& sPath, const std::string& sBytes, wxString* psError)
{
    tcAtomicFile file(sPath);
    const bool bOk = file.Write(sBytes) && file.Commit();
    if (!bOk && psError)
        *psError = file.GetError();
    return bOk;
}
