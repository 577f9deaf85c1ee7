// Path text rules and the directory and file operations, against a real scratch directory.
#include "library/paths.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/startup_facts.h"
#include "platform/cp866.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

struct tTextCase {
    std::string_view In, Out;
};

// Catches a doubled separator, a lost one, or the root stripped to "the current directory".
TEST(PathText, AddAndRemoveBackslash) {
    const tTextCase added[] = {
        {"", ""}, {"/", "/"}, {"/home", "/home/"}, {"a/", "a/"}, {"a", "a/"}};
    for (const tTextCase& c : added)
        EXPECT_EQ(AddBackslash(c.In), c.Out) << "AddBackslash(\"" << c.In << "\")";
    const tTextCase removed[] = {
        {"", ""},           {"/", "/"},    {"//", "//"},       {"/home/", "/home"},
        {"/home", "/home"}, {"a//", "a/"}, {"//srv/", "//srv"}};
    for (const tTextCase& c : removed)
        EXPECT_EQ(RemoveBackslash(c.In), c.Out) << "RemoveBackslash(\"" << c.In << "\")";
    EXPECT_EQ(RemoveBackslash(AddBackslash("/mnt/share")), "/mnt/share") << "round trip";
}

// Catches network, absolute and relative paths told apart wrongly.
TEST(PathText, PathKind) {
    EXPECT_EQ(PathKind("//server/share"), pkNetwork) << "two slashes: network path";
    EXPECT_EQ(PathKind("/home"), pkAbsolute) << "one slash: absolute path";
    EXPECT_EQ(PathKind("work/dir"), pkRelative) << "no slash in front: relative";
    EXPECT_EQ(PathKind(""), pkRelative) << "the empty path is the current directory";
}

// Catches a wrong parent, which would make ForceDirectories loop or create the wrong thing.
TEST(PathText, ExtractFileDir) {
    const tTextCase cases[] = {{"/a/b", "/a"}, {"/a", "/"}, {"a", ""}, {"a/b/c", "a/b"}, {"", ""}};
    for (const tTextCase& c : cases)
        EXPECT_EQ(ExtractFileDir(c.In), c.Out) << "ExtractFileDir(\"" << c.In << "\")";
}

// A fresh directory per test, removed with everything in it afterwards.
class PathsOnDisk : public ::testing::Test {
  protected:
    void SetUp() override { m_Root = m_Temp.Str(); }
    // The CP866 name of a path under the test's directory.
    std::string Path(std::string_view relative) const {
        return m_Root + "/" + std::string(relative);
    }
    static void WriteFile(const std::string& utf8Path, std::size_t bytes) {
        std::ofstream file(utf8Path, std::ios::binary);
        file << std::string(bytes, 'x');
    }

    testing::tTempDir m_Temp;

    std::string m_Root;
};

// Catches parents not created, or a Cyrillic name written to disk in CP866 instead of UTF-8.
TEST_F(PathsOnDisk, ForceDirectoriesCreatesParentsUnderUtf8Names) {
    std::string deep = Path("Отчёты/2004/март/"_oem);
    EXPECT_TRUE(ForceDirectories(deep)) << "three missing levels are created";
    EXPECT_TRUE(DirectoryExists(deep)) << "the directory exists afterwards";
    struct stat info {};
    EXPECT_EQ(stat((m_Root + "/Отчёты/2004/март").c_str(), &info), 0)
        << "the name on disk is the UTF-8 form of the CP866 name";
    EXPECT_TRUE(ForceDirectories(deep)) << "an existing directory is success";
    EXPECT_TRUE(ForceDirectories("")) << "the empty path is the current directory";
}

// Catches partial creation when a level cannot be made.
TEST_F(PathsOnDisk, ForceDirectoriesStopsAtTheFirstLevelThatFails) {
    WriteFile(m_Root + "/plain", 1);
    EXPECT_FALSE(ForceDirectories(Path("plain/a/b/c"))) << "a file in the way: no directory";
    EXPECT_FALSE(DirectoryExists(Path("plain/a"))) << "nothing is created below the file";
    EXPECT_FALSE(ForceDirectories("/proc/zarvo_missing/a/b")) << "a level the system refuses";
}

// Catches files and directories confused, sizes misread, or wildcards ignored.
TEST_F(PathsOnDisk, FileQueries) {
    WriteFile(m_Root + "/data.bin", 1234);
    WriteFile(m_Root + "/файл.txt", 7);
    ASSERT_TRUE(ForceDirectories(Path("sub")));
    EXPECT_TRUE(FileExists(Path("data.bin"))) << "a written file exists";
    EXPECT_TRUE(FileExists(Path("файл.txt"_oem))) << "a Cyrillic file name is found";
    EXPECT_FALSE(FileExists(Path("sub"))) << "a directory is not a file";
    EXPECT_FALSE(FileExists(Path("missing"))) << "a missing file does not exist";
    EXPECT_TRUE(DirectoryExists(Path("sub"))) << "a made directory exists";
    EXPECT_FALSE(DirectoryExists(Path("data.bin"))) << "a file is not a directory";
    EXPECT_TRUE(DirectoryExists("")) << "the empty path is the current directory";
    EXPECT_EQ(FileSize(Path("data.bin")), 1234) << "the size of the file";
    EXPECT_EQ(FileSize(Path("*.bin")), 1234) << "the size of the first file matching";
    EXPECT_EQ(FileSize(Path("missing")), -1) << "no file: -1";
    EXPECT_EQ(FileSize(Path("*.none")), -1) << "no match: -1";
    EXPECT_EQ(FileSize(Path("sub")), -1) << "a directory has no file size";
}

// Catches a delete that reports success without deleting, or removes non-empty directories.
TEST_F(PathsOnDisk, DeleteAndRemove) {
    WriteFile(m_Root + "/gone.tmp", 3);
    EXPECT_TRUE(DeleteFile(Path("gone.tmp"))) << "an existing file is deleted";
    EXPECT_FALSE(FileExists(Path("gone.tmp"))) << "and is gone";
    EXPECT_FALSE(DeleteFile(Path("gone.tmp"))) << "a missing file cannot be deleted";
    ASSERT_TRUE(ForceDirectories(Path("full/inner")));
    EXPECT_FALSE(RemoveDirectory(Path("full"))) << "a non-empty directory stays";
    EXPECT_TRUE(RemoveDirectory(Path("full/inner"))) << "an empty directory goes";
    EXPECT_FALSE(DirectoryExists(Path("full/inner"))) << "and is gone";
}

// Catches a failed query reported as a size, or a size that is not the caller's free space.
TEST_F(PathsOnDisk, FreeSpace) {
    EXPECT_GT(FreeSpace(m_Root), 0) << "the test directory's file system has room";
    EXPECT_EQ(FreeSpace(Path("missing/dir")), -1) << "a missing directory: -1";
}

// Catches a temporary file not created, or created outside the directory asked for.
TEST_F(PathsOnDisk, UniqueTempFileCreatesAnEmptyFile) {
    std::string first = UniqueTempFile(m_Root, "zv");
    std::string second = UniqueTempFile(m_Root, "zv");
    ASSERT_FALSE(first.empty()) << "a unique file in the directory";
    EXPECT_NE(first, second) << "two calls give two names";
    EXPECT_EQ(first.rfind(m_Root + "/zv", 0), 0u) << "the name starts with directory and prefix";
    EXPECT_EQ(FileSize(first), 0) << "the file is created empty";
    EXPECT_TRUE(UniqueTempFile(Path("missing"), "zv").empty()) << "no directory: empty path";
}

// Catches a relative or unresolved result, or a lost trailing separator.
TEST_F(PathsOnDisk, ExpandUNCNameGivesTheFullPath) {
    ASSERT_TRUE(ForceDirectories(Path("real")));
    ASSERT_EQ(symlink((m_Root + "/real").c_str(), (m_Root + "/link").c_str()), 0);
    const std::string noMounts;
    EXPECT_EQ(ExpandUNCName(Path("link"), noMounts), Path("real")) << "links are resolved";
    EXPECT_EQ(ExpandUNCName(Path("link/"), noMounts), Path("real/")) << "trailing / kept";
    EXPECT_EQ(ExpandUNCName(Path("real/../nowhere/x"), noMounts), Path("nowhere/x"))
        << "a path that does not exist is still made absolute";
}

// Catches a path on a network mount not given in its share's universal form.
TEST_F(PathsOnDisk, ExpandUNCNameUsesTheShareForm) {
    ASSERT_TRUE(ForceDirectories(Path("share/dir")));
    const std::string mounts =
        "/dev/sda1 / ext4 rw 0 0\n//srv/public " + m_Root + "/share cifs rw 0 0\n";
    EXPECT_EQ(ExpandUNCName(Path("share/dir"), mounts), "//srv/public/dir")
        << "mount source plus the rest of the path";
}

// Catches a scratch directory outside the working directory or not created.
TEST(ScratchDirectoryTest, IsTempUnderTheWorkingDirectory) {
    const std::string expected = AddBackslash(StartupFacts().WorkingDirectory) + "TEMP";
    const bool existed = DirectoryExists(expected);
    std::string scratch = ScratchDirectory();
    EXPECT_EQ(scratch, expected) << "the working directory's TEMP";
    EXPECT_TRUE(DirectoryExists(scratch)) << "created when missing";
    if (!existed)
        RemoveDirectory(expected);
}

} // namespace
} // namespace zarvo
