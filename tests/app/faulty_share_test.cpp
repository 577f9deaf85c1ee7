// The test cycle against shares that fail for real: a FUSE file system that returns EIO or
// flips a byte, a tiny tmpfs that fills up, and a share whose server goes away mid-run.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <csignal>
#include <fstream>
#include <regex>

#include "app/cycle_fixture.h"
#include "app/history_rows.h"
#include "app/run_evidence.h"
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
        Unmount();
        tCycleFixture::TearDown();
    }

    void Unmount() {
        if (m_Fs) {
            if (IsMounted(m_Server.Str()))
                RunCommand("fusermount -u -z " + m_Server.Str(), 10);
            m_Fs->Kill(SIGTERM);
            m_Fs->Wait(5000);
            m_Fs.reset();
        }
        if (m_Tmpfs)
            umount2(m_Server.Str().c_str(), MNT_DETACH);
        m_Tmpfs = false;
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
    std::string file = "\"" + m_Server.Str() + "/TEST_NET.$$$/test.tmp\".";
    EXPECT_EQ(gMessages[0].rfind("Ошибка ввода-вывода: файл " + file + "\r", 0), 0u)
        << "the system's reason leads: " << gMessages[0];
    EXPECT_NE(gMessages[0].find("\rНельзя расширить файл " + file), std::string::npos)
        << "the stream's text follows: " << gMessages[0];
    std::string protocol = Protocol();
    EXPECT_NE(protocol.find("Прочитано 0 Мб. Ошибок -  0 байт. \r\nОшибка: Ошибка ввода-вывода: "
                            "файл " +
                            file + " Нельзя расширить файл"),
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
    EXPECT_EQ(gMessages[0].rfind("Ошибка ввода-вывода: файл", 0), 0u) << gMessages[0];
    EXPECT_NE(gMessages[0].find("test.tmp"), std::string::npos) << gMessages[0];
    EXPECT_EQ(test.Statistics().BytesRead, 0);
    EXPECT_EQ(test.Statistics().ErrorBytes, 0);
    EXPECT_NE(Protocol().find("\r\nОшибка: "), std::string::npos) << Protocol();
    EXPECT_TRUE(BackingEmpty());
    nlohmann::json rows = HistoryRows(m_Work.Path());
    ASSERT_EQ(rows.size(), 1u) << "the failed iteration has its row";
    EXPECT_EQ(rows[0]["outcome"].get<std::string>().rfind("failed: Ошибка ввода-вывода: файл", 0),
              0u)
        << rows[0]["outcome"];
    EXPECT_TRUE(rows[0]["read_mb_s"].is_null()) << "nothing was read";
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

// Catches a full disk that goes unreported, leaves a partial file behind, or leaves write
// rates counted from bytes that never reached the disk.
TEST_F(FaultyShare, FullDiskIsShownAndCleanedUp) {
    MountTmpfs("3m");
    int writePasses = 0;
    bool wasWriting = false;
    bool filled = false;
    gOnPoll = [&](tProgress& progress) {
        bool writing = EndsWith(progress.Text, "Запись"_oem);
        writePasses += writing && !wasWriting;
        wasWriting = writing;
        if (writing && !filled && writePasses == 2) {
            // Room for the first iteration, none once the second write pass is under way.
            std::ofstream filler(m_Server.Path() / "filler", std::ios::binary);
            std::string chunk(65536, 'x');
            while (filler.write(chunk.data(), chunk.size()))
                ;
            filled = true;
        }
        return false;
    };
    tNetworkTest test(Params(1, 0, 0));
    test.Run();
    ASSERT_TRUE(filled);
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_EQ(gMessages[0].rfind("На устройстве не осталось свободного места: файл", 0), 0u)
        << gMessages[0];
    EXPECT_NE(gMessages[0].find("Нельзя расширить файл"), std::string::npos) << gMessages[0];
    EXPECT_NE(Protocol().find("\r\nОшибка: На устройстве не осталось свободного места"),
              std::string::npos);
    ExpectPossibleRates(Protocol());
    EXPECT_FALSE(std::filesystem::exists(Scratch()));
}

// Catches a share that vanishes mid-read being taken for a good result, or leaving read
// rates from bytes without their time.
TEST_F(FaultyShare, ServerGoneMidReadIsShownAndRecorded) {
    MountFaulty("none");
    int readPolls = 0;
    gOnPoll = [&](tProgress& progress) {
        if (EndsWith(progress.Text, "Чтение"_oem) && ++readPolls == 500'000)
            m_Fs->Kill(SIGKILL);
        return false;
    };
    tNetworkTest test(Params(4, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u) << "the lost share is reported";
    // The request under way is aborted; later ones find no connection.
    std::regex lead(
        "^(Соединение прервано|Нет соединения): файл \"[^\"]*/test.tmp\"\\.\r[\\s\\S]*");
    EXPECT_TRUE(std::regex_match(gMessages[0], lead)) << gMessages[0];
    EXPECT_NE(Protocol().find("\r\nОшибка: " + gMessages[0].substr(0, gMessages[0].find(':'))),
              std::string::npos)
        << Protocol();
    EXPECT_GT(test.Statistics().BytesRead, 0);
    EXPECT_LT(test.Statistics().BytesRead, 4 * kMegabyte);
    ExpectPossibleRates(Protocol());
}

// Catches error bytes miscounted when the server hands back nothing but zeros.
TEST_F(FaultyShare, ZerosFromTheServerCountEveryDifferingByte) {
    MountFaulty("zero-read");
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    EXPECT_TRUE(gMessages.empty());
    EXPECT_EQ(test.Statistics().ErrorBytes, CountNonZeroChainBytes(262'144, test.Block().Bytes()));
    EXPECT_NE(
        Protocol().find("Ошибок -  " + std::to_string(test.Statistics().ErrorBytes) + " байт"),
        std::string::npos)
        << "the entry shows the final count";
    EXPECT_TRUE(BackingEmpty());
}

struct tFreeSpaceCase {
    std::int32_t Megabytes;
    std::int64_t Free;
    const char* Refusal; // nullptr: the test runs
};

// Catches the free-space rule off by one either way, and a refusal that touches the server.
TEST_F(FaultyShare, FreeSpaceIsSizePlusOneMegabyte) {
    const tFreeSpaceCase cases[] = {
        {1, 2 * kMegabyte, nullptr},
        {1, 2 * kMegabyte - 1, "На диске свободно 1 Мб, требуется 2 Мб"},
        {65535, 3 * kMegabyte, "На диске свободно 3 Мб, требуется 65536 Мб"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Free);
        gMessages.clear();
        std::filesystem::remove(m_Work.Path() / "protocol.doc");
        MountFaulty("free", std::to_string(c.Free));
        tNetworkTest test(Params(c.Megabytes, kOneIterationWork, kOneIterationPeriod));
        test.Run();
        if (c.Refusal) {
            ASSERT_EQ(gMessages.size(), 1u);
            EXPECT_EQ(gMessages[0], c.Refusal);
            EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "protocol.doc")) << "no entry";
        } else {
            EXPECT_TRUE(gMessages.empty()) << gMessages[0];
            EXPECT_EQ(test.Statistics().BytesRead, kMegabyte);
        }
        EXPECT_TRUE(BackingEmpty()) << "the server is left as it was";
        Unmount();
    }
}

// Catches a server directory the operator may not write to ending the program silently.
TEST_F(FaultyShare, ReadOnlyServerDirectoryIsShown) {
    MountTmpfs("1m");
    ASSERT_EQ(mount("zarvo-test", m_Server.Str().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr),
              0);
    tNetworkTest test(Params(0, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_EQ(gMessages[0], "Ошибка при создании каталога " + m_Server.Str() +
                                "/TEST_NET.$$$\r(код: 30) Файловая система доступна только "
                                "для чтения");
    EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "protocol.doc"));
}

// Catches a start on a share whose server no longer answers freezing the program instead of
// refusing with the reason within the time limit.
TEST_F(FaultyShare, ServerNotAnsweringAtStartIsRefused) {
    MountFaulty("none");
    m_Fs->Kill(SIGSTOP);
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    tTestEnd end = test.Run();
    m_Fs->Kill(SIGCONT);
    EXPECT_EQ(end, tTestEnd::Stopped);
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_NE(gMessages[0].find("Сервер не отвечает: каталог "), std::string::npos) << gMessages[0];
    EXPECT_NE(gMessages[0].find("(код: 110)"), std::string::npos) << gMessages[0];
    EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "protocol.doc"))
        << "a test that never started has no entry";
}

struct tRereadCase {
    const char* Mode;
    const char* Arg;
    std::int32_t Megabytes;
    std::int64_t ErrorBytes;
    std::int64_t FirstMismatch; // -1: not looked at
    std::int64_t Blocks;
    std::int64_t Persistent;
    std::int64_t Transient;
    std::int64_t FirstBlock;
};

// Catches damage on the way taken for damage on the server (or the reverse), a block or byte
// offset off by a value or a block, a re-read cap that is not kept, and a re-read that changes
// the error count the protocol shows.
TEST_F(FaultyShare, RereadTellsTransientFromPersistent) {
    const tRereadCase cases[] = {
        {"flip-once", "40001", 1, 1, 40'001, 1, 0, 1, 32'768},
        {"flip-stored", "40001", 1, 1, 40'001, 1, 1, 0, 32'768},
        {"flip-once", "0", 1, 1, 0, 1, 0, 1, 0},
        {"flip-stored", "1048575", 1, 1, 1'048'575, 1, 1, 0, 1'015'808},
        {"zero-read", "", 3, -1, -1, 96, 64, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Mode) + " " + c.Arg);
        std::filesystem::remove(m_Work.Path() / "protocol.doc");
        std::filesystem::remove(m_Work.Path() / "zarvo-history.csv");
        MountFaulty(c.Mode, c.Arg);
        tNetworkTest test(Params(c.Megabytes, kOneIterationWork, kOneIterationPeriod));
        EXPECT_EQ(test.Run(), tTestEnd::ErrorBytes);
        EXPECT_TRUE(gMessages.empty());
        std::int64_t errorBytes = c.ErrorBytes >= 0 ? c.ErrorBytes : test.Statistics().ErrorBytes;
        EXPECT_EQ(test.Statistics().ErrorBytes, errorBytes) << "the first read's count";
        EXPECT_NE(Protocol().find("Ошибок -  " + std::to_string(errorBytes) + " байт"),
                  std::string::npos)
            << Protocol();
        nlohmann::json rows = HistoryRows(m_Work.Path());
        ASSERT_EQ(rows.size(), 1u);
        const nlohmann::json& row = rows[0];
        EXPECT_EQ(row["error_bytes"], errorBytes);
        if (c.FirstMismatch >= 0) {
            EXPECT_EQ(row["first_mismatch_offset"], c.FirstMismatch);
        }
        EXPECT_EQ(row["mismatch_blocks"], c.Blocks);
        EXPECT_EQ(row["persistent_blocks"], c.Persistent);
        EXPECT_EQ(row["transient_blocks"], c.Transient);
        const std::vector<tBlockFinding>& blocks = RunEvidence().Blocks;
        ASSERT_EQ(std::int64_t(blocks.size()), c.Persistent + c.Transient);
        EXPECT_EQ(blocks[0].Offset, c.FirstBlock);
        EXPECT_EQ(blocks[0].Iteration, 1);
        EXPECT_EQ(blocks[0].Persistent, c.Persistent > 0);
        EXPECT_TRUE(BackingEmpty());
        Unmount();
    }
}
