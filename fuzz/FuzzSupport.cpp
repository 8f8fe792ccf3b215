#include "fuzz/FuzzSupport.h"

#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/tcAppContext.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>

namespace
{
std::filesystem::path& ScratchFolder()
{
    static std::filesystem::path s_folder;
    return s_folder;
}

void RemoveScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(ScratchFolder(), ec);
}
} // namespace

void FuzzInit()
{
    static bool s_bDone = false;
    if (s_bDone)
        return;
    s_bDone = true;
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));
    char szTemplate[] = "/tmp/lintrado-fuzz-XXXXXX";
    if (!mkdtemp(szTemplate))
        FuzzFail("no scratch folder");
    ScratchFolder() = szTemplate;
    std::atexit(RemoveScratchFolder);
    tApp()->SetNoUserInteraction(true);
    Init_XLIFFImporter();
    Init_TMXImporter();
    Init_SRXImporter();
}

wxString FuzzPath(const std::string& sName)
{
    return wxString((ScratchFolder() / sName).wstring());
}

wxString FuzzWriteFile(const std::string& sName, const uint8_t* pData, size_t nSize)
{
    const std::filesystem::path path = ScratchFolder() / sName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    if (!out)
        FuzzFail("scratch file not written", path.string());
    return wxString(path.wstring());
}

wxString FuzzWriteFile(const std::string& sName, const std::string& sBytes)
{
    return FuzzWriteFile(sName, reinterpret_cast<const uint8_t*>(sBytes.data()), sBytes.size());
}

std::string FuzzReadFile(const wxString& sPath)
{
    std::ifstream in(std::filesystem::path(std::string(sPath.fn_str())), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FuzzFail(const char* szWhat, const std::string& sDetail)
{
    std::fprintf(stderr, "\n*** %s\n%s\n", szWhat, sDetail.c_str());
    std::fflush(stderr);
    std::abort();
}
