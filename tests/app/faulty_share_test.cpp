// The test cycle against shares that fail for real: a FUSE file system that returns EIO or
// flips a byte, a tiny tmpfs that fills up, and a share whose server goes away mid-run.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <csignal>
#include <fstream>

#include "app/cycle_fixture.h"
#include "support/child_process.h"

using namespace zarvo;
using namespace zarvo::testing;

namespace {

std::string FaultyFsScript() {
    return std::string(ZARVO_TEST_DIR) + "/support/faulty_fs.py";
}

// The fixture's server directory becomes the mount point of a failing file system.
class FaultyShare : public tCycleFixture {
  protected:
    void SetUp() override {
        if (!CanMount())
            GTEST_SKIP() << "needs root and /dev/fuse";
        tCycleFixture::SetUp();
    }
    void TearDown() override {
        if (m_Fs) {
            if (IsMounted(m_Server.Str()))
                RunCommand("fusermount -u -z " + m_Server.Str(), 10);
            m_Fs->Kill(SIGTERM);
            m_Fs->Wait(5000);
            m_Fs.reset();
        }
        if (m_Tmpfs)
            umount2(m_Server.Str().c_str(), MNT_DETACH);
        tCycleFixture::TearDown();
    }

    void MountFaulty(const std::string& mode, const std::string& arg = "") {
        std::vector<std::string> argv = {"/usr/bin/python3", FaultyFsScript(), m_Backing.Str(),
                                         m_Server.Str(), mode};
        if (!arg.empty())
            argv.push_back(arg);
        m_Fs = std::make_unique<tChildProcess>(argv, "/");
        ASSERT_TRUE(WaitUntilMounted(m_Server.Str(), 10'000)) << m_Fs->Errors();
    }

    void MountTmpfs(const std::string& size) {
        ASSERT_EQ(mount("zarvo-test", m_Server.Str().c_str(), "tmpfs", 0, ("size=" + size).c_str()),
                  0);
        m_Tmpfs = true;
    }

    bool BackingEmpty() const { return std::filesystem::is_empty(m_Backing.Path()); }

    tTempDir m_Backing;
    std::unique_ptr<tChildProcess> m_Fs;
    bool m_Tmpfs = false;
};

} // namespace

// Catches a failed write that ends the test silently, records nothing, or leaves files.
TEST_F(FaultyShare, WriteErrorIsShownRecordedAndCleanedUp) {
    MountFaulty("eio-write", "100000");
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u) << "the operator is shown the error";
    EXPECT_NE(gMessages[0].find("Нельзя расширить файл \"" + m_Server.Str() +
                                "/TEST_NET.$$$/test.tmp\"."),
              std::string::npos)
        << gMessages[0];
    std::string protocol = Protocol();
    EXPECT_NE(protocol.find("Прочитано 0 Мб. Ошибок -  0 байт. \r\nОшибка: Нельзя расширить файл"),
              std::string::npos)
        << protocol;
    EXPECT_FALSE(IsErrorPending()) << "the error was handled, not left for the exit report";
    EXPECT_TRUE(BackingEmpty()) << "nothing is left on the share";
}

// Catches a failed read being counted as data or as error bytes.
TEST_F(FaultyShare, ReadErrorIsShownRecordedAndCleanedUp) {
    MountFaulty("eio-read");
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_NE(gMessages[0].find("test.tmp"), std::string::npos) << gMessages[0];
    EXPECT_EQ(test.Statistics().BytesRead, 0);
    EXPECT_EQ(test.Statistics().ErrorBytes, 0);
    EXPECT_NE(Protocol().find("\r\nОшибка: "), std::string::npos) << Protocol();
    EXPECT_TRUE(BackingEmpty());
}

// Catches corruption on the wire that the read-back misses or over-counts.
TEST_F(FaultyShare, ByteFlippedByTheServerCountsOnce) {
    MountFaulty("flip-read", "40001");
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    EXPECT_TRUE(gMessages.empty());
    EXPECT_EQ(test.Statistics().ErrorBytes, 1);
    EXPECT_TRUE(BackingEmpty());
}

// Catches a full disk that goes unreported or leaves a partial file behind.
TEST_F(FaultyShare, FullDiskIsShownAndCleanedUp) {
    MountTmpfs("3m");
    bool filled = false;
    gOnPoll = [&](tProgress&) {
        if (!filled) {
            // Room for the check at the start, none once the write pass is under way.
            std::ofstream filler(m_Server.Path() / "filler", std::ios::binary);
            std::string chunk(65536, 'x');
            while (filler.write(chunk.data(), chunk.size()))
                ;
            filled = true;
        }
        return false;
    };
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_NE(gMessages[0].find("Нельзя расширить файл"), std::string::npos) << gMessages[0];
    EXPECT_NE(Protocol().find("\r\nОшибка: Нельзя расширить файл"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Scratch()));
}

// Catches a share that vanishes mid-run being taken for a good result.
TEST_F(FaultyShare, ServerGoneMidRunIsShownAndRecorded) {
    MountFaulty("none");
    int polls = 0;
    gOnPoll = [&](tProgress&) {
        if (++polls == 1000)
            m_Fs->Kill(SIGKILL);
        return false;
    };
    tNetworkTest test(Params(4, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u) << "the lost share is reported";
    EXPECT_NE(Protocol().find("\r\nОшибка: "), std::string::npos) << Protocol();
    EXPECT_LT(test.Statistics().BytesRead, 4 * kMegabyte);
}
