// The working-directory lock, with the real program as first and second copy.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

using namespace zarvo::testing;

namespace {

const char* const kTwoCopies =
    "Две копии программы не могут быть одновременно запущены из одного рабочего каталога.";

const char* const kWaiting = "Ожидание следующего запуска";

// A server directory of its own for each waiting copy (two copies testing one directory
// would refuse each other), kept until the tests end.
std::string NewServer() {
    static std::deque<tTempDir> servers;
    return servers.emplace_back().Str();
}

// A copy that has tested an empty file and waits an hour for the next iteration, holding
// the lock of its working DIRECTORY.
std::unique_ptr<tChildProcess> StartWaitingCopy(const std::string& directory) {
    auto copy = std::make_unique<tChildProcess>(
        std::vector<std::string>{ZARVO_BINARY, "--no-ui", "--dir", NewServer(), "--size", "0",
                                 "--work-time", "00:00:00", "--period", "01:00:00"},
        directory);
    for (int waited = 0; waited < 10'000 && copy->Errors().find(kWaiting) == std::string::npos;
         waited += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return copy;
}

// A shutdown ends the waiting copy in order: cancelled (3), lock released.
void EndWaitingCopy(tChildProcess& copy) {
    copy.Kill(SIGTERM);
    EXPECT_EQ(copy.Wait(10'000), 3) << copy.Errors();
}

std::filesystem::path LockFile(const tTempDir& work) {
    return work.Path() / "TEMP" / "Zarvo.lck";
}

} // namespace

// Catches a second copy that runs beside the first, or that disturbs the first's lock.
TEST(WorkDirLock, SecondCopyIsRefusedAndFirstKeepsItsLock) {
    tTempDir work;
    auto first = StartWaitingCopy(work.Str());
    ASSERT_TRUE(std::filesystem::exists(LockFile(work))) << first->Errors();

    tChildProcess second({ZARVO_BINARY}, work.Str());
    second.CloseInput();
    EXPECT_EQ(second.Wait(10'000), 0);
    EXPECT_NE(second.Errors().find(kTwoCopies), std::string::npos) << second.Errors();
    EXPECT_TRUE(std::filesystem::exists(LockFile(work))) << "the first copy's lock file remains";

    EndWaitingCopy(*first);
    EXPECT_FALSE(std::filesystem::exists(LockFile(work))) << "released at the orderly end";
}

// Catches two working directories sharing one lock.
TEST(WorkDirLock, CopiesInDifferentDirectoriesBothRun) {
    tTempDir one, two;
    auto first = StartWaitingCopy(one.Str());
    auto second = StartWaitingCopy(two.Str());
    EXPECT_NE(first->Errors().find(kWaiting), std::string::npos) << first->Errors();
    EXPECT_NE(second->Errors().find(kWaiting), std::string::npos) << second->Errors();
}

// Catches a lock file left by a killed copy blocking every later start.
TEST(WorkDirLock, LockLeftByKilledCopyIsNoObstacle) {
    tTempDir work;
    auto killed = StartWaitingCopy(work.Str());
    killed->Kill(SIGKILL);
    killed->Wait(5000);
    ASSERT_TRUE(std::filesystem::exists(LockFile(work))) << "the killed copy left its file";

    auto next = StartWaitingCopy(work.Str());
    EXPECT_NE(next->Errors().find(kWaiting), std::string::npos) << next->Errors();
    EndWaitingCopy(*next);
    EXPECT_FALSE(std::filesystem::exists(LockFile(work)));
}

// Catches a file-system error on the lock being taken for "another copy".
TEST(WorkDirLock, UnwritableLockDirectoryGetsTheErrorBox) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a read-only directory";
    tTempDir work;
    std::filesystem::create_directory(work.Path() / "TEMP");
    std::string temp = (work.Path() / "TEMP").string();
    ASSERT_EQ(mount("zarvo-test", temp.c_str(), "tmpfs", MS_RDONLY, "size=64k"), 0);
    tChildProcess copy({ZARVO_BINARY}, work.Str());
    copy.CloseInput();
    EXPECT_EQ(copy.Wait(10'000), 0);
    umount2(temp.c_str(), MNT_DETACH);
    EXPECT_EQ(copy.Errors().find(kTwoCopies), std::string::npos) << copy.Errors();
    EXPECT_NE(copy.Errors().find("Ошибка: (код: 30) Файловая система доступна только для чтения"),
              std::string::npos)
        << copy.Errors();
}

// Catches a working directory whose name CP866 cannot hold being replaced by its "?" form:
// the lock (and with it every file of the run) would land in a stray directory.
TEST(WorkDirLock, NameOutsideCp866IsUsedAsItIs) {
    tTempDir parent;
    std::filesystem::path work = parent.Path() / "тест-і";
    ASSERT_TRUE(std::filesystem::create_directory(work));
    auto copy = StartWaitingCopy(work.string());
    EXPECT_TRUE(std::filesystem::exists(work / "TEMP" / "Zarvo.lck")) << copy->Errors();
    EndWaitingCopy(*copy);
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(parent.Path()))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"тест-і"}) << "nothing is made beside it";
}
