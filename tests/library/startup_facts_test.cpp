// The start-up facts: recorded once, and the names made from them.
#include "library/startup_facts.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "library/dates.h"
#include "platform/cp866.h"
#include "platform/file_names.h"

namespace zarvo {
namespace {

// Catches a wrong program name, which would misname the lock, log and settings files.
TEST(StartupFactsTest, NamesComeFromTheVersionFacts) {
    InitStartupFacts();
    const tStartupFacts& facts = StartupFacts();
    EXPECT_EQ(facts.ProgramName, "Zarvo") << "the program name is InternalName";
    EXPECT_EQ(facts.SettingsFileName, facts.WorkingDirectory + "/Zarvo.ini")
        << "settings file: working directory + program name + .ini";
    EXPECT_EQ(facts.VersionString("Имя проекта"_oem), "Zarvo") << "project name";
    EXPECT_EQ(facts.VersionString("FileDescription"), "Тестирование локальной сети"_oem)
        << "file description";
    EXPECT_EQ(facts.VersionString("Дата сборки"_oem).size(), 10u) << "build date dd/mm/yyyy";
    EXPECT_EQ(facts.VersionString("NoSuchEntry"), "") << "an absent entry is empty";
    EXPECT_EQ(facts.FileVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 1})) << "version 1.0.0.1";
    EXPECT_FALSE(facts.ExecutablePath.empty()) << "the executable's full path is known";
}

// Catches facts recorded again later, e.g. a working directory that follows a chdir.
TEST(StartupFactsTest, RecordedOnlyOnce) {
    InitStartupFacts();
    const std::string working = StartupFacts().WorkingDirectory;
    EXPECT_EQ(OsPath(working), std::filesystem::current_path().string())
        << "the working directory is the current directory at start";
    ASSERT_EQ(chdir("/"), 0);
    InitStartupFacts();
    EXPECT_EQ(StartupFacts().WorkingDirectory, working) << "a second call changes nothing";
    ASSERT_EQ(chdir(OsPath(working).c_str()), 0) << "back to the working directory";
    EXPECT_NE(StartupFacts().StartDate, kInvalidDate) << "the start date is a valid day";
    EXPECT_GE(StartupFacts().StartTime, 0) << "the start time is a time of day";
}

} // namespace
} // namespace zarvo
