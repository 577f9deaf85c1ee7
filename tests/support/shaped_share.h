// A real network share on a limited link for the tests (share_rig.sh beside this file), and
// dd over its mount as the reference the program's rates are held to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zarvo::testing {

// How the rig's server is reached: sshd mounted with sshfs, or smbd mounted with an SMB client.
enum class tShareKind { Sshfs, Smb };

class tShapedShare {
  public:
    tShapedShare() = default;
    ~tShapedShare();
    tShapedShare(const tShapedShare&) = delete;
    tShapedShare& operator=(const tShapedShare&) = delete;

    // Serves a fresh in-memory directory of the `kind` over a link of `bitsPerSecond`, mounted
    // on `mountPoint`. Only one share is up at a time on the machine (two would share its
    // processors and disturb each other's figures), so this may wait for another test's.
    // False when it could not be made: Reason() says why, and Unavailable() tells a machine
    // that cannot make one at all (not root, no network namespaces) from a failure.
    bool Up(tShareKind kind, std::int64_t bitsPerSecond, const std::filesystem::path& mountPoint);
    // Unmounts and removes everything Up made; harmless when nothing is up.
    void Down();

    bool Unavailable() const { return m_Unavailable; }
    const std::string& Reason() const { return m_Reason; }
    // The served directory as the server sees it, past the client's caches.
    const std::filesystem::path& Served() const { return m_Served; }
    // The link's rate in MB/s (MB = 2^20 bytes).
    double LinkMBps() const { return double(m_BitsPerSecond) / 8 / 1'048'576; }
    // What the link may carry beyond its rate: the bucket the rig gives it.
    static constexpr std::int64_t kBurstBytes = 32 * 1024;

  private:
    std::filesystem::path m_MountPoint;
    std::filesystem::path m_Served;
    std::int64_t m_BitsPerSecond = 0;
    bool m_Unavailable = false;
    std::string m_Reason;
    int m_MachineLock = -1;
};

struct tDdRates {
    double WriteMBps = 0; // MB = 2^20 bytes
    double ReadMBps = 0;
    std::string Error; // empty when both were measured
};

// Writes `megabytes` MB to `file` as `dd bs=32k conv=fdatasync` does, drops its cached pages,
// reads it back with `dd bs=32k` and removes it; the rates are dd's bytes over dd's own times.
tDdRates MeasureWithDd(const std::filesystem::path& file, std::int32_t megabytes);

} // namespace zarvo::testing
