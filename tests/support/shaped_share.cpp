// The shaped share for the tests: the rig script run as a bounded child process, and dd's
// figures over the mount read from dd's own report.
#include "support/shaped_share.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <thread>
#include <vector>

#include "support/child_process.h"

namespace zarvo::testing {

namespace {

constexpr int kRigExitUnavailable = 77;
constexpr int kRigTimeoutMs = 120'000;
constexpr int kMachineLockWaitMs = 240'000;
constexpr int kDdTimeoutMs = 120'000;

std::string RigScript() {
    return std::string(ZARVO_TEST_DIR) + "/support/share_rig.sh";
}

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? "no message" : line;
}

// Runs the rig with `arguments`; the exit code, or -1 when it did not end in time.
int RunRig(const std::vector<std::string>& arguments, std::string& output, std::string& errors) {
    std::vector<std::string> argv = {"/bin/bash", RigScript()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    tChildProcess rig(argv, "/");
    rig.CloseInput();
    int code = rig.Wait(kRigTimeoutMs);
    output = rig.Output();
    errors = rig.Errors();
    return code;
}

// One dd run; its bytes over its own seconds, in MB/s, or a negative value with `error` set.
double RunDd(const std::vector<std::string>& operands, std::string& error) {
    std::vector<std::string> argv = {"/usr/bin/env", "LC_ALL=C", "dd"};
    argv.insert(argv.end(), operands.begin(), operands.end());
    tChildProcess dd(argv, "/");
    dd.CloseInput();
    int code = dd.Wait(kDdTimeoutMs);
    std::string report = dd.Errors();
    if (code != 0) {
        error = "dd " + operands[0] + " failed (" + std::to_string(code) + "): " + report;
        return -1;
    }
    // "16777216 bytes (17 MB, 16 MiB) copied, 1.37 s, 12.2 MB/s"
    std::smatch match;
    static const std::regex kCopied(R"((\d+) bytes .* copied, ([0-9.e+-]+) s)");
    if (!std::regex_search(report, match, kCopied) || std::stod(match[2]) <= 0) {
        error = "no byte count and time in dd's report: " + report;
        return -1;
    }
    return std::stod(match[1]) / 1'048'576 / std::stod(match[2]);
}

} // namespace

tShapedShare::~tShapedShare() {
    Down();
}

bool tShapedShare::Up(tShareKind kind, std::int64_t bitsPerSecond,
                      const std::filesystem::path& mountPoint) {
    Down();
    m_BitsPerSecond = bitsPerSecond;
    m_Unavailable = false;
    m_Reason.clear();
    if (geteuid() != 0) {
        m_Unavailable = true;
        m_Reason = "the shaped share needs root to make a network namespace";
        return false;
    }
    m_MachineLock = open("/var/tmp/zarvo-share-rig.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_MachineLock < 0) {
        m_Reason = "cannot open the shaped share's machine lock";
        return false;
    }
    int waited = 0;
    while (flock(m_MachineLock, LOCK_EX | LOCK_NB) != 0) {
        if (waited >= kMachineLockWaitMs) {
            m_Reason = "another test's shaped share stayed up for 240 s";
            close(m_MachineLock);
            m_MachineLock = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        waited += 100;
    }
    m_MountPoint = mountPoint;
    std::string output, errors;
    std::vector<std::string> arguments = {"up"};
    if (kind == tShareKind::Smb)
        arguments.push_back("--smb");
    arguments.push_back(std::to_string(bitsPerSecond) + "bit");
    arguments.push_back(mountPoint.string());
    int code = RunRig(arguments, output, errors);
    std::smatch match;
    static const std::regex kServed("share_rig: (.*) served at ");
    if (code == 0 && std::regex_search(output, match, kServed)) {
        m_Served = match[1].str();
        return true;
    }
    m_Unavailable = code == kRigExitUnavailable;
    m_Reason = code < 0 ? "share_rig.sh up did not end within 120 s" : FirstLine(errors);
    Down();
    return false;
}

void tShapedShare::Down() {
    if (!m_MountPoint.empty()) {
        std::string output, errors;
        RunRig({"down", m_MountPoint.string()}, output, errors);
        m_MountPoint.clear();
        m_Served.clear();
    }
    if (m_MachineLock >= 0) {
        close(m_MachineLock);
        m_MachineLock = -1;
    }
}

tDdRates MeasureWithDd(const std::filesystem::path& file, std::int32_t megabytes) {
    tDdRates rates;
    std::string name = file.string();
    std::string count = "count=" + std::to_string(megabytes * 32); // 32 blocks of 32 KB a MB
    rates.WriteMBps =
        RunDd({"if=/dev/zero", "of=" + name, "bs=32k", count, "conv=fdatasync"}, rates.Error);
    if (rates.Error.empty()) {
        // count=0 with nocache drops the whole file's cached pages and reads nothing.
        RunDd({"if=" + name, "iflag=nocache", "count=0"}, rates.Error);
        rates.Error.clear();
        rates.ReadMBps = RunDd({"if=" + name, "of=/dev/null", "bs=32k"}, rates.Error);
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    return rates;
}

} // namespace zarvo::testing
