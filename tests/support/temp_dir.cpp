// Scratch directories and small helpers shared by the tests.
#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zarvo::testing {

tTempDir::tTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    m_Path = pattern;
}

tTempDir::~tTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int RunCommand(const std::string& command, int timeoutSeconds) {
    std::string bounded =
        "timeout " + std::to_string(timeoutSeconds) + " bash -c '" + command + "'";
    int status = std::system(bounded.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zarvo::testing
