// Tests of the exception-raising tFileStream: the log's open-or-create append, and the texts
// of its failures.
#include "library/file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/cp866.h"
#include "platform/format_text.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

namespace fs = std::filesystem;

class FileStreamTest : public ::testing::Test {
  protected:
    void SetUp() override { Dir = m_Temp.Path(); }
    static std::string ReadAll(const fs::path& path) { return testing::ReadFileBytes(path); }
    testing::tTempDir m_Temp;
    fs::path Dir;
};

// Catches mode 833 truncating an existing log or failing to create a missing one.
TEST_F(FileStreamTest, LogModeCreatesOrAppends) {
    std::string name = (Dir / "Zarvo.log").string();
    for (std::string_view line : {"first\r\n", "second\r\n"}) {
        tFileStream log(name, kModeLogAppend);
        log.Seek(0, tSeekOrigin::End);
        log.WriteText(line);
        log.Flush();
    }
    EXPECT_EQ(ReadAll(name), "first\r\nsecond\r\n") << "expected both records kept";
}

// Catches failures that raise the wrong class or lose the file name in the text.
TEST_F(FileStreamTest, FailuresRaiseTheirTexts) {
    std::string missing = (Dir / "absent.dat").string();
    try {
        tFileStream stream(missing, 34);
        ADD_FAILURE() << "expected EFOpenError";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind(std::string("Невозможно открыть файл \""_oem) + missing + "\"", 0),
                  0u)
            << "expected the open text with the name";
    }
    EXPECT_THROW(tFileStream((Dir / "no/such/dir.log").string(), kModeLogAppend), EFCreateError);

    std::string name = (Dir / "short.dat").string();
    std::ofstream(name) << "abc";
    tFileStream stream(name, 0);
    char buffer[8];
    try {
        stream.ReadBuffer(buffer, 8);
        ADD_FAILURE() << "expected EStreamError";
    } catch (const EStreamError& error) {
        EXPECT_EQ(error.what(),
                  FormatText("Ошибка ввода-вывода (поток файла).\r\n %s, имя файла \"%s\""_oem,
                             {"Ошибка ввода вывода (чтение потока)"_oem, name}));
    }
}

} // namespace
} // namespace zarvo
