// The optional natloc.so: absent, unloadable, or without its export.
#include "console/char_converter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/cp866.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

class CharConverterTest : public ::testing::Test {
  protected:
    void SetUp() override { Dir = m_Temp.Str(); }
    void TearDown() override { UnloadCharConverter(); }
    std::vector<std::string> Load() {
        std::vector<std::string> messages;
        LoadCharConverter(Dir, [&](std::string_view text) { messages.emplace_back(text); });
        return messages;
    }
    testing::tTempDir m_Temp;
    std::string Dir;
};

// Catches a message shown, or the conversion changed, when there is no library at all.
TEST_F(CharConverterTest, NoLibraryIsSilent) {
    EXPECT_TRUE(Load().empty());
    char ch = 'q';
    CharConverter(&ch);
    EXPECT_EQ(ch, 'q');
}

// Catches a broken library crashing the start or being used, instead of one message.
TEST_F(CharConverterTest, UnloadableLibraryGivesOneMessage) {
    std::ofstream(Dir + "/natloc.so") << "not a library";
    std::vector<std::string> messages = Load();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              std::string("Ошибка при загрузке библиотеки \""_oem) + Dir + "/natloc.so\"");
}

// Catches a library without "AnsiToOem" being called through a null pointer.
TEST_F(CharConverterTest, LibraryWithoutExportGivesOneMessage) {
    std::filesystem::path libm;
    for (const char* candidate :
         {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"})
        if (std::filesystem::exists(candidate))
            libm = candidate;
    if (libm.empty())
        GTEST_SKIP() << "no libm to stand in for a library without the export";
    std::filesystem::copy_file(libm, Dir + "/natloc.so");
    std::vector<std::string> messages = Load();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::string("Ошибка при загрузке библиотеки \""_oem) + Dir +
                               "/natloc.so\"" +
                               std::string(": не найдена функция \"AnsiToOem\""_oem));
    char ch = 'q';
    CharConverter(&ch);
    EXPECT_EQ(ch, 'q') << "the default stays";
}

} // namespace
} // namespace zarvo
