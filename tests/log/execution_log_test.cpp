// The execution log in this process: its file, banners, error records with their call stacks,
// line ends and code page, and what happens to an empty or unwritable log.
#include "log/execution_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "diagnostics/log_output.h"
#include "diagnostics/pending_error.h"
#include "library/dates.h"
#include "library/startup_facts.h"
#include "log/error_records.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "support/temp_dir.h"

using namespace zarvo;
using namespace zarvo::testing;

namespace {

std::string Oem(std::string_view utf8) {
    return Utf8ToCp866(utf8);
}

// Every CR is followed by LF and every LF follows a CR.
bool OnlyCrLfLineEnds(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

[[gnu::noinline]] void PostFromNamedFunction() {
    PostAppError(5, "Ошибка записи в файл"_oem);
    // Something after the call keeps it a call of its own, not a jump that leaves no frame.
    asm volatile("" ::: "memory");
}

class ExecutionLog : public ::testing::Test {
  protected:
    void SetUp() override {
        m_Hook = gErrorPostHook;
        ClearError();
        m_Name = (m_Dir.Path() / "Zarvo.log").string();
    }
    void TearDown() override {
        CloseLog();
        gErrorPostHook = m_Hook;
        ClearError();
    }
    void Open() {
        ASSERT_TRUE(OpenLogAt(FromOsPath(m_Name))) << "expected the log to open at " << m_Name;
        InstallErrorRecords();
    }
    std::string Contents() const { return ReadFileBytes(m_Name); }
    bool Exists() const { return std::filesystem::exists(m_Name); }

    tTempDir m_Dir;
    std::string m_Name;
    tErrorHook m_Hook = nullptr;
};

} // namespace

// Catches a start banner that is missing, misplaced or filled with the wrong facts, an error
// record without its time or stack, a missing finish banner, and any lone CR or LF.
TEST_F(ExecutionLog, PostedErrorIsFramedByBannersWithItsCallStack) {
    Open();
    PostFromNamedFunction();
    CloseLog();
    const std::string log = Contents();
    ASSERT_FALSE(log.empty()) << "expected a log after a posted error";
    EXPECT_TRUE(OnlyCrLfLineEnds(log)) << "expected every line to end in CR LF";

    const std::vector<std::string> lines = Lines(log);
    ASSERT_GE(lines.size(), 14u);
    const tStartupFacts& facts = StartupFacts();
    EXPECT_EQ(lines[0], Oem("-- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- "
                            "Старт программы -- --"));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], Oem("Протокол выполнения ") + facts.ExecutablePath);
    EXPECT_EQ(lines[3], Oem("Версия программы: 1.0.0.1 от ") +
                            std::string(facts.VersionString(Oem("Дата сборки"))));
    EXPECT_EQ(lines[4], Oem("Запуск произведен ") + FormatDate("dd/mm/yyyy", facts.StartDate) +
                            Oem(" в ") + FormatTime("hh:nn:ss", facts.StartTime));
    EXPECT_TRUE(lines[5].starts_with(Oem("Служебная информация: процесс $"))) << lines[5];
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "") << "expected the record to start after an empty line";
    EXPECT_EQ(lines[8].substr(8), Oem(" Ошибка записи в файл(Код : 5).")) << lines[8];
    EXPECT_EQ(lines[9], Oem("  Дамп стека:"));

    bool named = false;
    for (std::size_t i = 10; i < lines.size() && lines[i].starts_with("    $"); ++i) {
        if (lines[i].find("PostFromNamedFunction") == std::string::npos)
            continue;
        named = true;
        EXPECT_NE(lines[i].find(", execution_log_test.cpp, "), std::string::npos)
            << "expected the posting function's source file: " << lines[i];
        EXPECT_EQ(lines[i].find(", 0"), std::string::npos)
            << "expected the posting line, not 0: " << lines[i];
    }
    EXPECT_TRUE(named) << "expected the stack to name the posting function:\n" << log;
    EXPECT_EQ(
        lines.back(),
        Oem("-- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- Финиш программы -- --"));
}

// Catches a run that logged nothing leaving an empty file behind, or appending a banner to
// an earlier run's log.
TEST_F(ExecutionLog, QuietRunLeavesNoFileAndAnEarlierLogUntouched) {
    Open();
    CloseLog();
    EXPECT_FALSE(Exists()) << "expected the empty log to be removed";

    {
        std::FILE* earlier = std::fopen(m_Name.c_str(), "wb");
        ASSERT_NE(earlier, nullptr);
        std::fputs("earlier run\r\n", earlier);
        std::fclose(earlier);
    }
    Open();
    CloseLog();
    EXPECT_EQ(Contents(), "earlier run\r\n") << "expected nothing appended by a quiet run";
}

// Catches a second run overwriting the first one's records instead of appending.
TEST_F(ExecutionLog, RunsAppend) {
    for (int run = 0; run < 2; ++run) {
        Open();
        WriteLogLine("record");
        CloseLog();
    }
    const std::string log = Contents();
    std::size_t first = log.find(Oem("Старт программы"));
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find(Oem("Старт программы"), first + 1), std::string::npos)
        << "expected both runs' banners:\n"
        << log;
}

// Catches a log that cannot be created stopping the program or posting an error of its own.
TEST_F(ExecutionLog, UnwritableLogIsSkippedSilently) {
    EXPECT_FALSE(OpenLogAt(FromOsPath((m_Dir.Path() / "missing" / "Zarvo.log").string())));
    EXPECT_FALSE(IsLogOpen());
    EXPECT_FALSE(IsErrorPending()) << "expected no error about the log itself";
    InstallErrorRecords();
    PostAppError(1, "still posted");
    ASSERT_TRUE(IsErrorPending()) << "expected errors to go on working without a log";
    EXPECT_EQ(PendingError()->Message(), std::string("still posted(Код : 1)."_oem));
}

// Catches records of two threads interleaving inside each other's lines.
TEST_F(ExecutionLog, WritersOnSeveralThreadsKeepTheirLinesWhole) {
    Open();
    const std::string a(300, 'a'), b(300, 'b');
    std::thread other([&] {
        for (int i = 0; i < 200; ++i)
            WriteLogLine(b);
    });
    for (int i = 0; i < 200; ++i)
        WriteLogLine(a);
    other.join();
    CloseLog();
    int whole = 0;
    for (const std::string& line : Lines(Contents()))
        if (line == a || line == b)
            ++whole;
    EXPECT_EQ(whole, 400) << "expected every line to arrive whole";
}

struct tRecordCase {
    const char* Name;
    std::string Message;
    bool Nested;
    std::vector<std::string> Lines; // after the time stamp's line break
};

// Catches wrong wrapping widths, a missing nested indent, a word longer than the line left
// uncut, and centring marks or line breaks that survive into the log.
TEST(ErrorRecordText, WrapsIndentsAndDropsCentringMarks) {
    // With the stamp, the words up to "m" take exactly 74 characters.
    const std::string words = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda m";
    const tRecordCase cases[] = {
        {"short", "disk full", false, {"12:34:56 disk full"}},
        {"wrapped at 74",
         words + " nu xi",
         false,
         {"12:34:56 alpha beta gamma delta epsilon zeta eta theta iota kappa lambda m", "nu xi"}},
        {"nested: indented, wrapped at 72",
         words + " nu xi",
         true,
         {"  12:34:56 alpha beta gamma delta epsilon zeta eta theta iota kappa lambda",
          "  m nu xi"}},
        {"long word cut",
         std::string(80, 'x'),
         false,
         {"12:34:56", std::string(74, 'x'), std::string(6, 'x')}},
        {"centring mark after CR", "first\r\x03second", false, {"12:34:56 first", "second"}},
    };
    for (const tRecordCase& c : cases) {
        ESAppException error(0, c.Message);
        error.Nested = c.Nested;
        std::string expected = "\r\n";
        for (const std::string& line : c.Lines)
            expected += line + "\r\n";
        EXPECT_EQ(ErrorRecordText(error, "12:34:56"), expected) << c.Name;
    }
}

// Catches a nested error dumping a stack, and a plain one without it.
TEST_F(ExecutionLog, OnlyTheFirstErrorCarriesTheStack) {
    Open();
    PostAppError(1, "first");
    PostAppError(2, "second");
    CloseLog();
    const std::string log = Contents();
    const std::string stack = Oem("  Дамп стека:");
    std::size_t first = log.find(stack);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(stack, first + 1), std::string::npos) << "expected one stack:\n" << log;
    EXPECT_LT(first, log.find("second")) << "expected the stack to follow the first error";
    for (const std::string& line : Lines(log)) {
        if (line.find("second") != std::string::npos) {
            EXPECT_TRUE(line.starts_with("  ") && line[2] >= '0' && line[2] <= '9')
                << "expected the nested record indented by two spaces: " << line;
        }
    }
}
