// The directory tree against real directories: drives from a mounts file (shares with their
// source, vanished mounts), expanding and collapsing, finding a deep path, names that differ
// only in case, names CP866 cannot hold, directories that vanish or cannot be read, a file
// system that does not answer, the path length limit and mount points inside the tree.
#include "dirselect/directory_nodes.h"

#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include "dirselect/directory_viewer.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "tests/dirselect/dirselect_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dirselect;
namespace fs = std::filesystem;

class DirectoryTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MountsFile = Scratch.Path() / "mounts";
        WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\n");
        Settings.MountsFile = MountsFile.string();
        Top = Scratch.Path() / "top";
        fs::create_directories(Top);
    }
    // The node of the directory REL below Top (empty: Top), found from a fresh root.
    TAbstractNode* Find(TComputer& computer, const std::string& rel = "") {
        std::string path = FromOsPath((rel.empty() ? Top : Top / rel).string());
        return computer.FindPath(path);
    }
    static std::vector<std::string> ChildNames(TAbstractNode* node) {
        std::vector<std::string> names;
        for (int i = 0; i < node->ChildCount(); ++i)
            names.push_back(node->ChildAt(i)->NodeName());
        return names;
    }

    zarvo::testing::tTempDir Scratch;
    fs::path MountsFile;
    fs::path Top;
    tDirectorySettings Settings;
};

// Catches drives missing or made of the wrong mounts, shares shown without their source, a
// drive looked at before it is opened, and a drive kept after its mount is gone.
TEST_F(DirectoryTreeTest, DrivesFromTheMountsFile) {
    WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\n"
                          "tmpfs /run tmpfs rw 0 0\n"
                          "user@host:/home/u /mnt/ssh fuse.sshfs rw 0 0\n"
                          "//srv/share /mnt/smb cifs rw 0 0\n"
                          "remote: /mnt/cloud fuse.rclone rw 0 0\n"
                          "/dev/sdb1 /media/usb vfat rw 0 0\n");
    std::vector<std::string> scanned;
    auto lock = std::make_shared<std::mutex>();
    Settings.Scanner = [&scanned, lock](const std::string& path, bool, const std::set<std::string>&,
                                        tScanState& state) {
        std::lock_guard guard(*lock);
        scanned.push_back(path);
        std::lock_guard done(state.Lock);
        state.Listed = true;
        state.Result.Status = tScanStatus::Read;
    };
    TComputer computer(Settings);
    computer.SetExpanded(true);
    EXPECT_EQ(ChildNames(&computer),
              (std::vector<std::string>{"/", "/media/usb", "/mnt/cloud (remote:)",
                                        "/mnt/smb (//srv/share)", "/mnt/ssh (user@host:/home/u)"}));
    EXPECT_TRUE(scanned.empty()) << "no drive is looked at before it is opened";
    for (int i = 0; i < computer.ChildCount(); ++i)
        EXPECT_TRUE(computer.ChildAt(i)->HasSubdirectories()) << "drives always show [+]";
    WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\n//srv/share /mnt/smb cifs rw 0 0\n");
    computer.Refresh();
    EXPECT_EQ(ChildNames(&computer), (std::vector<std::string>{"/", "/mnt/smb (//srv/share)"}))
        << "vanished mounts leave the tree";
    EXPECT_TRUE(scanned.empty());
    WriteText(MountsFile, "");
    computer.Refresh();
    EXPECT_EQ(ChildNames(&computer), (std::vector<std::string>{"/"})) << "the root is always there";
}

// Catches hidden entries or files listed as directories, names that differ only in case
// merged, wrong [+] marks, and collapsing that loses what was read.
TEST_F(DirectoryTreeTest, ExpandListsDirectoriesBothCases) {
    fs::create_directories(Top / "alpha" / "beta");
    fs::create_directories(Top / "Data");
    fs::create_directories(Top / "DATA");
    fs::create_directories(Top / ".hidden" / "x");
    WriteText(Top / "file.txt", "x");
    fs::create_directory_symlink(Top / "alpha", Top / "link");
    TComputer computer(Settings);
    TAbstractNode* top = Find(computer);
    ASSERT_EQ(top->FullOsPath(), Top.string() + "/");
    EXPECT_FALSE(top->Expanded) << "the node found stays as it was";
    top->SetExpanded(true);
    EXPECT_EQ(ChildNames(top), (std::vector<std::string>{"alpha", "DATA", "Data", "link"}));
    EXPECT_TRUE(top->FindChild("alpha")->HasSubdirectories());
    EXPECT_FALSE(top->FindChild("Data")->HasSubdirectories());
    EXPECT_TRUE(top->FindChild("link")->HasSubdirectories()) << "a link to a directory is one";
    top->SetExpanded(false);
    EXPECT_FALSE(top->IsExpanded());
    EXPECT_EQ(top->ChildCount(), 4) << "children are kept while closed";
}

// Catches a deep path not found, nodes on the way left closed, or the last node opened.
TEST_F(DirectoryTreeTest, FindPathOpensTheWayOnly) {
    fs::create_directories(Top / "a" / "b" / "c" / "d");
    TComputer computer(Settings);
    TAbstractNode* node = Find(computer, "a/b/c/missing/deeper");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->FullPath(), FromOsPath((Top / "a/b/c").string()) + "/");
    EXPECT_FALSE(node->IsExpanded()) << "the node where the search stopped stays closed";
    EXPECT_TRUE(node->Parent->IsExpanded()) << "its parent was opened on the way";
    EXPECT_TRUE(node->HasSubdirectories());
    node->SetExpanded(true);
    EXPECT_EQ(Find(computer, "a/b/c"), node);
    EXPECT_TRUE(node->IsExpanded()) << "a node open before stays open";
}

// Catches a vanished directory kept at its parent's refresh, and a directory that cannot be
// read shown without a mark or crashing the tree.
TEST_F(DirectoryTreeTest, VanishedAndUnreadableDirectories) {
    fs::create_directories(Top / "keep");
    fs::create_directories(Top / "gone" / "sub");
    TComputer computer(Settings);
    TAbstractNode* top = Find(computer);
    top->SetExpanded(true);
    TAbstractNode* gone = top->FindChild("gone");
    ASSERT_NE(gone, nullptr);
    fs::remove_all(Top / "gone");
    gone->SetExpanded(true);
    EXPECT_EQ(gone->State, tNodeState::Unreadable);
    EXPECT_EQ(gone->NodeName(), "gone (нет доступа)"_oem);
    top->Refresh();
    EXPECT_EQ(ChildNames(top), (std::vector<std::string>{"keep"})) << "gone at the next refresh";
}

// Catches a directory whose name CP866 cannot hold being lost, merged with another of the
// same "?" form, or reached under that form instead of its real name.
TEST_F(DirectoryTreeTest, NamesOutsideCp866KeepTheirBytes) {
    fs::create_directories(Top / "日本" / "inner");
    fs::create_directories(Top / "中文");
    TComputer computer(Settings);
    TAbstractNode* top = Find(computer);
    top->SetExpanded(true);
    ASSERT_EQ(ChildNames(top), (std::vector<std::string>{"??", "??"})) << "both are shown";
    std::set<std::string> real;
    for (int i = 0; i < top->ChildCount(); ++i) {
        TAbstractNode* child = top->ChildAt(i);
        real.insert(child->OsName);
        EXPECT_EQ(child->FullPath(), FromOsPath(Top.string()) + "/?"
                                                                "?/");
        if (child->OsName == "日本") {
            child->SetExpanded(true);
            EXPECT_EQ(ChildNames(child), (std::vector<std::string>{"inner"}))
                << "read through the real name";
            EXPECT_EQ(child->FullOsPath(), (Top / "日本").string() + "/");
        }
    }
    EXPECT_EQ(real, (std::set<std::string>{"日本", "中文"}));
    EXPECT_FALSE(fs::exists(Top / "??")) << "nothing is made under the ? form";
}

// Catches a file system that does not answer stopping the tree, a second worker started on
// it while the first is out, or the mark missing.
TEST_F(DirectoryTreeTest, FileSystemThatDoesNotAnswer) {
    struct tGate {
        std::mutex Lock;
        std::condition_variable Opened;
        bool Open = false;
    };
    auto gate = std::make_shared<tGate>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    WriteText(MountsFile, "/dev/sda1 / ext4 rw 0 0\nhost:/x /mnt/hung nfs rw 0 0\n");
    Settings.TimeoutMs = 100;
    Settings.Scanner = [gate, calls](const std::string& path, bool probe,
                                     const std::set<std::string>& mounts, tScanState& state) {
        if (path != "/mnt/hung/")
            return ScanFileSystem(path, probe, mounts, state);
        ++*calls;
        std::unique_lock lock(gate->Lock);
        gate->Opened.wait_for(lock, std::chrono::seconds(30), [&] { return gate->Open; });
    };
    TComputer computer(Settings);
    computer.SetExpanded(true);
    TAbstractNode* hung = computer.FindChild("/mnt/hung");
    ASSERT_NE(hung, nullptr);
    auto start = std::chrono::steady_clock::now();
    hung->SetExpanded(true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(hung->State, tNodeState::NotAnswering);
    EXPECT_EQ(hung->NodeName(), "/mnt/hung (host:/x) (не отвечает)"_oem);
    EXPECT_EQ(hung->ChildCount(), 0);
    hung->Refresh();
    EXPECT_EQ(calls->load(), 1) << "no second worker while the first is out";
    {
        std::lock_guard lock(gate->Lock);
        gate->Open = true;
    }
    gate->Opened.notify_all();
    for (int i = 0; i < 500 && PendingDirectoryWorks() != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(PendingDirectoryWorks(), 0u) << "the worker comes back once the share answers";
}

// Catches the old limit (66 characters) still refusing to open a node, or a node past the
// limit opened.
TEST_F(DirectoryTreeTest, PathLimitIs250) {
    std::string base = FromOsPath(Top.string()) + "/";
    ASSERT_LT(base.size(), 120u) << "the scratch directory leaves room for the test";
    // A node whose full path (with its "/") has 249 characters, and its child past the limit.
    std::string first(100, 'a');
    std::string second(249 - base.size() - first.size() - 2, 'b');
    fs::create_directories(Top / first / second / "c" / "d");
    TComputer computer(Settings);
    TAbstractNode* shortNode = Find(computer, first);
    ASSERT_EQ(shortNode->FullPath().size(), base.size() + 101);
    shortNode->SetExpanded(true);
    EXPECT_TRUE(shortNode->IsExpanded()) << "paths of 66 characters and more open";
    TAbstractNode* atLimit = shortNode->FindChild(second);
    ASSERT_NE(atLimit, nullptr);
    ASSERT_EQ(atLimit->FullPath().size(), 249u);
    atLimit->SetExpanded(true);
    EXPECT_TRUE(atLimit->IsExpanded()) << "249 characters open";
    TAbstractNode* past = atLimit->FindChild("c");
    ASSERT_NE(past, nullptr);
    ASSERT_EQ(past->FullPath().size(), 251u);
    EXPECT_TRUE(past->HasSubdirectories()) << "still shows [+]";
    past->SetExpanded(true);
    EXPECT_FALSE(past->IsExpanded()) << "but does not open";
}

// Catches a mount point inside the tree looked at before it is opened (a share that hangs
// would stop the listing of its parent).
TEST_F(DirectoryTreeTest, MountPointInsideIsNotProbed) {
    fs::create_directories(Top / "inner");
    std::string inner = (Top / "inner").string();
    if (geteuid() != 0 || mount("zarvo-test", inner.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "needs root and a tmpfs mount";
    Settings.MountsFile = "/proc/self/mounts";
    TComputer computer(Settings);
    TAbstractNode* top = Find(computer);
    top->SetExpanded(true);
    TAbstractNode* node = top->FindChild("inner");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->HasSubdirectories()) << "not probed: it may have subdirectories";
    node->SetExpanded(true);
    EXPECT_FALSE(node->HasSubdirectories()) << "opened: the empty tmpfs is read";
    EXPECT_EQ(node->State, tNodeState::Read);
    umount2(inner.c_str(), MNT_DETACH);
}

int CountExpanded(TAbstractNode* node) {
    int count = node->IsExpanded() ? 1 : 0;
    for (int i = 0; i < node->ChildCount(); ++i)
        count += CountExpanded(node->ChildAt(i));
    return count;
}

// Catches "expand all" reading without end below a large tree.
TEST_F(DirectoryTreeTest, ExpandAllIsBounded) {
    // Four subdirectories in every directory, seven levels deep: over 20000 directories.
    tFakeTree tree;
    std::vector<std::string> level = {"/"};
    for (int depth = 0; depth < 7; ++depth) {
        std::vector<std::string> next;
        for (const std::string& path : level)
            for (const char* name : {"a", "b", "c", "d"}) {
                tree[path].push_back(name);
                next.push_back(path + name + "/");
            }
        level = next;
    }
    DirectorySettings().MountsFile = MountsFile.string();
    DirectorySettings().Scanner = FakeScanner(tree);
    TDirectoryViewer viewer(MakeRect(0, 0, 40, 10), nullptr, nullptr);
    DirectorySettings() = tDirectorySettings();
    viewer.ExpandAll(viewer.Computer.get());
    EXPECT_EQ(CountExpanded(viewer.Computer.get()), kExpandAllLimit);
}

} // namespace
} // namespace zarvo
