// The global command set: the start-up set, commands above 255, and when a change is
// announced.
#include "views/command_set.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

class CommandSetTest : public ::testing::Test {
  protected:
    void TearDown() override {
        CurrentCommands = InitialCommandSet();
        CommandSetChanged = false;
    }
};

// Catches a start-up set with window commands on, or commands above 255 disabled.
TEST_F(CommandSetTest, StartUpSetAndHighCommands) {
    for (std::uint16_t command = 0; command < 256; ++command)
        EXPECT_EQ(IsCommandOn(command), command < 4 || command > 8) << "command " << command;
    tCommandSet all;
    all.EnableAll();
    DisableCommandSet(all);
    EXPECT_FALSE(IsCommandOn(255));
    EXPECT_TRUE(IsCommandOn(256)) << "expected commands above 255 always on";
    EXPECT_TRUE(IsCommandOn(0xFFFF));
}

// Catches CommandSetChanged raised for changes that change nothing, or missed for real ones.
TEST_F(CommandSetTest, ChangeFlagOnlyForRealChanges) {
    struct tCase {
        const char* Name;
        void (*Change)();
        bool Changed;
    };
    const tCase cases[] = {
        {"enable enabled",
         [] {
             EnableCommandSet({10, 11});
         },
         false},
        {"enable disabled",
         [] {
             EnableCommandSet({10, 5});
         },
         true},
        {"disable disabled",
         [] {
             DisableCommandSet({4, 5});
         },
         false},
        {"disable enabled",
         [] {
             DisableCommandSet({4, 12});
         },
         true},
        {"restore the same", [] { RestoreCommandSet(SaveCommandSet()); }, false},
        {"restore another",
         [] {
             RestoreCommandSet(tCommandSet{1, 2});
         },
         true},
    };
    for (const tCase& c : cases) {
        CurrentCommands = InitialCommandSet();
        CommandSetChanged = false;
        c.Change();
        EXPECT_EQ(CommandSetChanged, c.Changed) << c.Name;
    }
    CurrentCommands = InitialCommandSet();
    CommandSetChanged = true;
    EnableCommandSet({10});
    EXPECT_TRUE(CommandSetChanged) << "expected a raised flag to stay until announced";
    DisableCommandSet({10});
    EXPECT_FALSE(IsCommandOn(10));
}

} // namespace
} // namespace zarvo
