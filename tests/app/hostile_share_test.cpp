// The real program against a share where another user acts against the test: links and
// files planted under the names the test uses, swapped in while it waits, and directory
// names that hold control characters. Nothing outside the share directory may change, and
// the operator is told why the test did not run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "platform/cp866.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using namespace zarvo::testing;
namespace fs = std::filesystem;

namespace {

// Every file under a directory with its bytes, links as their targets.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            files[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            files[name] = ReadFileBytes(entry.path());
        else
            files[name] = "<dir>";
    }
    return files;
}

class HostileShare : public ::testing::Test {
  protected:
    void SetUp() override {
        m_Share = m_Root.Path() / "share";
        m_Victim = m_Root.Path() / "victim";
        fs::create_directories(m_Share);
        fs::create_directories(m_Victim);
        std::ofstream(m_Victim / "test.tmp") << "the victim's test.tmp";
        std::ofstream(m_Victim / "Zarvo.lck") << "the victim's lock";
        std::ofstream(m_Victim / "precious") << "a file of somebody else's";
    }

    std::unique_ptr<tChildProcess> Start(const fs::path& directory, const char* workTime,
                                         const char* period) const {
        auto child = std::make_unique<tChildProcess>(
            std::vector<std::string>{"/usr/bin/env", "-u", "DISPLAY", ZARVO_BINARY, "--no-ui",
                                     "--dir", directory.string(), "--size", "1", "--work-time",
                                     workTime, "--period", period},
            m_Work.Str());
        child->CloseInput();
        return child;
    }
    std::string Protocol() const {
        return zarvo::Cp866ToUtf8(ReadFileBytes(m_Work.Path() / "protocol.doc"));
    }
    fs::path Scratch() const { return m_Share / "TEST_NET.$$$"; }

    tTempDir m_Root;
    tTempDir m_Work;
    fs::path m_Share;
    fs::path m_Victim;
};

struct tPlantCase {
    const char* Name;
    std::function<void(const fs::path& scratch, const fs::path& victim)> Plant;
    const char* Told; // on stderr, UTF-8
};

} // namespace

// Catches a test that writes, truncates, creates or deletes through a link or a file that
// another user of the share planted under the test's names before it started.
TEST_F(HostileShare, PlantedNamesAreRefusedAndNothingOutsideChanges) {
    const tPlantCase cases[] = {
        {"scratch directory is a link to another directory",
         [](const fs::path& scratch, const fs::path& victim) {
             fs::create_directory_symlink(victim, scratch);
         },
         "TEST_NET.$$$ - не каталог, а ссылка или файл"},
        {"scratch directory is a file",
         [](const fs::path& scratch, const fs::path&) { std::ofstream(scratch) << "a file"; },
         "TEST_NET.$$$ - не каталог, а ссылка или файл"},
        {"test file is a link to a file",
         [](const fs::path& scratch, const fs::path& victim) {
             fs::create_directory(scratch);
             fs::create_symlink(victim / "precious", scratch / "test.tmp");
         },
         "уже есть файл test.tmp, созданный не этим тестом"},
        {"hold file is a dangling link",
         [](const fs::path& scratch, const fs::path& victim) {
             fs::create_directory(scratch);
             fs::create_symlink(victim / "created-through-the-link", scratch / "Zarvo.lck");
         },
         "(код: 40)"},
        {"hold file is a link to a file",
         [](const fs::path& scratch, const fs::path& victim) {
             fs::create_directory(scratch);
             fs::create_symlink(victim / "Zarvo.lck", scratch / "Zarvo.lck");
         },
         "(код: 40)"},
        {"a test file somebody else left",
         [](const fs::path& scratch, const fs::path&) {
             fs::create_directory(scratch);
             std::ofstream(scratch / "test.tmp") << "somebody else's test";
         },
         "уже есть файл test.tmp, созданный не этим тестом"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(m_Share);
        fs::create_directory(m_Share);
        fs::remove(m_Work.Path() / "protocol.doc");
        c.Plant(Scratch(), m_Victim);
        auto victimBefore = Snapshot(m_Victim);
        auto shareBefore = Snapshot(m_Share);
        auto child = Start(m_Share, "00:00:01", "00:00:00");
        ASSERT_EQ(child->Wait(30'000), 2) << child->Errors();
        EXPECT_NE(child->Errors().find(c.Told), std::string::npos) << child->Errors();
        EXPECT_EQ(Snapshot(m_Victim), victimBefore) << "nothing outside the share changes";
        EXPECT_EQ(Snapshot(m_Share), shareBefore) << "what the test did not make stays";
        EXPECT_FALSE(fs::exists(m_Work.Path() / "protocol.doc")) << "a test that never ran";
    }
}

// Catches a test that writes through a link swapped in for its test file while it waits
// between iterations, or that deletes what was swapped in.
TEST_F(HostileShare, TestFileSwappedForALinkStopsTheTest) {
    auto victimBefore = Snapshot(m_Victim);
    auto child = Start(m_Share, "00:00:00", "00:00:02");
    bool waiting = false;
    for (int waited = 0; waited < 30'000 && !waiting; waited += 20) {
        waiting = child->Errors().find("Ожидание следующего запуска") != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(waiting) << child->Errors();
    ASSERT_TRUE(fs::exists(Scratch() / "test.tmp"));
    fs::remove(Scratch() / "test.tmp");
    fs::create_symlink(m_Victim / "precious", Scratch() / "test.tmp");
    ASSERT_EQ(child->Wait(30'000), 2) << child->Errors();
    EXPECT_EQ(Snapshot(m_Victim), victimBefore) << "the link's target is never written";
    EXPECT_TRUE(fs::is_symlink(Scratch() / "test.tmp")) << "what was swapped in is not deleted";
    EXPECT_FALSE(fs::exists(Scratch() / "Zarvo.lck")) << "the run's own hold file is gone";
    std::string protocol = Protocol();
    EXPECT_NE(protocol.find("Ошибка: Ошибка открытия файла"), std::string::npos) << protocol;
    EXPECT_NE(protocol.find("Файл уже существует"), std::string::npos) << protocol;
}

// Catches a cleanup that removes a scratch directory the run did not make.
TEST_F(HostileShare, ScratchDirectoryFoundThereIsUsedAndLeft) {
    fs::create_directory(Scratch());
    auto child = Start(m_Share, "00:00:01", "00:00:00");
    ASSERT_EQ(child->Wait(30'000), 0) << child->Errors();
    EXPECT_TRUE(fs::is_directory(Scratch())) << "it was there before the test";
    EXPECT_TRUE(fs::is_empty(Scratch())) << "the run's own files are gone";
}

// Catches a directory name whose control characters reach the terminal raw or forge lines
// of the protocol entry.
TEST_F(HostileShare, ControlCharactersInNamesAreNeitherShownNorWrittenRaw) {
    fs::path odd = m_Share / "a\x1b[2J\r\nКаталог /forged\x07z";
    fs::create_directories(odd);
    auto child = Start(odd, "00:00:01", "00:00:00");
    ASSERT_EQ(child->Wait(30'000), 0) << child->Errors();
    std::string protocol = Protocol();
    EXPECT_EQ(protocol.find('\x1b'), std::string::npos) << protocol;
    EXPECT_EQ(protocol.find('\x07'), std::string::npos) << protocol;
    EXPECT_EQ(protocol.find("\r\nКаталог /forged"), std::string::npos) << protocol;
    EXPECT_NE(protocol.find("a?[2J??Каталог /forged?z/TEST_NET.$$$\r\n"), std::string::npos)
        << protocol;

    // A refusal names the directory too, on stderr.
    auto refused = Start(odd / "gone\x1b]0;title\x07", "00:00:01", "00:00:00");
    ASSERT_EQ(refused->Wait(30'000), 2) << refused->Errors();
    EXPECT_EQ(refused->Errors().find('\x1b'), std::string::npos) << refused->Errors();
    EXPECT_NE(refused->Errors().find("Не найден каталог"), std::string::npos) << refused->Errors();
}
