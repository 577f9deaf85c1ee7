// The mount table: parsing, the mount holding a path, share forms and the drive list.
#include "platform/mounts.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

constexpr std::string_view kTable = "sysfs /sys sysfs rw,nosuid 0 0\n"
                                    "/dev/sda1 / ext4 rw,relatime 0 0\n"
                                    "tmpfs /run tmpfs rw 0 0\n"
                                    "//fileserver/public /mnt/public cifs rw,vers=3.0 0 0\n"
                                    "nas:/export/home /home/shared nfs4 rw 0 0\n"
                                    "user@host:/data /srv/my\\040share fuse.sshfs rw 0 0\n"
                                    "user@host: /srv/home fuse.sshfs rw 0 0\n"
                                    "/dev/sdb1 /media/stick vfat rw 0 0\n"
                                    "bad line\n"
                                    "\n"
                                    "/dev/sdc1 /mnt/public ext4 rw 0 0\n";

// Catches escaped names left escaped, malformed lines kept, or fields mixed up.
TEST(MountTable, ParsesEntriesAndDecodesEscapes) {
    std::vector<tMountEntry> mounts = ParseMountTable(kTable);
    ASSERT_EQ(mounts.size(), 9u) << "nine well-formed lines";
    EXPECT_EQ(mounts[3].Source, "//fileserver/public") << "source field";
    EXPECT_EQ(mounts[3].MountPoint, "/mnt/public") << "mount point field";
    EXPECT_EQ(mounts[3].FsType, "cifs") << "type field";
    EXPECT_EQ(mounts[5].MountPoint, "/srv/my share") << "\\040 is a space";
}

// Catches prefix matches that are not on a component boundary, or a hidden mount chosen.
TEST(MountTable, FindMountTakesTheLongestAndLatest) {
    std::vector<tMountEntry> mounts = ParseMountTable(kTable);
    struct tCase {
        std::string_view Path, MountPoint;
    };
    const tCase cases[] = {
        {"/home/shared/x", "/home/shared"},   {"/home/sharedx", "/"}, {"/etc", "/"},
        {"/srv/my share/a", "/srv/my share"}, {"/run", "/run"},
    };
    for (const tCase& c : cases) {
        const tMountEntry* mount = FindMount(mounts, c.Path);
        ASSERT_NE(mount, nullptr) << c.Path << " lies on some mount";
        EXPECT_EQ(mount->MountPoint, c.MountPoint) << "mount of " << c.Path;
    }
    EXPECT_EQ(FindMount(mounts, "/mnt/public/f")->FsType, "ext4")
        << "the later mount on the same point hides the earlier one";
    EXPECT_EQ(FindMount({}, "/x"), nullptr) << "no mounts, no match";
}

// Catches wrong joins of source and rest for each kind of share.
TEST(MountTable, UniversalNameOfEachShareKind) {
    std::vector<tMountEntry> mounts = ParseMountTable("//srv/share /mnt/smb cifs rw 0 0\n"
                                                      "nas:/export /mnt/nfs nfs rw 0 0\n"
                                                      "nas:/ /mnt/root nfs4 rw 0 0\n"
                                                      "user@host:/data /mnt/ssh fuse.sshfs rw 0 0\n"
                                                      "user@host: /mnt/home fuse.sshfs rw 0 0\n"
                                                      "/dev/sda1 / ext4 rw 0 0\n");
    struct tCase {
        std::string_view Path, Universal;
    };
    const tCase cases[] = {
        {"/mnt/smb/dir/TEST_NET.$$$", "//srv/share/dir/TEST_NET.$$$"},
        {"/mnt/smb", "//srv/share"},
        {"/mnt/nfs/a", "nas:/export/a"},
        {"/mnt/root/a", "nas:/a"},
        {"/mnt/ssh/a/b", "user@host:/data/a/b"},
        {"/mnt/home/a", "user@host:a"},
        {"/home/local", "/home/local"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(UniversalName(c.Path, mounts), c.Universal) << "universal form of " << c.Path;
}

// Catches local file systems offered as drives, or the root missing.
TEST(MountTable, DriveMountPoints) {
    std::vector<std::string> drives = DriveMountPoints(ParseMountTable(kTable));
    const std::vector<std::string> expected = {
        "/", "/mnt/public", "/home/shared", "/srv/my share", "/srv/home", "/media/stick"};
    EXPECT_EQ(drives, expected) << "root, network shares and removable media, each once";
}

// Catches a mount table that cannot be read on this very system.
TEST(MountTable, ReadsTheRunningSystemsTable) {
    std::vector<tMountEntry> mounts = ReadMountTable();
    ASSERT_FALSE(mounts.empty()) << "/proc/self/mounts lists at least the root";
    EXPECT_NE(FindMount(mounts, "/"), nullptr) << "some mount holds the root";
}

} // namespace
} // namespace zarvo
