// The parameter dialog's directory chooser: a missing directory offered for creation, and a
// chosen directory whose name CP866 cannot hold tested where it really is.
#include "app/directory_sense.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/file_names.h"
#include "tests/app/cycle_fixture.h"

using namespace zarvo;
using namespace zarvo::testing;

namespace {

class DirectorySense : public tCycleFixture {
  protected:
    void TearDown() override {
        ForgetOsDirectoryAliases();
        tCycleFixture::TearDown();
    }
};

} // namespace

// Catches a missing directory accepted without asking, made against the operator's "Нет",
// not made (with its parents) on "Да", or a failed creation passing unnoticed.
TEST_F(DirectorySense, MissingDirectoryIsOfferedForCreation) {
    TDirectorySense sense(MakeRect(0, 0, 3, 1), nullptr);
    const std::string existing = Utf8ToCp866(m_Server.Str());
    const std::string missing = Utf8ToCp866(m_Server.Str() + "/a/b");
    const struct {
        const char* Name;
        std::string Text;
        std::uint16_t Answer;
        bool Good;
        std::size_t Messages;
        bool Made; // a/b exists afterwards
    } cases[] = {
        {"existing", existing, cmdYes, true, 0, false},
        {"missing, Нет", missing, cmdNo, false, 1, false},
        {"missing, Да", missing, cmdYes, true, 1, true},
    };
    for (const auto& c : cases) {
        gMessages.clear();
        gAnswer = c.Answer;
        EXPECT_EQ(sense.CheckText(c.Text), c.Good) << c.Name;
        EXPECT_EQ(gMessages.size(), c.Messages) << c.Name;
        EXPECT_EQ(std::filesystem::is_directory(m_Server.Path() / "a" / "b"), c.Made) << c.Name;
    }
    EXPECT_EQ(gMessages.front(), "Каталог " + m_Server.Str() + "/a/b не существует. Создать?");

    // A directory that cannot be made is told about, and the field stays bad.
    ASSERT_EQ(chmod(m_Server.Str().c_str(), 0500), 0);
    bool root = geteuid() == 0;
    gMessages.clear();
    gAnswer = cmdYes;
    bool made = sense.CheckText(Utf8ToCp866(m_Server.Str() + "/c"));
    chmod(m_Server.Str().c_str(), 0700);
    if (!root) {
        EXPECT_FALSE(made);
        ASSERT_EQ(gMessages.size(), 2u);
        EXPECT_EQ(gMessages[1], "Ошибка при создании каталога " + m_Server.Str() + "/c");
    }
}

// Catches a chosen directory whose name CP866 cannot hold being tested under its '?' form:
// a stray directory would be made, or the test refused for a directory that exists.
TEST_F(DirectorySense, ChosenNameOutsideCp866IsTestedWhereItIs) {
    const std::filesystem::path real = m_Server.Path() / "тест-і";
    ASSERT_TRUE(std::filesystem::create_directory(real));
    tTestParams params = Params(1, kOneIterationWork, kOneIterationPeriod);
    params.Directory = AliasOsDirectory(real.string());
    EXPECT_EQ(params.Directory, Utf8ToCp866(m_Server.Str() + "/тест-?"));
    gOnPoll = [&](tProgress&) {
        EXPECT_TRUE(std::filesystem::exists(real / "TEST_NET.$$$" / "test.tmp"));
        return false;
    };
    tNetworkTest test(params);
    EXPECT_EQ(test.Run(), tTestEnd::Clean) << (gMessages.empty() ? "" : gMessages.front());
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(m_Server.Path()))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"тест-і"}) << "nothing made beside it";
    EXPECT_TRUE(std::filesystem::is_empty(real)) << "the chosen directory left clean";
    EXPECT_NE(Protocol().find("Каталог " + m_Server.Str() + "/тест-?/TEST_NET.$$$"),
              std::string::npos)
        << Protocol();
}
