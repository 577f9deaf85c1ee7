// The host settings: defaults, values read, bad values refused with a message, and the
// round trip through the settings file that keeps every other line.
#include "console/host_settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "console/ini_file.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

class HostSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { Path = (m_Dir.Path() / "Zarvo.ini").string(); }
    void TearDown() override { ClearError(); }
    void WriteFile(std::string_view text) { std::ofstream(Path, std::ios::binary) << text; }
    std::string ReadFile() { return testing::ReadFileBytes(Path); }
    tHostSettings Load() {
        problems.clear();
        return LoadHostSettings(Path, problems);
    }

    std::string Path;
    std::vector<std::string> problems;

  private:
    testing::tTempDir m_Dir;
};

// Catches defaults that differ from the documented ones when the file is missing.
TEST_F(HostSettingsTest, MissingFileGivesDefaults) {
    tHostSettings settings = Load();
    EXPECT_EQ(settings.ScreenWidth, 80);
    EXPECT_EQ(settings.ScreenHeight, 25);
    EXPECT_EQ(settings.FontWidth, 10);
    EXPECT_EQ(settings.FontHeight, 18);
    EXPECT_EQ(settings.ScreenLeft, 20);
    EXPECT_EQ(settings.ScreenTop, 20);
    EXPECT_EQ(settings.FontName, "Terminal");
    EXPECT_EQ(settings.FontWeight, 400);
    EXPECT_EQ(settings.Palette[1], 0x00B03030u);
    EXPECT_EQ(settings.InputThreadPriority, 1);
    EXPECT_EQ(settings.Host, tHostPreference::Auto);
    EXPECT_TRUE(problems.empty());
    EXPECT_FALSE(IsErrorPending());
}

// Catches values being ignored, names compared case-sensitively, or the Cyrillic section
// not found.
TEST_F(HostSettingsTest, ReadsEveryKey) {
    WriteFile(std::string("[system]\r\nscreenwidth = 100\r\nScreenHeight=40\r\nFontWidth=8\r\n"
                          "FontHeight=16\r\nScreenLeft=-10\r\nScreenTop=300\r\n"
                          "FontName=DejaVu Sans Mono\r\nFontWeight=700\r\nColor1=00FF0000\r\n"
                          "color15=abcdef\r\nHost=Terminal\r\n[") +
              std::string("СИСТЕМА"_oem) + "]\r\n" + std::string("Нить ввода-вывода"_oem) +
              "=2\r\n");
    tHostSettings settings = Load();
    EXPECT_EQ(settings.ScreenWidth, 100);
    EXPECT_EQ(settings.ScreenHeight, 40);
    EXPECT_EQ(settings.FontWidth, 8);
    EXPECT_EQ(settings.FontHeight, 16);
    EXPECT_EQ(settings.ScreenLeft, -10);
    EXPECT_EQ(settings.ScreenTop, 300);
    EXPECT_EQ(settings.FontName, "DejaVu Sans Mono");
    EXPECT_EQ(settings.FontWeight, 700);
    EXPECT_EQ(settings.Palette[1], 0x00FF0000u);
    EXPECT_EQ(settings.Palette[15], 0x00ABCDEFu);
    EXPECT_EQ(settings.Palette[2], kDefaultHostPalette[2]);
    EXPECT_EQ(settings.Host, tHostPreference::Terminal);
    EXPECT_EQ(settings.InputThreadPriority, 2);
    EXPECT_TRUE(problems.empty()) << problems.size() << " unexpected problems";
}

// Catches an out-of-range or malformed value being trusted instead of refused with a message.
TEST_F(HostSettingsTest, BadValuesKeepDefaultsAndSaySo) {
    struct tCase {
        std::string line;
    };
    const tCase cases[] = {
        {"ScreenWidth=133"},
        {"ScreenWidth=0"},
        {"ScreenWidth=-80"},
        {"ScreenWidth=eighty"},
        {"ScreenHeight=0"},
        {"ScreenHeight=1000"},
        {"FontWidth=0"},
        {"FontHeight=-5"},
        {"FontHeight=99999999999"},
        {"FontWeight=5000"},
        {"ScreenLeft=1e9"},
        {"FontName="},
        {"FontName=" + std::string(40, 'x')},
        {"Color3=GG0000"},
        {"Color3=01000000"},
        {"Color3=123456789"},
        {"Host=both"},
    };
    for (const tCase& c : cases) {
        WriteFile("[System]\r\n" + c.line + "\r\n");
        tHostSettings settings = Load();
        tHostSettings defaults;
        EXPECT_EQ(settings.ScreenWidth, defaults.ScreenWidth) << c.line;
        EXPECT_EQ(settings.ScreenHeight, defaults.ScreenHeight) << c.line;
        EXPECT_EQ(settings.FontWidth, defaults.FontWidth) << c.line;
        EXPECT_EQ(settings.FontHeight, defaults.FontHeight) << c.line;
        EXPECT_EQ(settings.FontWeight, defaults.FontWeight) << c.line;
        EXPECT_EQ(settings.ScreenLeft, defaults.ScreenLeft) << c.line;
        EXPECT_EQ(settings.FontName, defaults.FontName) << c.line;
        EXPECT_EQ(settings.Palette, defaults.Palette) << c.line;
        EXPECT_EQ(settings.Host, defaults.Host) << c.line;
        ASSERT_EQ(problems.size(), 1u) << "one message for " << c.line;
        std::string key = c.line.substr(0, c.line.find('='));
        EXPECT_NE(problems[0].find(key), std::string::npos) << "the message names " << key;
    }
    WriteFile(std::string("[Система]\r\nНить ввода-вывода=7\r\n"_oem));
    EXPECT_EQ(Load().InputThreadPriority, 1) << "7 is no thread priority";
    EXPECT_EQ(problems.size(), 1u);
}

// Catches the settings lost on the way out and back, colours written at exit, or other
// sections and comments of the file dropped.
TEST_F(HostSettingsTest, SaveRoundTripKeepsTheRestOfTheFile) {
    std::string original = std::string("; kept\r\n[System]\r\nColor1=00FF0000\r\nScreenWidth=90\r\n"
                                       "\r\n[Other]\r\nKey=Value\r\n[Система]\r\n"_oem) +
                           std::string("Нить ввода-вывода=0\r\n"_oem);
    WriteFile(original);
    tHostSettings settings = Load();
    settings.ScreenWidth = 100;
    settings.FontWidth = 12;
    settings.FontHeight = 20;
    settings.ScreenLeft = 33;
    settings.ScreenTop = 44;
    settings.FontName = "DejaVu Sans Mono";
    settings.FontWeight = 700;
    settings.Palette[1] = 0x123456;
    ASSERT_TRUE(SaveHostSettings(Path, settings));

    tHostSettings again = Load();
    EXPECT_EQ(again.ScreenWidth, 100);
    EXPECT_EQ(again.ScreenHeight, 25);
    EXPECT_EQ(again.FontWidth, 12);
    EXPECT_EQ(again.FontHeight, 20);
    EXPECT_EQ(again.ScreenLeft, 33);
    EXPECT_EQ(again.ScreenTop, 44);
    EXPECT_EQ(again.FontName, "DejaVu Sans Mono");
    EXPECT_EQ(again.FontWeight, 700);
    EXPECT_EQ(again.Palette[1], 0x00FF0000u) << "colours are never written";
    EXPECT_EQ(again.InputThreadPriority, 0);
    std::string text = ReadFile();
    EXPECT_NE(text.find("; kept\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Other]\r\nKey=Value\r\n"), std::string::npos);
    EXPECT_EQ(text.find("ScreenWidth=90"), std::string::npos) << "the old value replaced";
    EXPECT_EQ(text.find("Color1=00FF0000"), text.rfind("Color1=")) << "written once";
}

// Catches a terminal's size pinned into the file at exit (the next start would then ignore
// the terminal), or a size the user set not kept.
TEST_F(HostSettingsTest, ScreenSizeIsWrittenBackOnlyWhenTheFileSetIt) {
    tHostSettings settings = Load();
    EXPECT_FALSE(settings.ScreenSizeFromFile) << "expected no size in a missing file";
    settings.ScreenWidth = 120; // as the terminal host follows a terminal
    settings.ScreenHeight = 40;
    ASSERT_TRUE(SaveHostSettings(Path, settings));
    EXPECT_EQ(ReadFile().find("ScreenWidth"), std::string::npos)
        << "expected no size written: " << ReadFile();
    EXPECT_FALSE(Load().ScreenSizeFromFile);

    WriteFile("[System]\nScreenHeight=30\n");
    settings = Load();
    EXPECT_TRUE(settings.ScreenSizeFromFile) << "expected one size key to count";
    ASSERT_TRUE(SaveHostSettings(Path, settings));
    EXPECT_NE(ReadFile().find("ScreenWidth=80\r\n"), std::string::npos) << ReadFile();
    EXPECT_NE(ReadFile().find("ScreenHeight=30\r\n"), std::string::npos) << ReadFile();
}

// Catches a settings file that cannot be read leaving a pending error behind (the
// application would then refuse to start) or being overwritten at exit.
TEST_F(HostSettingsTest, UnreadableFileIsReportedNotPending) {
    std::filesystem::create_directory(Path);
    tHostSettings settings = Load();
    EXPECT_EQ(settings.ScreenWidth, 80);
    EXPECT_EQ(problems.size(), 1u) << "one message";
    EXPECT_FALSE(IsErrorPending()) << "nothing pending";
    EXPECT_FALSE(SaveHostSettings(Path, settings)) << "a directory is not replaced";
    EXPECT_TRUE(IsErrorPending()) << "the failed save says why";
}

// Catches a settings file somebody else put there hanging the start (a fifo), growing the
// memory without end (/dev/zero) or being replaced by a plain file at exit.
TEST_F(HostSettingsTest, SettingsFileThatIsNoFileIsRefusedAndLeftAlone) {
    struct tCase {
        const char* Name;
        std::function<void(const std::string& path)> Make;
    } cases[] = {
        {"a fifo", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0); }},
        {"a link to /dev/zero",
         [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"far too large",
         [](const std::string& path) {
             std::ofstream(path) << "[System]\r\n" << std::string(100'000, ';') << "\r\n";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(Path);
        c.Make(Path);
        auto before = std::filesystem::symlink_status(Path).type();
        tHostSettings settings = Load();
        EXPECT_EQ(settings.ScreenWidth, 80) << "defaults";
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(Cp866ToUtf8(problems[0]).find("Файл настроек"), std::string::npos)
            << Cp866ToUtf8(problems[0]);
        EXPECT_FALSE(SaveHostSettings(Path, settings));
        ClearError();
        EXPECT_EQ(std::filesystem::symlink_status(Path).type(), before) << "left as it was";
    }
}

// Catches a settings file kept elsewhere through a link being replaced by a plain file at
// exit, or a link that leads nowhere being followed into a new file.
TEST_F(HostSettingsTest, LinkedSettingsFileStaysALink) {
    testing::tTempDir elsewhere;
    std::filesystem::path target = elsewhere.Path() / "zarvo.ini";
    std::ofstream(target) << "[System]\r\nScreenWidth=100\r\n";
    std::filesystem::create_symlink(target, Path);
    tHostSettings settings = Load();
    EXPECT_EQ(settings.ScreenWidth, 100);
    settings.FontName = "DejaVu Sans Mono";
    ASSERT_TRUE(SaveHostSettings(Path, settings));
    EXPECT_TRUE(std::filesystem::is_symlink(Path)) << "still a link";
    EXPECT_NE(testing::ReadFileBytes(target).find("FontName=DejaVu Sans Mono"), std::string::npos)
        << "written where it leads";

    std::filesystem::remove(Path);
    std::filesystem::create_symlink(elsewhere.Path() / "gone.ini", Path);
    EXPECT_FALSE(SaveHostSettings(Path, settings));
    ClearError();
    EXPECT_FALSE(std::filesystem::exists(elsewhere.Path() / "gone.ini")) << "nothing made there";
}

// Catches a key added to the wrong section or a missing section not created.
TEST(IniFileTest, WriteFindsOrMakesTheSection) {
    tIniFile ini;
    ini.Parse("[A]\nx=1\n\n[B]\ny=2\n");
    ini.Write("a", "z", "3");
    ini.Write("C", "w", "4");
    ini.Write("b", "Y", "5");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\nY=5\r\n\r\n[C]\r\nw=4\r\n");
    EXPECT_EQ(ini.Read("B", "y").value_or("?"), "5");
    EXPECT_FALSE(ini.Read("A", "y").has_value()) << "keys belong to their section";
}

// Catches settings names looked up in the wrong code page: a hand-edited UTF-8 "[Система]"
// never found, an older CP866 file no longer read, a UTF-8 byte-order mark taken as text.
TEST(IniFileTest, ReadsUtf8AndOlderCp866Files) {
    struct tCase {
        const char* Name;
        std::string Bytes;
    };
    const std::string utf8 = "[Система]\r\nНить ввода-вывода=1\r\n";
    const tCase cases[] = {
        {"UTF-8", utf8},
        {"UTF-8, LF only, other letter case", "[сИСТЕМА]\nнить ВВОДА-вывода=1\n"},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8},
        {"CP866", std::string("[Система]\r\nНить ввода-вывода=1\r\n"_oem)},
    };
    for (const tCase& c : cases) {
        tIniFile ini;
        ini.Parse(c.Bytes);
        EXPECT_EQ(ini.Read("Система"_oem, "Нить ввода-вывода"_oem).value_or("missing"), "1")
            << c.Name << ": expected the key found";
    }
}

// Catches settings written in CP866, or a rewrite that mangles lines the program does not know.
TEST(IniFileTest, WritesUtf8AndKeepsForeignText) {
    tIniFile ini;
    ini.Parse("; цена в €\n[Other]\nKey=Значение\n");
    ini.Write("Система"_oem, "Нить ввода-вывода"_oem, "Да"_oem);
    EXPECT_EQ(ini.Text(),
              "; цена в €\r\n[Other]\r\nKey=Значение\r\n\r\n[Система]\r\nНить ввода-вывода=Да\r\n")
        << "expected UTF-8 throughout and the euro sign kept";
    EXPECT_EQ(ini.Read("Other", "Key").value_or("missing"), std::string("Значение"_oem))
        << "expected values handed out in CP866";

    tIniFile old;
    old.Parse(std::string("; старый файл\r\n[Система]\r\nНить ввода-вывода=0\r\n"_oem));
    old.Write("Система"_oem, "Нить ввода-вывода"_oem, "1");
    EXPECT_EQ(old.Text(), "; старый файл\r\n[Система]\r\nНить ввода-вывода=1\r\n")
        << "expected a CP866 file rewritten in UTF-8";
}

} // namespace
} // namespace zarvo
