// Tests of tDosStream and tTempStream on real files: messages naming the file, element sizes,
// 64-bit positions, the close report, shared-size re-reading and byte-range lock retries
// against a second process.
#include "library/dos_stream.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "diagnostics/pending_error.h"
#include "library/temp_stream.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/os_error.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint16_t kOpenReadWrite = 34;
constexpr std::uint16_t kOpenReadShareAll = 0x40;

class DosStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearError();
        Dir = m_Temp.Path();
    }
    void TearDown() override { ClearError(); }
    std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
    void MakeFile(const std::string& path, std::size_t bytes) const {
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'd');
    }
    testing::tTempDir m_Temp;
    fs::path Dir;
};

std::string FileMessage(std::string_view format, std::string_view shownName, int status) {
    return FormatText(format, {shownName}) + "\r" +
           FormatText("(cтатус потока %d, ошибка ос %s)."_oem,
                      {status, OsErrorText(LastOsError())});
}

// Catches a missing file not giving -2 with the system's code and the open text.
TEST_F(DosStreamTest, OpeningAMissingFileWithMode34) {
    std::string name = PathOf("missing.dat");
    tDosStream stream(name, kOpenReadWrite);
    EXPECT_EQ(stream.Status, stInitError);
    EXPECT_EQ(stream.ErrorInfo, ENOENT) << "expected the system's error number";
    EXPECT_FALSE(stream.Valid(0));
    ASSERT_TRUE(IsErrorPending());
    EXPECT_EQ(PendingError()->Message(),
              FileMessage("Ошибка открытия файла \"%s\"."_oem, name, -2));
}

// Catches a long name shown whole, cut at the wrong end, or cut at the wrong length.
TEST_F(DosStreamTest, HundredCharacterNameIsShownAsItsLast70) {
    std::string name = PathOf("");
    name += std::string(100 - name.size(), 'n');
    ASSERT_EQ(name.size(), 100u);
    tDosStream stream(name, kOpenReadWrite);
    std::string shown = "..." + name.substr(30);
    EXPECT_EQ(PendingError()->Message(),
              FileMessage("Ошибка открытия файла \"%s\"."_oem, shown, -2));
    EXPECT_EQ(ShownFileName(std::string(70, 'a')), std::string(70, 'a'));
}

// Catches a wrong file text for any status code (including the Latin c of the suffix).
TEST_F(DosStreamTest, EveryErrorCodeNamesTheFile) {
    std::string name = PathOf("codes.dat");
    MakeFile(name, 4);
    struct tCase {
        std::int16_t Code;
        std::string_view Format;
    } cases[] = {
        {0, "Нет ошибки (файл \"%s\")."_oem},
        {-1, "Ошибка доступа к файлу \"%s\"."_oem},
        {-2, "Ошибка открытия файла \"%s\"."_oem},
        {-3, "Чтение за концом файла \"%s\"."_oem},
        {-4, "Нельзя расширить файл \"%s\"."_oem},
        {-5, "Get для незарегистрированного типа объекта из файла \"%s\"."_oem},
        {-6, "Put для незарегистрированного типа объекта в файл \"%s\"."_oem},
        {-7, "Размер элемента потока не соответствует необходимому (файл \"%s\")."_oem},
        {-12, "Неизвестная ошибка."_oem},
    };
    for (const auto& c : cases) {
        ClearError();
        tDosStream stream(name, kOpenReadWrite);
        SetLastOsError(kErrorSharingViolation);
        stream.Error(c.Code, 0);
        ASSERT_TRUE(IsErrorPending());
        EXPECT_EQ(PendingError()->Message(), FileMessage(c.Format, name, c.Code))
            << "code " << c.Code;
    }
}

// Catches element counting errors: a size that is no multiple, reads past the end, truncation.
TEST_F(DosStreamTest, ElementsReadWriteSeekTruncate) {
    std::string odd = PathOf("odd.dat");
    MakeFile(odd, 10);
    tDosStream four(odd, 4, kOpenReadWrite);
    EXPECT_EQ(four.Status, stElementError) << "expected 10 bytes refused for 4-byte elements";
    ClearError();

    std::string name = PathOf("data.dat");
    tDosStream stream(name, 4, kModeCreate);
    ASSERT_EQ(stream.Status, stOk);
    const std::uint32_t values[3] = {1, 2, 3};
    stream.Write(values, 3);
    EXPECT_EQ(stream.GetSize(), 3);
    EXPECT_EQ(fs::file_size(name), 12u);
    stream.Seek(1);
    std::uint32_t got[2] = {};
    stream.Read(got, 2);
    EXPECT_EQ(got[0], 2u);
    EXPECT_EQ(stream.GetPos(), 3);
    stream.Seek(2);
    stream.Truncate();
    EXPECT_EQ(stream.GetSize(), 2);
    EXPECT_EQ(fs::file_size(name), 8u);
    stream.Read(got, 1);
    EXPECT_EQ(stream.Status, stReadError) << "expected a read past the end to fail";
    EXPECT_EQ(PendingError()->Message(),
              FileMessage("Чтение за концом файла \"%s\"."_oem, name, -3));
}

// Catches positions or sizes cut to 32 bits, which would break test files above 2 GB.
TEST_F(DosStreamTest, PositionsAbove2GB) {
    std::string name = PathOf("big.dat");
    tDosStream stream(name, kModeCreate);
    const std::int64_t far = (std::int64_t(3) << 30) + 7;
    stream.Seek(far);
    stream.Write("end", 3);
    ASSERT_EQ(stream.Status, stOk);
    EXPECT_EQ(stream.GetSize(), far + 3);
    stream.Reset();
    EXPECT_EQ(stream.GetPos(), far + 3) << "expected Reset to read back a 64-bit position";
}

// Catches a stream in the fully shared mode answering a stale cached size.
TEST_F(DosStreamTest, FullySharedModeReReadsTheSize) {
    std::string name = PathOf("shared.dat");
    MakeFile(name, 5);
    tDosStream stream(name, kOpenReadShareAll);
    ASSERT_EQ(stream.GetSize(), 5);
    std::ofstream(name, std::ios::app) << "more";
    EXPECT_EQ(stream.GetSize(), 9) << "expected the size of the file as it is now";
}

// A stream that can break its own descriptor, to make the close fail.
class tBreakableStream : public tDosStream {
  public:
    using tDosStream::tDosStream;
    void BreakDescriptor() { ::close(File().Handle()); }
};

// Catches a failing close that is swallowed instead of reported as -4 with the system's code.
TEST_F(DosStreamTest, FailingCloseIsReported) {
    tBreakableStream stream(PathOf("close.dat"), kModeCreate);
    ASSERT_TRUE(stream.Close()) << "expected an ordinary close to succeed";
    tBreakableStream broken(PathOf("close2.dat"), kModeCreate);
    broken.BreakDescriptor();
    EXPECT_FALSE(broken.Close());
    EXPECT_EQ(broken.Status, stWriteError);
    EXPECT_EQ(broken.ErrorInfo, EBADF) << "expected the system's code of the close";
    EXPECT_FALSE(broken.Valid(0)) << "expected a closed stream invalid";
}

// Catches direct transfers that corrupt data or refuse aligned buffers.
TEST_F(DosStreamTest, DirectCachingMovesAlignedBuffers) {
    std::string name = PathOf("direct.dat");
    { tDosStream create(name, kModeCreate); }
    tDosStream stream(name, kOpenReadWrite, tFileCaching::Direct);
    ASSERT_EQ(stream.Status, stOk);
    alignas(kDirectIoAlignment) static std::uint8_t out[8192], in[8192];
    for (std::size_t i = 0; i < sizeof out; ++i)
        out[i] = std::uint8_t(i * 13);
    stream.Write(out, sizeof out);
    stream.Flush();
    EXPECT_TRUE(stream.DropCache());
    stream.Seek(0);
    stream.Read(in, sizeof in);
    ASSERT_EQ(stream.Status, stOk);
    EXPECT_EQ(std::memcmp(in, out, sizeof in), 0) << "expected the data back intact";
}

// Holds a byte range from a child process for HoldMs, then exits. Only plain system calls
// run in the child.
pid_t HoldRangeInChild(const std::string& path, int holdMs, int readyPipe) {
    pid_t child = fork();
    if (child != 0)
        return child;
    alarm(5);
    int handle = open(path.c_str(), O_RDWR);
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 100;
    char ok = (handle >= 0 && fcntl(handle, F_OFD_SETLK, &range) == 0) ? 1 : 0;
    if (write(readyPipe, &ok, 1) != 1)
        _exit(2);
    usleep(useconds_t(holdMs) * 1000);
    _exit(0);
}

// Catches a lock that gives up at once, waits without bound, or ignores the 250 ms limit.
TEST_F(DosStreamTest, LockRangeRetriesAgainstASecondProcess) {
    std::string name = PathOf("locked.dat");
    MakeFile(name, 100);
    struct tCase {
        int HoldMs;
        bool Succeeds;
    } cases[] = {{100, true}, {500, false}};
    for (const auto& c : cases) {
        ClearError();
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        pid_t child = HoldRangeInChild(name, c.HoldMs, pipeEnds[1]);
        ASSERT_GT(child, 0);
        char ready = 0;
        ASSERT_EQ(read(pipeEnds[0], &ready, 1), 1);
        ASSERT_EQ(ready, 1) << "expected the child to hold the range";
        tDosStream stream(name, kOpenReadWrite);
        auto start = std::chrono::steady_clock::now();
        bool locked = stream.LockRange(0, 100);
        auto elapsed = std::chrono::steady_clock::now() - start;
        int status = 0;
        waitpid(child, &status, 0);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        EXPECT_EQ(locked, c.Succeeds) << "holding " << c.HoldMs << " ms";
        if (c.Succeeds) {
            EXPECT_GE(elapsed, 50ms) << "expected a retry after the refusal";
            EXPECT_TRUE(stream.UnlockRange(0, 100));
        } else {
            EXPECT_GE(elapsed, 250ms) << "expected retries for 250 ms";
            EXPECT_LT(elapsed, 450ms) << "expected the retries to stop soon after 250 ms";
            EXPECT_EQ(stream.Status, stError);
        }
    }
}

// Catches a scratch file that is left behind, or one that others could open meanwhile.
TEST_F(DosStreamTest, TempStreamIsUniqueAndDeleted) {
    std::string path;
    {
        tTempStream temp(Dir.string());
        ASSERT_EQ(temp.Status, stOk);
        path = temp.FileName();
        EXPECT_EQ(fs::path(path).parent_path(), Dir);
        temp.WriteText("scratch");
        EXPECT_EQ(temp.Mode(), 18);
        tDosStream other(path, kOpenReadWrite);
        EXPECT_EQ(other.ErrorInfo, kErrorSharingViolation) << "expected no sharing";
        ClearError();
    }
    EXPECT_FALSE(fs::exists(path)) << "expected the file deleted with the stream";
    tTempStream nowhere((Dir / "no-such-dir").string());
    EXPECT_EQ(nowhere.Status, stInitError);
}

} // namespace
} // namespace zarvo
