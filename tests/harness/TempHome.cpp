#include "tests/harness/TempHome.h"

#include <clocale>
#include <cstdlib>
#include <locale>
#include <random>

namespace fs = std::filesystem;

// Read by LeakSanitizer in sanitizer builds. Leaks inside system libraries that no test can mend:
// fontconfig keeps its caches until the process ends, and Xerces-C 3.2 loses a block in two places:
// the declaration of an external DTD subset it could not read (the resolver hands it an empty
// source for a DTD that is missing or outside the allowed folders), and the names a reader copied
// before its constructor gave up on a file that is no text in any encoding. The parser allocates
// through our counting manager, so its stacks reach the parser's frames and only those are matched;
// any other block the parser took and did not give back is reported (and counted by the importer
// tests).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:xercesc_3_2::XMLScanner::scanProlog\n"
           "leak:xercesc_3_2::XMLEntityDecl::XMLEntityDecl\n"
           "leak:xercesc_3_2::XMLReader::XMLReader\n";
}

fs::path TempHomeListener::s_current;

void TempHomeListener::OnTestStart(const testing::TestInfo&)
{
    std::random_device rd;
    fs::path dir;
    do
    {
        dir = fs::temp_directory_path() / ("lintrado-test-" + std::to_string(rd()));
    } while (fs::exists(dir));
    fs::create_directories(dir);
    for (const char* sub : {".config", ".local/share", ".cache", ".local/state", "Documents"})
        fs::create_directories(dir / sub);
    s_current = dir;
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / ".cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (dir / ".local/state").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (dir / "Documents").c_str(), 1);
    // Per-user runtime files (the program's single-instance lock) stay inside the test's home too.
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
}

void TempHomeListener::OnTestEnd(const testing::TestInfo&)
{
    std::error_code ec;
    if (!s_current.empty())
        fs::remove_all(s_current, ec);
    s_current.clear();
}

const fs::path& TempHomeListener::Current()
{
    return s_current;
}

void InitTestProcess(int* argc, char** argv)
{
    testing::InitGoogleTest(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::locale::global(std::locale("C.UTF-8"));
    testing::UnitTest::GetInstance()->listeners().Append(new TempHomeListener);
}
