// The real program started with options and without a UI: its exit status, its protocol
// entry, what it writes on stderr, and the server left clean.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "app/history_rows.h"
#include "platform/cp866.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using namespace zarvo::testing;

namespace {

const char* const kTwoCopies =
    "Две копии программы не могут быть одновременно запущены из одного рабочего каталога.";

class CommandLineRun : public ::testing::Test {
  protected:
    // Started in `work`, without a display and without a terminal, as cron starts it; an
    // argument holding `server` names the server directory there.
    std::unique_ptr<tChildProcess> Start(const std::vector<std::string>& options,
                                         const tTempDir& work) const {
        std::vector<std::string> argv = {"/usr/bin/env", "-u", "DISPLAY", ZARVO_BINARY};
        for (const std::string& option : options) {
            std::string argument = option;
            if (std::size_t at = argument.find("server"); at != std::string::npos)
                argument.replace(at, 6, m_Server.Str());
            argv.push_back(argument);
        }
        auto child = std::make_unique<tChildProcess>(argv, work.Str());
        child->CloseInput();
        return child;
    }
    std::unique_ptr<tChildProcess> Start(const std::vector<std::string>& options) const {
        return Start(options, m_Work);
    }
    static std::string Protocol(const tTempDir& work) {
        return zarvo::Cp866ToUtf8(ReadFileBytes(work.Path() / "protocol.doc"));
    }
    int Entries() const {
        std::string protocol = Protocol(m_Work);
        int count = 0;
        for (std::size_t at = 0; (at = protocol.find("Размер файла", at)) != std::string::npos;
             ++at)
            ++count;
        return count;
    }
    bool ServerEmpty() const { return std::filesystem::is_empty(m_Server.Path()); }

    // Bounded: the run under test has started its wait between two iterations.
    static bool WaitForWaiting(tChildProcess& child) {
        for (int waited = 0; waited < 30'000; waited += 20) {
            if (child.Errors().find("Ожидание следующего запуска в") != std::string::npos)
                return true;
            if (!child.Running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    tTempDir m_Work;
    tTempDir m_Server;
};

struct tRunCase {
    const char* Name;
    std::vector<std::string> Options;
    int Status;
    bool Entry;
    bool LockTaken;     // false: refused before anything was touched
    const char* Errors; // expected on stderr, UTF-8
    const char* Output; // expected on stdout; nullptr: nothing at all
};

} // namespace

// Catches a wrong exit status for scripts, an entry written for a test that never ran (or
// none for one that did), refusals that do not say why, and progress lines missing a phase.
TEST_F(CommandLineRun, EndsWithTheStatusOfTheTest) {
    const tRunCase cases[] = {
        {"clean run",
         {"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:01"},
         0,
         true,
         true,
         "Тестирование сети\n",
         nullptr},
        {"no terminal and no display",
         {"--dir=server", "--size=1", "--work-time=00:00:01"},
         0,
         true,
         true,
         "Тестирование сети\n",
         nullptr},
        {"missing directory",
         {"--no-ui", "--dir", "server/missing", "--size", "1"},
         2,
         false,
         true,
         "Не найден каталог ",
         nullptr},
        {"no directory",
         {"--no-ui", "--size", "1"},
         2,
         false,
         true,
         "Не указан каталог на сервере",
         nullptr},
        {"size out of range",
         {"--dir", "server", "--size", "70000"},
         2,
         false,
         false,
         "zarvo: --size=70000: Размер файла - число от 0 до 65535\nСправка: zarvo --help\n",
         nullptr},
        {"unknown option",
         {"--dir", "server", "--verbose"},
         2,
         false,
         false,
         "Неизвестный параметр: --verbose",
         nullptr},
        {"help", {"--help", "--dir", "server"}, 0, false, false, nullptr, "Использование: zarvo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        tTempDir work;
        auto child = Start(c.Options, work);
        ASSERT_EQ(child->Wait(30'000), c.Status) << child->Errors();
        EXPECT_EQ(std::filesystem::exists(work.Path() / "protocol.doc"), c.Entry)
            << "an entry only for a test that ran";
        EXPECT_EQ(std::filesystem::exists(work.Path() / "TEMP"), c.LockTaken);
        EXPECT_FALSE(std::filesystem::exists(work.Path() / "TEMP" / "Zarvo.lck"));
        std::string errors = child->Errors();
        if (c.Entry) {
            std::string protocol = Protocol(work);
            EXPECT_NE(protocol.find("Размер файла 1 Мб\r\n"), std::string::npos) << protocol;
            EXPECT_NE(protocol.find("Прочитано 1 Мб. Ошибок -  0 байт. \r\n"), std::string::npos)
                << protocol;
            // Each line leads with its time, ISO 8601 with the offset.
            for (const char* phase : {"Запись\n", "Чтение\n", "Прочитано 1 Мб. Ошибок"})
                EXPECT_TRUE(std::regex_search(
                    errors, std::regex(std::string("\n\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:"
                                                   "\\d\\d[+-]\\d\\d:\\d\\d ") +
                                       phase)))
                    << "the lines show " << phase << " in:\n"
                    << errors;
        }
        if (c.Errors) {
            EXPECT_NE(errors.find(c.Errors), std::string::npos) << errors;
        }
        if (c.Output) {
            EXPECT_NE(child->Output().find(c.Output), std::string::npos) << child->Output();
        } else {
            EXPECT_EQ(child->Output(), "") << "stdout stays free";
        }
        EXPECT_TRUE(ServerEmpty()) << "the server is left as it was";
    }
}

// Catches a stop by Ctrl+C or a signal reported as a finished test, or leaving the server
// dirty and the protocol without its entry.
TEST_F(CommandLineRun, InterruptedRunEndsCancelledWithItsEntry) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        int entriesBefore = Entries();
        auto child = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:00",
                            "--period", "01:00:00"});
        ASSERT_TRUE(WaitForWaiting(*child)) << child->Errors();
        child->Kill(signal);
        ASSERT_EQ(child->Wait(20'000), 3) << child->Errors();
        EXPECT_EQ(Entries(), entriesBefore + 1) << "the cancelled test has its entry";
        EXPECT_TRUE(ServerEmpty());
        EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "TEMP" / "Zarvo.lck"));
    }
}

// Catches a copy refused by the working-directory lock ending with 0, as if it had tested.
TEST_F(CommandLineRun, RefusedLockIsAStop) {
    auto first = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:00",
                        "--period", "01:00:00"});
    ASSERT_TRUE(WaitForWaiting(*first)) << first->Errors();
    auto second = Start({"--no-ui", "--dir", "server", "--size", "1"});
    EXPECT_EQ(second->Wait(20'000), 2) << second->Errors();
    EXPECT_NE(second->Errors().find(kTwoCopies), std::string::npos) << second->Errors();
    EXPECT_TRUE(first->Running()) << "the first copy goes on";
    first->Kill(SIGTERM);
    EXPECT_EQ(first->Wait(20'000), 3);
}

// Catches a differing byte from the server ending with the status of a clean test, or its
// block missing from the lines without a UI.
TEST_F(CommandLineRun, FlippedByteEndsWithOne) {
    if (!CanMount())
        GTEST_SKIP() << "needs root and /dev/fuse";
    tTempDir backing;
    std::string script = std::string(ZARVO_TEST_DIR) + "/support/faulty_fs.py";
    tChildProcess fs(
        {"/usr/bin/python3", script, backing.Str(), m_Server.Str(), "flip-read", "40001"}, "/");
    ASSERT_TRUE(WaitUntilMounted(m_Server.Str(), 10'000)) << fs.Errors();
    auto child = Start(
        {"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:01", "--json", "-"});
    int status = child->Wait(30'000);
    RunCommand("fusermount -u -z " + m_Server.Str(), 10);
    fs.Kill(SIGTERM);
    fs.Wait(5000);
    EXPECT_EQ(status, 1) << child->Errors();
    EXPECT_NE(Protocol(m_Work).find("Ошибок -  1 байт"), std::string::npos) << Protocol(m_Work);
    // Where the bad byte is, and that it came back the same when read again.
    for (const char* line : {"Ошибка в блоке со смещением 32768, первый ошибочный байт 40001\n",
                             "Блок со смещением 32768 при повторном чтении снова отличается"})
        EXPECT_NE(child->Errors().find(line), std::string::npos) << child->Errors();
    nlohmann::json run = nlohmann::json::parse(child->Output(), nullptr, false);
    EXPECT_EQ(run["blocks"], nlohmann::json::parse(R"([{"iteration": 1, "pass": "read",
                                                        "offset": 32768, "class": "persistent"}])"))
        << child->Output();
    EXPECT_EQ(run["iterations"][0]["first_mismatch_offset"], 40'001);
    EXPECT_EQ(run["exit_status"], 1);
    EXPECT_TRUE(std::filesystem::is_empty(backing.Path())) << "the share is left clean";
}

// Catches a reader of stderr that went away (a pipe into head) killing the test with SIGPIPE
// before its entry and cleanup.
TEST_F(CommandLineRun, StderrClosedByItsReaderDoesNotEndTheTest) {
    int status = RunCommand("cd " + m_Work.Str() + " && " + ZARVO_BINARY + " --no-ui --dir " +
                                m_Server.Str() +
                                " --size 1 --work-time 00:00:01 2>&1 | head -c 10 >/dev/null; "
                                "exit ${PIPESTATUS[0]}",
                            60);
    EXPECT_EQ(status, 0) << "the test's own status, not death by SIGPIPE";
    EXPECT_EQ(Entries(), 1);
    EXPECT_TRUE(ServerEmpty());
    EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "TEMP" / "Zarvo.lck"));
}

// Catches a refused second copy deleting the running copy's log as its own empty one, so that
// what the running copy logs afterwards is lost.
TEST_F(CommandLineRun, RefusedCopyLeavesTheRunningCopysLog) {
    auto first = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:00",
                        "--period", "01:00:00"});
    ASSERT_TRUE(WaitForWaiting(*first)) << first->Errors();
    std::filesystem::path log = m_Work.Path() / "Zarvo.log";
    ASSERT_TRUE(std::filesystem::exists(log)) << "the running copy keeps its log open";
    struct stat before {};
    ASSERT_EQ(stat(log.c_str(), &before), 0);
    auto second = Start({"--no-ui", "--dir", "server", "--size", "1"});
    EXPECT_EQ(second->Wait(20'000), 2) << second->Errors();
    struct stat after {};
    EXPECT_EQ(stat(log.c_str(), &after), 0) << "the log is still there";
    EXPECT_EQ(after.st_ino, before.st_ino) << "and it is still the running copy's";
    first->Kill(SIGTERM);
    EXPECT_EQ(first->Wait(20'000), 3);
}

// Catches a lock file name that another user turned into a link creating or truncating the
// file it leads to.
TEST_F(CommandLineRun, LinkedLockFileIsRefused) {
    tTempDir victim;
    std::filesystem::create_directory(m_Work.Path() / "TEMP");
    std::filesystem::create_symlink(victim.Path() / "made-through-the-link",
                                    m_Work.Path() / "TEMP" / "Zarvo.lck");
    auto child = Start({"--no-ui", "--dir", "server", "--size", "1"});
    EXPECT_EQ(child->Wait(20'000), 2) << child->Errors();
    EXPECT_NE(child->Errors().find("(код: 40)"), std::string::npos) << child->Errors();
    EXPECT_TRUE(std::filesystem::is_empty(victim.Path())) << "nothing made through the link";
    EXPECT_TRUE(std::filesystem::is_symlink(m_Work.Path() / "TEMP" / "Zarvo.lck"));
    EXPECT_TRUE(ServerEmpty());
}

// Catches a log name that another user turned into a dangling link making a file wherever
// it leads.
TEST_F(CommandLineRun, LogThatIsADanglingLinkMakesNothingElsewhere) {
    tTempDir victim;
    std::filesystem::create_symlink(victim.Path() / "made-through-the-link",
                                    m_Work.Path() / "Zarvo.log");
    auto child = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:01"});
    EXPECT_EQ(child->Wait(20'000), 0) << child->Errors();
    EXPECT_TRUE(std::filesystem::is_empty(victim.Path())) << "nothing made through the link";
    EXPECT_EQ(Entries(), 1);
}

namespace {

struct tLostEntryCase {
    const char* Name;
    bool NeedsRoot;
    // Prepares the working directory; answers the command that undoes it, if any.
    std::function<std::string(const std::filesystem::path& work)> Make;
};

} // namespace

// Catches an entry that could not be written reported as a clean test (status 0), so a cron
// job that mails on a non-zero status never hears of it.
TEST_F(CommandLineRun, EntryThatCannotBeWrittenIsAFailure) {
    const tLostEntryCase cases[] = {
        {"protocol.doc is a directory", false,
         [](const std::filesystem::path& work) {
             std::filesystem::create_directory(work / "protocol.doc");
             return std::string();
         }},
        {"protocol.doc is a link that leads nowhere", false,
         [](const std::filesystem::path& work) {
             std::filesystem::create_symlink(work / "gone" / "protocol.doc", work / "protocol.doc");
             return std::string();
         }},
        {"protocol.doc is read-only", true,
         [](const std::filesystem::path& work) {
             std::string file = (work / "protocol.doc").string();
             std::ofstream(file) << "";
             RunCommand("mount --bind " + file + " " + file + " && mount -o remount,bind,ro " +
                        file + " " + file);
             return "umount " + file;
         }},
        {"the disk is full", true,
         [](const std::filesystem::path& work) {
             std::string dir = work.string();
             RunCommand("mount -t tmpfs -o size=256k zarvo-full " + dir +
                        " && dd if=/dev/zero of=" + dir + "/filler bs=4k 2>/dev/null; true");
             return "umount -l " + dir;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.NeedsRoot && geteuid() != 0)
            continue;
        tTempDir work;
        std::string undo = c.Make(work.Path());
        auto child =
            Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:01"}, work);
        int status = child->Wait(30'000);
        std::string errors = child->Errors();
        bool lockLeft = std::filesystem::exists(work.Path() / "TEMP" / "Zarvo.lck");
        std::filesystem::path protocol = work.Path() / "protocol.doc";
        bool halfEntry =
            std::filesystem::is_regular_file(protocol) && !ReadFileBytes(protocol).empty();
        if (!undo.empty())
            RunCommand(undo);
        EXPECT_EQ(status, 2) << errors;
        EXPECT_NE(errors.find("Не удалось записать протокол protocol.doc"), std::string::npos)
            << errors;
        EXPECT_TRUE(ServerEmpty());
        EXPECT_FALSE(lockLeft);
        EXPECT_FALSE(halfEntry) << "no part of an entry is left";
    }
}

// Catches entries of copies that share one protocol through links overwriting or cutting into
// one another when the copies end together.
TEST_F(CommandLineRun, CopiesSharingAProtocolKeepEveryEntryWhole) {
    constexpr int kCopies = 8, kRounds = 3;
    std::filesystem::path shared = m_Work.Path() / "shared.doc";
    std::ofstream(shared) << "";
    std::vector<std::unique_ptr<tTempDir>> works, servers;
    for (int i = 0; i < kCopies; ++i) {
        works.push_back(std::make_unique<tTempDir>());
        servers.push_back(std::make_unique<tTempDir>());
        std::filesystem::create_symlink(shared, works.back()->Path() / "protocol.doc");
    }
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<tChildProcess>> copies;
        for (int i = 0; i < kCopies; ++i) {
            copies.push_back(std::make_unique<tChildProcess>(
                std::vector<std::string>{ZARVO_BINARY, "--no-ui", "--dir", servers[i]->Str(),
                                         "--size", "0", "--work-time", "00:00:01"},
                works[i]->Str()));
            copies.back()->CloseInput();
        }
        for (auto& copy : copies)
            ASSERT_EQ(copy->Wait(30'000), 0) << copy->Errors();
    }
    std::string protocol = zarvo::Cp866ToUtf8(ReadFileBytes(shared));
    const std::regex entry("\r\n\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n"
                           "Размер файла 0 Мб\r\n"
                           "Каталог [^\r\n]+/TEST_NET\\.\\$\\$\\$\r\n"
                           "Время работы \\d\\d:\\d\\d:\\d\\d\r\n"
                           "Прочитано 0 Мб\\. Ошибок -  0 байт\\. \r\n");
    int whole = 0;
    std::string rest = protocol;
    std::smatch match;
    while (std::regex_search(rest, match, entry, std::regex_constants::match_continuous)) {
        ++whole;
        rest = match.suffix();
    }
    EXPECT_EQ(whole, kCopies * kRounds) << protocol;
    EXPECT_EQ(rest, "") << "nothing but whole entries";
}

// Catches a summary Python's json cannot read or that strays from its documented shape, rows
// that differ from the history's, text where numbers belong, and a status in it that is not
// the program's.
TEST_F(CommandLineRun, JsonSummaryOfTheWholeRun) {
    for (const char* destination : {"run.json", "-"}) {
        SCOPED_TRACE(destination);
        tTempDir work;
        auto child = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:03",
                            "--period", "00:00:02", "--json", destination},
                           work);
        ASSERT_EQ(child->Wait(30'000), 0) << child->Errors();
        std::filesystem::path summary = work.Path() / "run.json";
        if (std::string(destination) == "-") {
            std::ofstream(summary, std::ios::binary) << child->Output();
        } else {
            EXPECT_EQ(child->Output(), "") << "stdout stays free";
        }
        std::string script = std::string(ZARVO_TEST_DIR) + "/support/check_run_json.py";
        tChildProcess reader({"/usr/bin/python3", script, summary.string()}, work.Str());
        reader.CloseInput();
        ASSERT_EQ(reader.Wait(20'000), 0) << reader.Errors();
        nlohmann::json run = nlohmann::json::parse(reader.Output(), nullptr, false);
        EXPECT_EQ(run["parameters"]["directory"], m_Server.Str());
        EXPECT_EQ(run["parameters"]["file_size"], 1'048'576);
        EXPECT_DOUBLE_EQ(run["parameters"]["work_time_minutes"].get<double>(), 0.05);
        EXPECT_DOUBLE_EQ(run["parameters"]["period_minutes"].get<double>(), 2.0 / 60);
        EXPECT_EQ(run["iterations"], HistoryRows(work.Path())) << "the history's rows, as read";
        EXPECT_EQ(run["iterations"].size(), 2u);
        EXPECT_EQ(run["blocks"], nlohmann::json::array());
        EXPECT_EQ(run["totals"]["iterations"], 2);
        EXPECT_EQ(run["totals"]["read_bytes"], 2 * 1'048'576);
        EXPECT_EQ(run["exit_status"], 0);
    }
}

// Catches a summary that could not be written ending the run as a success, so that a script
// would go on to read an old summary as this run's.
TEST_F(CommandLineRun, JsonSummaryThatCannotBeWrittenIsAFailure) {
    auto child = Start({"--no-ui", "--dir", "server", "--size", "1", "--work-time", "00:00:01",
                        "--json", "missing/run.json"});
    EXPECT_EQ(child->Wait(30'000), 2) << child->Errors();
    EXPECT_NE(child->Errors().find("Не удалось записать итог JSON missing/run.json"),
              std::string::npos)
        << child->Errors();
    EXPECT_EQ(Entries(), 1) << "the test itself ran and has its entry";
}
