// A real second process for tests: the program itself, a file system that fails on purpose,
// a holder of a lock. Always bounded: the destructor kills what is still running.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zarvo::testing {

class tChildProcess {
  public:
    // Starts argv[0] with the arguments in `directory`; its stdin is a pipe the test writes
    // to, its stdout and stderr go to files read back with Output() and Errors().
    tChildProcess(const std::vector<std::string>& argv, const std::string& directory);
    ~tChildProcess();
    tChildProcess(const tChildProcess&) = delete;
    tChildProcess& operator=(const tChildProcess&) = delete;

    void Write(const std::string& text);
    void CloseInput();
    // Exit code, or -1 when it did not end within the time (or died of a signal).
    int Wait(int timeoutMs);
    void Kill(int signal);
    bool Running();
    std::string Output() const;
    std::string Errors() const;

  private:
    pid_t m_Pid = -1;
    int m_Input = -1;
    int m_Status = -1;
    std::string m_OutputPath;
    std::string m_ErrorsPath;
};

// Whether the test runs as root with /dev/fuse at hand.
bool CanMount();
bool WaitUntilMounted(const std::string& mountPoint, int timeoutMs);
bool IsMounted(const std::string& mountPoint);

} // namespace zarvo::testing
