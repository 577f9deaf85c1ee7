// The file layer's open modes: share modes as locks between open files, creation that never
// truncates a file someone holds, byte-range locks, and the page-cache bypass.
#include "platform/os_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/os_error.h"
#include "support/temp_dir.h"

using namespace zarvo;
using zarvo::testing::ReadFileBytes;
using zarvo::testing::tTempDir;

struct tShareCase {
    std::uint16_t Holder;
    std::uint16_t Opener;
    bool Refused;
};

// Catches share modes that let a writer in beside a file opened without sharing, or that
// refuse readers the holder allows.
TEST(OsFile, ShareModesBetweenOpenFiles) {
    const tShareCase cases[] = {
        {kModeCreate, kModeCreate, true}, {kModeCreate, 0x22, true}, {0x22, 0x22, false},
        {0x22, kModeCreate, true},        {0x12, 0x20, true},        {0x42, kModeCreate, false},
        {kModeCreate, 0x40, false},
    };
    tTempDir dir;
    std::string name = (dir.Path() / "f").string();
    for (const auto& c : cases) {
        std::ofstream(name) << "data";
        tOsFile holder, opener;
        ASSERT_TRUE(holder.Open(name, c.Holder)) << std::hex << c.Holder;
        bool opened = opener.Open(name, c.Opener);
        EXPECT_EQ(!opened, c.Refused) << std::hex << c.Holder << " then " << c.Opener;
        if (!opened) {
            EXPECT_EQ(LastOsError(), kErrorSharingViolation);
        }
    }
}

// Catches a refused creation that still empties the file another copy is using.
TEST(OsFile, RefusedCreationLeavesTheFileIntact) {
    tTempDir dir;
    std::string name = (dir.Path() / "held").string();
    tOsFile holder;
    ASSERT_TRUE(holder.Open(name, kModeCreate));
    ASSERT_EQ(holder.Write("keep", 4), 4);
    tOsFile second;
    EXPECT_FALSE(second.Open(name, kModeCreate));
    EXPECT_EQ(ReadFileBytes(name), "keep");
}

// Catches a held file that a second holder can take too, that is emptied by the refused one,
// or that stays held once its holder closed it.
TEST(OsFile, HeldFileExcludesASecondHolder) {
    tTempDir dir;
    std::string name = (dir.Path() / "hold").string();
    tOsFile holder;
    ASSERT_TRUE(holder.OpenHeld(name)) << "created when missing";
    ASSERT_EQ(holder.Write("keep", 4), 4);
    tOsFile second;
    EXPECT_FALSE(second.OpenHeld(name));
    EXPECT_EQ(LastOsError(), kErrorSharingViolation);
    EXPECT_EQ(ReadFileBytes(name), "keep") << "never truncated";
    ASSERT_TRUE(holder.Close());
    EXPECT_TRUE(second.OpenHeld(name)) << "free again once closed";
}

// Catches byte-range locks that do not exclude another open file, or stay after unlocking.
TEST(OsFile, RangeLocksBetweenOpenFiles) {
    tTempDir dir;
    std::string name = (dir.Path() / "r").string();
    std::ofstream(name) << "0123456789";
    tOsFile one, two;
    ASSERT_TRUE(one.Open(name, 0x42));
    ASSERT_TRUE(two.Open(name, 0x42));
    ASSERT_TRUE(one.LockRange(0, 5));
    EXPECT_FALSE(two.LockRange(4, 2));
    EXPECT_EQ(LastOsError(), kErrorLockViolation);
    EXPECT_TRUE(two.LockRange(5, 5)) << "a range that does not overlap";
    ASSERT_TRUE(one.UnlockRange(0, 5));
    EXPECT_TRUE(two.LockRange(0, 5));
}

// Catches a file system that refuses O_DIRECT (at open or at the first transfer) making the
// file unusable: disk, tmpfs and whatever the kernel does with each.
TEST(OsFile, DirectTransfersWorkWhereverTheFileLies) {
    tTempDir dir;
    std::vector<std::string> names = {(dir.Path() / "direct").string()};
    if (std::filesystem::is_directory("/dev/shm"))
        names.push_back("/dev/shm/zarvo-direct-" + std::to_string(getpid()));
    for (const auto& name : names) {
        alignas(kDirectIoAlignment) static char out[2 * kDirectIoAlignment];
        alignas(kDirectIoAlignment) static char in[2 * kDirectIoAlignment];
        std::fill(std::begin(out), std::end(out), 'x');
        tOsFile file;
        ASSERT_TRUE(file.Open(name, kModeCreate, tFileCaching::Direct)) << name;
        EXPECT_EQ(file.Write(out, sizeof out), std::int64_t(sizeof out)) << name;
        EXPECT_TRUE(file.Flush());
        EXPECT_EQ(file.Seek(0), 0);
        EXPECT_EQ(file.Read(in, sizeof in), std::int64_t(sizeof in)) << name;
        EXPECT_EQ(std::string(in, sizeof in), std::string(out, sizeof out));
        EXPECT_TRUE(file.Close());
        std::filesystem::remove(name);
    }
}
