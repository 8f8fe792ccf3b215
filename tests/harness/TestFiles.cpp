#include "tests/harness/TestFiles.h"

#include "tests/harness/TempHome.h"

#include <csignal>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

wxString HomePath(const std::string& sName)
{
    const fs::path& home = TempHomeListener::Current();
    return wxString::FromUTF8((sName.empty() ? home : home / sName).string());
}

void WriteBytes(const fs::path& path, const std::string& sBytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << sBytes;
}

wxString WriteHomeFile(const std::string& sName, const std::string& sBytes)
{
    const fs::path path = TempHomeListener::Current() / sName;
    WriteBytes(path, sBytes);
    return wxString::FromUTF8(path.string());
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadBytes(const wxString& sPath)
{
    return ReadBytes(fs::path(sPath.utf8_string()));
}

FileSizeLimit::FileSizeLimit(rlim_t nBytes)
{
    m_pfnOld = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit limit = m_old;
    limit.rlim_cur = nBytes;
    m_bSet = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_pfnOld);
}
