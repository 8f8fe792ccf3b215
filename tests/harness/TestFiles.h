#pragma once

#include <wx/string.h>

#include <filesystem>
#include <string>

#include <sys/resource.h>

// Files for tests: paths in the running test's temporary home (see TempHome.h), whole files
// written and read as bytes, and a size limit that makes writes fail.

// The running test's temporary home, or sName inside it, as the library takes paths.
wxString HomePath(const std::string& sName = std::string());

// Writes the bytes as the file at path, creating its folders.
void WriteBytes(const std::filesystem::path& path, const std::string& sBytes);

// Writes the bytes as the file sName (which may name sub-folders) in the temporary home and
// returns its path.
wxString WriteHomeFile(const std::string& sName, const std::string& sBytes);

// A file's bytes as they stand; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
std::string ReadBytes(const wxString& sPath);

// Lets writes beyond nBytes fail (EFBIG) while it lives: a full or failing disk, even for root.
// Puts the previous limit and SIGXFSZ handling back when it goes out of scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t nBytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit is in force.
    bool IsSet() const { return m_bSet; }

private:
    rlimit m_old{};
    void (*m_pfnOld)(int) = nullptr;
    bool m_bSet = false;
};
