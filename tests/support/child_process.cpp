// Child processes and mount checks for the tests.
#include "support/child_process.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

namespace zarvo::testing {

namespace {
int gSerial = 0;
}

tChildProcess::tChildProcess(const std::vector<std::string>& argv, const std::string& directory) {
    std::string base =
        "/tmp/zarvo-child-" + std::to_string(getpid()) + "-" + std::to_string(++gSerial);
    m_OutputPath = base + ".out";
    m_ErrorsPath = base + ".err";
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    m_Pid = fork();
    if (m_Pid == 0) {
        dup2(pipeEnds[0], 0);
        int out = open(m_OutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(m_ErrorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        setpgid(0, 0);
        if (chdir(directory.c_str()) != 0)
            _exit(126);
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeEnds[0]);
    m_Input = pipeEnds[1];
}

tChildProcess::~tChildProcess() {
    CloseInput();
    if (Running()) {
        Kill(SIGKILL);
        Wait(5000);
    }
    unlink(m_OutputPath.c_str());
    unlink(m_ErrorsPath.c_str());
}

void tChildProcess::Write(const std::string& text) {
    if (m_Input >= 0 && write(m_Input, text.data(), text.size()) < 0)
        CloseInput();
}

void tChildProcess::CloseInput() {
    if (m_Input >= 0)
        close(m_Input);
    m_Input = -1;
}

bool tChildProcess::Running() {
    if (m_Pid <= 0)
        return false;
    int status;
    pid_t result = waitpid(m_Pid, &status, WNOHANG);
    if (result == m_Pid) {
        m_Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_Pid = -1;
        return false;
    }
    return result == 0;
}

int tChildProcess::Wait(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_Status;
}

void tChildProcess::Kill(int signal) {
    if (m_Pid > 0)
        kill(m_Pid, signal);
}

std::string tChildProcess::Output() const {
    return ReadFileBytes(m_OutputPath);
}
std::string tChildProcess::Errors() const {
    return ReadFileBytes(m_ErrorsPath);
}

bool CanMount() {
    return geteuid() == 0 && access("/dev/fuse", R_OK | W_OK) == 0;
}

bool IsMounted(const std::string& mountPoint) {
    std::ifstream mounts("/proc/self/mounts");
    std::string source, target, rest;
    while (mounts >> source >> target && std::getline(mounts, rest))
        if (target == mountPoint)
            return true;
    return false;
}

bool WaitUntilMounted(const std::string& mountPoint, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (IsMounted(mountPoint))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace zarvo::testing
