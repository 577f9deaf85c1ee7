// The command line: options in both forms, the same refusals as the questions give, and the
// exit status a run with options ends with.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/cp866.h"

using namespace zarvo;

namespace {

tCommandLine Parse(const std::vector<const char*>& arguments) {
    return tCommandLine(std::span<const char* const>(arguments.data(), arguments.size()));
}

struct tAcceptCase {
    std::vector<const char*> Arguments;
    std::string Directory; // UTF-8
    std::int32_t FileSize;
    std::int32_t WorkTime;
    std::int32_t Period;
    bool NoUi;
};

struct tRefuseCase {
    std::vector<const char*> Arguments;
    std::string Message; // UTF-8
};

// The longest directory the test holds, and one character more.
const std::string kLongestDirectory = "/" + std::string(254, 'd');
const std::string kTooLongDirectory = kLongestDirectory + "d";

} // namespace

// Catches a form of an option not understood, a value taken from the wrong place, or the
// defaults of the questions not standing in for the parameters left out.
TEST(CommandLine, AcceptedParameters) {
    const tAcceptCase cases[] = {
        {{"--dir", "/srv/share"}, "/srv/share", 100, 0, 3600, false},
        {{"--dir=/srv/share", "--size=5", "--work-time=01:30:00", "--period=00:00:10"},
         "/srv/share",
         5,
         5400,
         10,
         false},
        {{"--period", "1:2:3", "--size", "0", "--dir", "/x", "--work-time", "23:59:59"},
         "/x",
         0,
         86399,
         3723,
         false},
        {{"--size", "65535", "--no-ui", "--dir", "/x"}, "/x", 65535, 0, 3600, true},
        {{"--dir", "  /x \t"}, "/x", 100, 0, 3600, false},
        {{"--dir", "/mnt/тест"}, "/mnt/тест", 100, 0, 3600, false},
        {{"--dir=a=b"}, "a=b", 100, 0, 3600, false},
        // Refused later with the questions' own message, so that both ways say the same.
        {{"--dir="}, "", 100, 0, 3600, false},
        {{"--no-ui"}, "", 100, 0, 3600, true},
        {{"--dir", kLongestDirectory.c_str()}, kLongestDirectory, 100, 0, 3600, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.front());
        tCommandLine line = Parse(c.Arguments);
        ASSERT_EQ(line.Action(), tCommandLine::tAction::Run) << Cp866ToUtf8(line.Message());
        const tTestParams* params = line.TestParams();
        ASSERT_NE(params, nullptr) << "the parameters are given, not asked";
        EXPECT_EQ(Cp866ToUtf8(params->Directory), c.Directory);
        EXPECT_EQ(params->FileSize, c.FileSize);
        EXPECT_EQ(params->WorkTime, c.WorkTime);
        EXPECT_EQ(params->Period, c.Period);
        EXPECT_EQ(line.NoUi(), c.NoUi);
    }
}

// Catches a start without options that no longer asks the operator.
TEST(CommandLine, NoOptionsAsks) {
    tCommandLine line = Parse({});
    EXPECT_EQ(line.Action(), tCommandLine::tAction::Run);
    EXPECT_EQ(line.TestParams(), nullptr) << "nothing given: the questions are asked";
    EXPECT_FALSE(line.NoUi());
}

// Catches a value the questions would refuse being taken from the command line, a mistake
// in the options going unnoticed, and a directory name changed into another one.
TEST(CommandLine, RefusedArguments) {
    const tRefuseCase cases[] = {
        {{"--dir", "/x", "--size", "70000"}, "--size=70000: Размер файла - число от 0 до 65535"},
        {{"--size=abc"}, "--size=abc: Размер файла - число от 0 до 65535"},
        {{"--size=-1"}, "--size=-1: Размер файла - число от 0 до 65535"},
        {{"--work-time", "24:00:00"},
         "--work-time=24:00:00: Время указывается как чч:мм:сс, от 00:00:00 до 23:59:59"},
        {{"--period=1:2"}, "--period=1:2: Время указывается как чч:мм:сс, от 00:00:00 до 23:59:59"},
        {{"--period="}, "--period=: Время указывается как чч:мм:сс, от 00:00:00 до 23:59:59"},
        {{"--bogus"}, "Неизвестный параметр: --bogus"},
        {{"--bogus=1"}, "Неизвестный параметр: --bogus"},
        {{"-x"}, "Неизвестный параметр: -x"},
        {{"--dir", "/x", "extra"}, "Лишний аргумент: extra"},
        {{"--dir"}, "Не указано значение параметра --dir"},
        {{"--dir", "--size", "5"}, "Не указано значение параметра --dir"},
        {{"--no-ui=yes"}, "Параметр --no-ui указывается без значения"},
        {{"--size", "1", "--size=2"}, "Параметр --size указан дважды"},
        {{"--no-ui", "--no-ui"}, "Параметр --no-ui указан дважды"},
        {{"--json="}, "Не указано значение параметра --json"},
        {{"--json"}, "Не указано значение параметра --json"},
        {{"--json", "a", "--json=b"}, "Параметр --json указан дважды"},
        {{"--dir", "/srv/über"}, "Имя каталога /srv/?ber нельзя записать в кодировке CP866"},
        {{"--dir", kTooLongDirectory.c_str()},
         "Имя каталога длиннее 255 символов: " + kTooLongDirectory},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.front());
        tCommandLine line = Parse(c.Arguments);
        ASSERT_EQ(line.Action(), tCommandLine::tAction::Refuse);
        EXPECT_EQ(Cp866ToUtf8(line.Message()), c.Message);
    }
}

// Catches --help lost among other arguments, even wrong ones.
TEST(CommandLine, HelpWinsOverEverythingElse) {
    const std::vector<std::vector<const char*>> cases = {
        {"--help"}, {"--bogus", "--help"}, {"--dir", "/x", "--help", "--size=abc"}};
    for (const auto& arguments : cases)
        EXPECT_EQ(Parse(arguments).Action(), tCommandLine::tAction::Help) << arguments.size();
    std::string usage = Cp866ToUtf8(tCommandLine::Usage());
    for (const char* option :
         {"--dir", "--size", "--work-time", "--period", "--no-ui", "--json", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << "the usage names " << option;
}

// Catches -h or --version taken for an unknown option, or lost among other arguments, and a
// version answer without the version facts.
TEST(CommandLine, ShortHelpAndVersion) {
    using A = tCommandLine::tAction;
    const struct {
        std::vector<const char*> Arguments;
        A Expected;
    } cases[] = {
        {{"-h"}, A::Help},
        {{"--dir", "/x", "-h"}, A::Help},
        {{"--version"}, A::Version},
        {{"--bogus", "--version"}, A::Version},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.Arguments).Action(), c.Expected) << c.Arguments.back();
    std::string usage = Cp866ToUtf8(tCommandLine::Usage());
    for (const char* option : {"-h", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << "the usage names " << option;
    std::string version = Cp866ToUtf8(tCommandLine::VersionText());
    for (const char* fact :
         {"FileVersion: 1.0.0.1", "Дата сборки: ", "Тестирование локальной сети"})
        EXPECT_NE(version.find(fact), std::string::npos) << version;
}

struct tStatusCase {
    tTestEnd End;
    int WithOptions;
};

// Catches an ending reported as another one to a script, and a start without options that
// no longer ends with the orderly 0.
TEST(CommandLine, ExitStatusFollowsTheEnd) {
    const tStatusCase cases[] = {
        {tTestEnd::Clean, 0},   {tTestEnd::ErrorBytes, 1}, {tTestEnd::Stopped, 2},
        {tTestEnd::GivenUp, 2}, {tTestEnd::Cancelled, 3},
    };
    tCommandLine withParams = Parse({"--dir", "/x"});
    tCommandLine noUiOnly = Parse({"--no-ui"});
    tCommandLine plain = Parse({});
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.End));
        EXPECT_EQ(withParams.ExitStatus(c.End), c.WithOptions);
        EXPECT_EQ(noUiOnly.ExitStatus(c.End), c.WithOptions);
        EXPECT_EQ(plain.ExitStatus(c.End), 0) << "without options every orderly end is 0";
    }
}

// Catches the summary's destination taken for a test parameter (which would start the test
// without asking) or "-" for stdout taken for an option.
TEST(CommandLine, JsonDestinationIsNoTestParameter) {
    for (const char* destination : {"-", "run.json"}) {
        SCOPED_TRACE(destination);
        tCommandLine line = Parse({"--json", destination});
        ASSERT_EQ(line.Action(), tCommandLine::tAction::Run);
        EXPECT_EQ(line.JsonPath(), destination);
        EXPECT_EQ(line.TestParams(), nullptr) << "the operator is still asked";
    }
}
