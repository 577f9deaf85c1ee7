// A scratch directory for one test, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

namespace zarvo::testing {

class tTempDir {
  public:
    tTempDir();
    ~tTempDir();
    tTempDir(const tTempDir&) = delete;
    tTempDir& operator=(const tTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }
    std::string Str() const { return m_Path.string(); }

  private:
    std::filesystem::path m_Path;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Runs a shell command, bounded by `timeout` seconds; returns its exit status.
int RunCommand(const std::string& command, int timeoutSeconds = 60);

} // namespace zarvo::testing
