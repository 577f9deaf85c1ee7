// The leak report at a real process end: the probe program plants errors, exceptions and
// leaks, and the real program runs a short test; their logs and standard error are checked.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "diagnostics/heap_accounting.h"
#include "platform/cp866.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using namespace zarvo::testing;

namespace {

struct tRun {
    int ExitCode = -1;
    std::string Log; // CP866; empty when no log was left
    bool LogExists = false;
    std::string Errors;
};

tRun RunIn(const std::filesystem::path& directory, const std::vector<std::string>& argv) {
    tChildProcess child(argv, directory.string());
    child.CloseInput();
    tRun run;
    run.ExitCode = child.Wait(60'000);
    run.Errors = child.Errors();
    run.LogExists = std::filesystem::exists(directory / "Zarvo.log");
    run.Log = ReadFileBytes(directory / "Zarvo.log");
    return run;
}

tRun RunProbe(const std::string& mode) {
    tTempDir work;
    return RunIn(work.Path(), {ZARVO_LEAK_PROBE, mode});
}

std::string Oem(std::string_view utf8) {
    return zarvo::Utf8ToCp866(utf8);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The number of bytes the dump's hex lines show.
std::size_t DumpedBytes(const std::string& log) {
    std::size_t bytes = 0, start = log.find(Oem("Дамп неосвобожденной памяти"));
    for (std::size_t end;
         start != std::string::npos && (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        std::string_view line(log.data() + start, end - start);
        // "XX XX ... XX  chars": two hex digits and a space per byte, then a space.
        std::size_t i = 0;
        while (i + 2 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i])) &&
               std::isxdigit(static_cast<unsigned char>(line[i + 1])) && line[i + 2] == ' ')
            i += 3;
        if (i > 0 && i < line.size() && line[i] == ' ')
            bytes += i / 3;
    }
    return bytes;
}

const std::string kLeakSummary = "Количество неосвобождённых блоков памяти";

} // namespace

// Catches allocations of a tidy run (strings, vectors, framework objects, the event bus made
// on first use) being taken for leaks, and a log or summary left by a run with nothing in it.
TEST(LeakReport, TidyRunReportsNothing) {
    if (!ZARVO_HEAP_ACCOUNTING)
        GTEST_SKIP() << "the sanitizers' allocator keeps no block list";
    tRun run = RunProbe("clean");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_FALSE(run.LogExists) << "expected no log:\n" << zarvo::Cp866ToUtf8(run.Log);
    EXPECT_EQ(run.Errors.find(kLeakSummary), std::string::npos) << run.Errors;
}

// Catches a leaked framework object shown without its class, a plain block dumped with wrong
// bytes or lines, a total that does not match the dump, a dump without the start banner of a
// run that logged nothing else, and a missing summary.
TEST(LeakReport, PlantedLeaksAreDumpedByClassAndBytes) {
    if (!ZARVO_HEAP_ACCOUNTING)
        GTEST_SKIP() << "the sanitizers' allocator keeps no block list";
    tRun run = RunProbe("leak");
    EXPECT_EQ(run.ExitCode, 0);
    const std::string& log = run.Log;
    const std::string shown = zarvo::Cp866ToUtf8(log);
    ASSERT_TRUE(log.starts_with(Oem("-- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- "
                                    "Старт программы -- --\r\n")))
        << "expected the dump to bring the start banner:\n"
        << shown;
    const std::string header = Oem("\r\nДамп неосвобожденной памяти (суммарный размер ");
    std::size_t at = log.find(header);
    ASSERT_NE(at, std::string::npos) << shown;
    std::size_t total = std::stoul(log.substr(at + header.size()));
    EXPECT_NE(log.find(Oem(" байт):\r\n"), at), std::string::npos) << shown;
    EXPECT_EQ(DumpedBytes(log), total) << "expected the total to be the dumped bytes:\n" << shown;

    EXPECT_NE(log.find(" ((anonymous namespace)::tProbeObject):\r\n"), std::string::npos)
        << "expected the framework object named by its class:\n"
        << shown;
    EXPECT_NE(log.find(" ():\r\n41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  "
                       "ABCDEFGHIJKLMNOP\r\n0D 0A 51 52  ..QR\r\n"),
              std::string::npos)
        << "expected the 20-byte block as 16 and 4 bytes, line breaks shown as dots:\n"
        << shown;
    EXPECT_TRUE(log.ends_with(Oem("Финиш программы -- --\r\n")))
        << "expected the finish banner after the dump:\n"
        << shown;
    EXPECT_EQ(Count(log, Oem("Старт программы")), 1u);

    EXPECT_NE(run.Errors.find(kLeakSummary + " : 2\n"), std::string::npos) << run.Errors;
    EXPECT_NE(run.Errors.find(
                  "Суммарный размер неосвобождённой памяти  : " + std::to_string(total) + "\n"),
              std::string::npos)
        << run.Errors;
}

// Catches a second start banner when the log already had records, and a dump placed before
// the records or after the finish banner.
TEST(LeakReport, DumpFollowsTheRunsRecordsUnderOneBanner) {
    if (!ZARVO_HEAP_ACCOUNTING)
        GTEST_SKIP() << "the sanitizers' allocator keeps no block list";
    const std::string log = RunProbe("error-and-leak").Log;
    const std::string shown = zarvo::Cp866ToUtf8(log);
    EXPECT_EQ(Count(log, Oem("Старт программы")), 1u) << shown;
    EXPECT_EQ(Count(log, Oem("Финиш программы")), 1u) << shown;
    std::size_t record = log.find(Oem("Сбой пробы"));
    std::size_t dump = log.find(Oem("Дамп неосвобожденной памяти"));
    std::size_t finish = log.find(Oem("\r\nФиниш "));
    ASSERT_NE(record, std::string::npos) << shown;
    EXPECT_LT(record, dump) << shown;
    EXPECT_LT(dump, finish) << shown;
}

// Catches a report that still runs after it was switched off, or a switched-off report that
// leaves the empty log behind.
TEST(LeakReport, SwitchedOffReportLeavesNothing) {
    tRun run = RunProbe("disabled");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_FALSE(run.LogExists) << zarvo::Cp866ToUtf8(run.Log);
    EXPECT_EQ(run.Errors.find(kLeakSummary), std::string::npos) << run.Errors;
}

// Catches a posted error or a raised exception missing from the log at a real process end,
// with the function that posted or threw it.
TEST(LeakReport, ErrorsAndExceptionsReachTheLogOfARealRun) {
    const std::string errors = RunProbe("error").Log;
    EXPECT_NE(errors.find(", PostProbeError, leak_probe.cpp, "), std::string::npos)
        << zarvo::Cp866ToUtf8(errors);
    const std::string thrown = RunProbe("exception").Log;
    EXPECT_NE(thrown.find(Oem("\r\n  Исключение по адресу $")), std::string::npos)
        << zarvo::Cp866ToUtf8(thrown);
    EXPECT_NE(thrown.find(", ThrowProbeException, leak_probe.cpp, "), std::string::npos)
        << zarvo::Cp866ToUtf8(thrown);
}

// Catches a log written into a stray directory when the working directory's name has
// characters CP866 lacks.
TEST(LeakReport, LogLandsInAWorkingDirectoryCp866CannotName) {
    tTempDir parent;
    const std::filesystem::path work = parent.Path() / "журнал-ї";
    ASSERT_TRUE(std::filesystem::create_directory(work));
    tRun run = RunIn(work, {ZARVO_LEAK_PROBE, "error"});
    EXPECT_TRUE(run.LogExists) << "expected Zarvo.log inside " << work;
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(parent.Path()))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"журнал-ї"}) << "expected nothing beside it";
}

// Catches the real program's own allocations (the views, the test cycle, the registries) being
// reported after a whole short test, or after a start that gives up at the first question.
TEST(LeakReport, RealProgramEndsWithoutLeaks) {
    tTempDir work, server;
    tRun tested = RunIn(work.Path(), {ZARVO_BINARY, "--no-ui", "--dir", server.Str(), "--size", "1",
                                      "--work-time", "00:00:01", "--period", "00:00:00"});
    EXPECT_EQ(tested.ExitCode, 0) << tested.Errors;
    EXPECT_TRUE(std::filesystem::exists(work.Path() / "protocol.doc")) << "expected a whole test";
    EXPECT_FALSE(tested.LogExists) << zarvo::Cp866ToUtf8(tested.Log);
    EXPECT_EQ(tested.Errors.find(kLeakSummary), std::string::npos) << tested.Errors;

    // Nothing to show the questions on: refused after the start-up, still without a leak.
    tTempDir quiet;
    tRun noHost = RunIn(quiet.Path(), {"/usr/bin/env", "-u", "DISPLAY", ZARVO_BINARY});
    EXPECT_EQ(noHost.ExitCode, 1) << noHost.Errors;
    EXPECT_FALSE(noHost.LogExists) << zarvo::Cp866ToUtf8(noHost.Log);
    EXPECT_EQ(noHost.Errors.find(kLeakSummary), std::string::npos) << noHost.Errors;
}
