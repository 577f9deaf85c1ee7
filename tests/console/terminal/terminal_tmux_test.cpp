// The terminal host in a real terminal: tmux runs this test program's child mode, which shows
// the 256 glyphs and echoes key codes through the real host; the tests read the screen back
// with capture-pane and check that the terminal is given back however the child ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "console/cells.h"
#include "console/drivers_console.h"
#include "console/host_settings.h"
#include "console/key_codes.h"
#include "console/terminal/terminal_host.h"
#include "console/terminal/terminal_screen.h"
#include "platform/cp866.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

constexpr const char* kChildVariable = "ZARVO_TERMINAL_CHILD"; // the pid file's path
constexpr const char* kHeldText = "text written while the host owned the terminal";
constexpr int kEchoRow = 18;

// ---- the child: a minimal text UI on the terminal host ----

// Writes the cells of one row that fit on the screen, whatever its size now.
void ChildWrite(int y, const tCell* cells, int count) {
    if (y < CurrentConsole->Rows)
        CurrentConsole->WriteCells(0, y, cells, std::min(count, int(CurrentConsole->Cols)));
}

// The echo of the last key; the screen is drawn again with it after a resize.
std::string gChildEcho = "ready";

void ChildDraw() {
    tScreenDrawBracket bracket(&gChildEcho);
    std::vector<tCell> blank(std::size_t(CurrentConsole->Cols), MakeCell(' ', 0x07));
    for (int row = 0; row < CurrentConsole->Rows; ++row)
        ChildWrite(row, blank.data(), int(blank.size()));
    for (int row = 0; row < 16; ++row) {
        std::array<tCell, 17> line{};
        for (int column = 0; column < 16; ++column)
            line[column] =
                MakeCell(std::uint8_t(row * 16 + column), std::uint8_t(row << 4 | column));
        line[16] = MakeCell('|', 0x07);
        ChildWrite(row, line.data(), int(line.size()));
    }
    std::vector<tCell> text(std::size_t(CurrentConsole->Cols), MakeCell(' ', 0x07));
    CopyTextToCells(text.data(), gChildEcho.substr(0, text.size()), 0x07);
    ChildWrite(kEchoRow, text.data(), int(text.size()));
    // The last row says the size, so a test sees both that it is shown and what it is.
    std::string size = "size " + std::to_string(CurrentConsole->Cols) + "x" +
                       std::to_string(CurrentConsole->Rows) + " end";
    std::fill(text.begin(), text.end(), MakeCell(' ', 0x07));
    CopyTextToCells(text.data(), size.substr(0, text.size()), 0x07);
    ChildWrite(CurrentConsole->Rows - 1, text.data(), int(text.size()));
    CurrentConsole->SetCursor(0, kEchoRow, 9);
}

void ChildRunThread() {
    std::atomic<bool> quit{false};
    ConsoleClass = MakeDriversConsole;
    StartConsoleDriver();
    CurrentConsole->OnMessage = [&quit](TConsoleMsg& msg) {
        // As the application does: the close request becomes a cmdQuit event for the reader.
        if (msg.message == WM_CLOSE || msg.message == WM_QUERYENDSESSION) {
            quit = true;
            CurrentConsole->PutMessage(msg);
        }
        if (msg.message == WM_SIZE)
            ChildDraw();
    };
    CurrentConsole->Activate();
    std::printf("%s\n", kHeldText);
    std::fflush(stdout);
    ChildDraw();
    while (!quit) {
        TEventRec event;
        ReadConsoleEvent(event, true);
        if (event.what != evtKeyDown)
            continue;
        if (event.key.keyCode == kKeyAltX)
            break;
        if (event.key.keyCode == kKeyAltA)
            std::abort(); // a crash while the host owns the terminal
        char echo[64];
        std::snprintf(echo, sizeof echo, "key %04X shift %u", unsigned(event.key.keyCode),
                      unsigned(event.key.shiftState));
        gChildEcho = echo;
        ChildDraw();
    }
    StopConsoleDriver();
    PostHostQuit();
}

TEST(TerminalHostChild, Run) {
    const char* pidFile = std::getenv(kChildVariable);
    if (pidFile == nullptr)
        GTEST_SKIP() << "runs only inside tmux, started by the terminal host tests";
    std::ofstream(pidFile) << getpid() << "\n";
    tTerminalHost host;
    std::thread run;
    std::string settings = std::string(pidFile) + ".ini";
    bool shown = RunConsoleHost(
        host,
        [&] {
            BindScreenDrawLock();
            run = std::thread(ChildRunThread);
        },
        settings);
    if (run.joinable())
        run.join();
    EXPECT_TRUE(shown) << "expected the terminal host to start";
}

// ---- the tests: tmux drives the child ----

std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

struct tColour {
    bool Rgb = false; // else an ANSI number, -1 for the default colour
    std::uint32_t Value = 0;
    int Ansi = -1;
};

// One cell of capture-pane -e: its text and the colours in effect.
struct tCapturedCell {
    char32_t Glyph = 0;
    tColour Foreground, Background;
};

void ApplySgr(const std::vector<int>& codes, tCapturedCell& state) {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        int code = codes[i];
        tColour* target =
            (code == 38 || (code >= 30 && code <= 37) || (code >= 90 && code <= 97) || code == 39)
                ? &state.Foreground
                : &state.Background;
        if (code == 0) {
            state.Foreground = state.Background = {};
        } else if ((code == 38 || code == 48) && i + 4 < codes.size() + 0 && codes[i + 1] == 2) {
            *target = {true, std::uint32_t(codes[i + 2] | codes[i + 3] << 8 | codes[i + 4] << 16),
                       -1};
            i += 4;
        } else if (code == 39 || code == 49) {
            *target = {};
        } else if ((code >= 30 && code <= 37) || (code >= 40 && code <= 47)) {
            *target = {false, 0, code % 10};
        } else if ((code >= 90 && code <= 97) || (code >= 100 && code <= 107)) {
            *target = {false, 0, code % 10 + 8};
        }
    }
}

// capture-pane -e output as rows of cells; colours carry over from row to row as tmux writes them.
std::vector<std::vector<tCapturedCell>> ParseCapture(const std::string& text) {
    std::vector<std::vector<tCapturedCell>> rows;
    tCapturedCell state;
    for (const std::string& line : Lines(text)) {
        std::vector<tCapturedCell>& row = rows.emplace_back();
        std::size_t pos = 0;
        while (pos < line.size()) {
            if (line[pos] == '\x1b' && pos + 1 < line.size() && line[pos + 1] == '[') {
                std::size_t end = line.find_first_not_of("0123456789;", pos + 2);
                std::vector<int> codes;
                std::stringstream fields(line.substr(pos + 2, end - pos - 2));
                for (std::string field; std::getline(fields, field, ';');)
                    codes.push_back(field.empty() ? 0 : std::stoi(field));
                if (end < line.size() && line[end] == 'm')
                    ApplySgr(codes.empty() ? std::vector<int>{0} : codes, state);
                pos = end + 1;
                continue;
            }
            state.Glyph = DecodeUtf8(line, pos);
            row.push_back(state);
        }
    }
    return rows;
}

class tTmux {
  public:
    tTmux() {
        static std::atomic<int> counter{0};
        m_Socket = "zarvo-terminal-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    }
    ~tTmux() { Shell(Tmux("kill-server")); }

    // Starts the child in a pane of width x height, recording the terminal modes before and
    // after it.
    void Start(const std::string& environment, int width = 100, int height = 30) {
        std::string self = Shell("readlink /proc/" + std::to_string(getpid()) + "/exe");
        while (!self.empty() && self.back() == '\n')
            self.pop_back();
        std::string dir = m_Dir.Str();
        std::string script = "stty -g > " + dir + "/before; env " + environment + " " +
                             kChildVariable + "=" + dir + "/pid " + self +
                             " --gtest_filter=TerminalHostChild.Run; echo EXITED $?; stty -g > " +
                             dir + "/after; sleep 60";
        Shell("env LC_ALL=C.UTF-8 " +
              Tmux("-f /dev/null new-session -d -x " + std::to_string(width) + " -y " +
                   std::to_string(height) + " '" + script + "'"));
    }
    std::string Tmux(const std::string& arguments) const {
        return "tmux -L " + m_Socket + " " + arguments;
    }
    std::string Capture(bool colours = false) const {
        return Shell(Tmux(std::string("capture-pane -p") + (colours ? " -e" : "")));
    }
    std::string Display(const std::string& format) const {
        return Shell(Tmux("display -p '" + format + "'"));
    }
    void SendKeys(const std::string& keys) const { Shell(Tmux("send-keys " + keys)); }
    pid_t ChildPid() const { return pid_t(std::atoi(ReadFile("pid").c_str())); }
    std::string ReadFile(const std::string& name) const {
        return testing::ReadFileBytes(m_Dir.Path() / name);
    }
    void WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(m_Dir.Path() / name, std::ios::binary) << text;
    }
    // The screen's row `row`, or empty when there is none.
    std::string Row(int row) const {
        std::vector<std::string> lines = Lines(Capture());
        return row < int(lines.size()) ? lines[std::size_t(row)] : std::string();
    }

    // Waits up to 20 s for the screen to satisfy `ready`.
    bool WaitFor(const std::function<bool(const std::string& screen)>& ready) const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (ready(Capture()))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    bool WaitForText(const std::string& text) const {
        return WaitFor(
            [&](const std::string& screen) { return screen.find(text) != std::string::npos; });
    }

  private:
    std::string m_Socket;
    testing::tTempDir m_Dir;
};

bool TmuxAvailable() {
    return std::system("command -v tmux >/dev/null 2>&1") == 0;
}

class TerminalTmuxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TmuxAvailable())
            GTEST_SKIP() << "tmux is not installed";
    }
    void StartChild(const std::string& environment, int width = 100, int height = 30) {
        m_Tmux.Start(environment, width, height);
        ASSERT_TRUE(m_Tmux.WaitForText("ready")) << "expected the child's screen; got:\n"
                                                 << m_Tmux.Capture();
    }
    tTmux m_Tmux;
};

// Catches glyphs drawn from the wrong code page or control codes shown as raw bytes.
TEST_F(TerminalTmuxTest, All256GlyphsAppearAsTheirCp866Characters) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color COLORTERM=truecolor"));
    std::vector<std::vector<tCapturedCell>> rows = ParseCapture(m_Tmux.Capture());
    ASSERT_GE(rows.size(), 16u) << "expected 16 rows of glyphs";
    for (int row = 0; row < 16; ++row) {
        ASSERT_GE(rows[row].size(), 17u) << "row " << row << ": expected 16 glyphs and the bar";
        for (int column = 0; column < 16; ++column) {
            std::uint8_t code = std::uint8_t(row * 16 + column);
            EXPECT_EQ(std::uint32_t(rows[row][column].Glyph), std::uint32_t(Cp866ToGlyph(code)))
                << "expected CP866 character 0x" << std::hex << int(code) << " as U+"
                << std::uint32_t(Cp866ToGlyph(code));
        }
    }
}

// Catches a host that ignores a new terminal size, or writes past a small terminal's edge.
TEST_F(TerminalTmuxTest, SmallerTerminalShowsWhatFitsAndGrowsBack) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color"));
    Shell(m_Tmux.Tmux("resize-window -x 12 -y 6"));
    EXPECT_TRUE(m_Tmux.WaitFor([](const std::string& screen) {
        std::vector<std::string> lines = Lines(screen);
        return lines.size() == 6 && lines[2] == " !\"#$%&'()*+";
    })) << "expected the top left 12 x 6 cells; screen:\n"
        << m_Tmux.Capture();
    Shell(m_Tmux.Tmux("resize-window -x 100 -y 30"));
    EXPECT_TRUE(m_Tmux.WaitForText("ЁёЄєЇїЎў°∙·√№¤■"))
        << "expected the whole screen again; screen:\n"
        << m_Tmux.Capture();
}

// Catches terminfo padding ("$<5>") written as text, on the screen and after the end.
TEST_F(TerminalTmuxTest, PaddedTerminalShowsOnlyTheCells) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=vt100"));
    EXPECT_EQ(m_Tmux.Capture().find("$<"), std::string::npos)
        << "expected no padding on the screen:\n"
        << m_Tmux.Capture();
    m_Tmux.SendKeys("M-x");
    ASSERT_TRUE(m_Tmux.WaitForText("EXITED")) << "expected the child to end";
    std::string history = Shell(m_Tmux.Tmux("capture-pane -p -S -"));
    EXPECT_EQ(history.find("$<"), std::string::npos) << "expected no padding left after the end:\n"
                                                     << history;
}

// Catches a screen that keeps its own size in a terminal of another: the last row cut off in
// 80 x 24, a larger terminal left blank, a resize that never reaches the text UI, a terminal
// too small for the smallest screen not saying so.
TEST_F(TerminalTmuxTest, ScreenFollowsTheTerminalSize) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color", 80, 24));
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string&) {
        return m_Tmux.Row(23) == "size 80x24 end";
    })) << "expected the last row of 80 x 24 shown; screen:\n"
        << m_Tmux.Capture();
    Shell(m_Tmux.Tmux("resize-window -x 120 -y 40"));
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string&) {
        return m_Tmux.Row(39) == "size 120x40 end";
    })) << "expected the text UI told of 120 x 40; screen:\n"
        << m_Tmux.Capture();
    Shell(m_Tmux.Tmux("resize-window -x 8 -y 4"));
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string&) { return m_Tmux.Row(3) == "Мало мес"; }))
        << "expected the last row of an 8 x 4 terminal to say it is too small; screen:\n"
        << m_Tmux.Capture();
}

// Catches the terminal's size overriding a size the settings file sets.
TEST_F(TerminalTmuxTest, SizeFromTheSettingsFileWins) {
    m_Tmux.WriteFile("pid.ini", "[System]\nScreenWidth=80\nScreenHeight=25\n");
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color", 100, 30));
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string&) {
        return m_Tmux.Row(24) == "size 80x25 end";
    })) << "expected the 80 x 25 of the settings file; screen:\n"
        << m_Tmux.Capture();
}

// Catches a terminal without an alternate screen left showing the program's screen, with the
// shell's text landing in the middle of it.
TEST_F(TerminalTmuxTest, TerminalWithoutAlternateScreenIsClearedAtTheEnd) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=linux", 80, 24));
    m_Tmux.SendKeys("M-x");
    ASSERT_TRUE(m_Tmux.WaitForText("EXITED")) << "expected the child to end";
    std::vector<std::string> lines = Lines(m_Tmux.Capture());
    std::size_t exited = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find("size 80x24"), std::string::npos)
            << "expected the program's screen cleared; row " << i << ": " << lines[i];
        if (lines[i].starts_with("EXITED"))
            exited = i;
    }
    EXPECT_GE(exited, 21u) << "expected the shell to go on at the bottom, not at row " << exited;
}

// The process state letter of /proc/<pid>/stat ('T' when stopped).
char ProcessState(pid_t pid) {
    std::string stat = testing::ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

// Catches a stop that leaves the shell on the alternate screen with mouse reports on, or a
// continue that comes back to a blank or half-drawn screen.
TEST_F(TerminalTmuxTest, StopGivesTheTerminalBackAndContinueRepaints) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color"));
    pid_t child = m_Tmux.ChildPid();
    kill(child, SIGTSTP);
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string&) {
        return ProcessState(child) == 'T' &&
               m_Tmux.Display("#{alternate_on} #{mouse_any_flag} #{cursor_flag}") == "0 0 1\n";
    })) << "expected the process stopped with the normal screen, no mouse reports, a cursor";
    kill(child, SIGCONT);
    EXPECT_TRUE(m_Tmux.WaitFor([&](const std::string& screen) {
        return m_Tmux.Display("#{alternate_on}") == "1\n" &&
               screen.find("ЁёЄєЇїЎў°∙·√№¤■") != std::string::npos &&
               screen.find("ready") != std::string::npos;
    })) << "expected the whole screen back after the continue; screen:\n"
        << m_Tmux.Capture();
    m_Tmux.SendKeys("M-x");
    EXPECT_TRUE(m_Tmux.WaitForText("EXITED 0")) << "expected the child to go on and end normally";
}

// Catches palette colours lost, swapped or merged: 24-bit when the terminal says it has them,
// else the 16 ANSI colours by index, all 16 distinct.
TEST_F(TerminalTmuxTest, ColoursReadBackFromThePalette) {
    struct tCase {
        const char* Environment;
        bool Rgb;
    };
    // CGA order -> ANSI order.
    const int kAnsiOf[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    for (const tCase& c : {tCase{"TERM=tmux-256color COLORTERM=truecolor", true},
                           tCase{"-u COLORTERM TERM=xterm-256color", false},
                           tCase{"-u COLORTERM TERM=xterm", false}}) {
        tTmux tmux;
        tmux.Start(c.Environment);
        ASSERT_TRUE(tmux.WaitForText("ready")) << c.Environment << ": expected the child's screen";
        std::vector<std::vector<tCapturedCell>> rows = ParseCapture(tmux.Capture(true));
        ASSERT_GE(rows.size(), 16u);
        for (int row = 0; row < 16; ++row) {
            ASSERT_GE(rows[row].size(), 16u)
                << c.Environment << ": expected 16 cells in row " << row;
            for (int column = 0; column < 16; ++column) {
                const tCapturedCell& cell = rows[row][column];
                std::uint32_t foreground = kDefaultHostPalette[column];
                std::uint32_t background = kDefaultHostPalette[row];
                std::string where = std::string(c.Environment) + " cell " + std::to_string(column) +
                                    "," + std::to_string(row);
                if (c.Rgb) {
                    EXPECT_TRUE(cell.Foreground.Rgb && cell.Foreground.Value == foreground)
                        << where << ": expected foreground 0x" << std::hex << foreground;
                    EXPECT_TRUE(cell.Background.Rgb && cell.Background.Value == background)
                        << where << ": expected background 0x" << std::hex << background;
                } else {
                    EXPECT_TRUE(!cell.Foreground.Rgb && cell.Foreground.Ansi == kAnsiOf[column])
                        << where << ": expected ANSI foreground " << kAnsiOf[column] << ", got "
                        << cell.Foreground.Ansi;
                    EXPECT_TRUE(!cell.Background.Rgb && cell.Background.Ansi == kAnsiOf[row])
                        << where << ": expected ANSI background " << kAnsiOf[row] << ", got "
                        << cell.Background.Ansi;
                }
            }
        }
    }
}

// Catches modified keys decoded as the wrong key, and Alt letters that depend on the layout.
TEST_F(TerminalTmuxTest, ModifiedKeysArriveAsTheKeyCodesOfTheTables) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color"));
    struct tCase {
        const char* Keys;
        const char* Echo;
    };
    const tCase cases[] = {
        {"C-Left", "key 7300 shift 4"},
        {"S-F5", "key 5800 shift 3"},
        {"M-q", "key 1000 shift 8"},
        {"-H 1b d0 b9", "key 1000 shift 8"}, // Alt+Й: Esc, then й in UTF-8
        {"F1", "key 3B00 shift 0"},
        {"Escape", "key 011B shift 0"},
    };
    for (const tCase& c : cases) {
        m_Tmux.SendKeys("-H 1b 5b 32 34 3b 35 7e"); // Ctrl+F12 between cases, so each echo is new
        ASSERT_TRUE(m_Tmux.WaitForText("key 8A00 shift 4")) << "expected the separator key";
        m_Tmux.SendKeys(c.Keys);
        EXPECT_TRUE(m_Tmux.WaitForText(c.Echo))
            << c.Keys << ": expected \"" << c.Echo << "\"; screen:\n"
            << m_Tmux.Capture();
    }
}

struct tEnding {
    const char* Name;
    std::function<void(tTmux&)> End;
    bool Success;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const tEnding& ending, std::ostream* out) {
    *out << ending.Name;
}

class TerminalRestoreTest : public TerminalTmuxTest,
                            public ::testing::WithParamInterface<tEnding> {};

// Catches a terminal left in raw mode, on the alternate screen, with mouse reports or a
// hidden cursor, or held output lost, whichever way the program ends.
TEST_P(TerminalRestoreTest, TerminalIsGivenBack) {
    ASSERT_NO_FATAL_FAILURE(StartChild("TERM=tmux-256color"));
    EXPECT_EQ(m_Tmux.Capture().find(kHeldText), std::string::npos)
        << "expected stdout held while the host runs";
    GetParam().End(m_Tmux);
    ASSERT_TRUE(m_Tmux.WaitForText("EXITED")) << "expected the child to end; screen:\n"
                                              << m_Tmux.Capture();
    std::string screen = m_Tmux.Capture();
    if (GetParam().Success)
        EXPECT_NE(screen.find("EXITED 0"), std::string::npos) << "expected exit code 0; screen:\n"
                                                              << screen;
    else
        EXPECT_EQ(screen.find("EXITED 0"), std::string::npos) << "expected a failing exit code";
    // With the history: a crash report after it may have scrolled it off the screen.
    std::string history = Shell(m_Tmux.Tmux("capture-pane -p -S -"));
    EXPECT_NE(history.find(kHeldText), std::string::npos)
        << "expected the held stdout text after the end";
    EXPECT_EQ(
        m_Tmux.Display("#{alternate_on} #{cursor_flag} #{mouse_any_flag} #{keypad_cursor_flag}"),
        "0 1 0 0\n")
        << "expected the normal screen, a visible cursor, no mouse reports, normal cursor keys";
    ASSERT_TRUE(
        m_Tmux.WaitFor([&](const std::string&) { return !m_Tmux.ReadFile("after").empty(); }));
    EXPECT_EQ(m_Tmux.ReadFile("after"), m_Tmux.ReadFile("before"))
        << "expected the terminal modes as before";
}

INSTANTIATE_TEST_SUITE_P(
    Endings, TerminalRestoreTest,
    ::testing::Values(tEnding{"NormalEnd", [](tTmux& tmux) { tmux.SendKeys("M-x"); }, true},
                      tEnding{"Sigterm", [](tTmux& tmux) { kill(tmux.ChildPid(), SIGTERM); }, true},
                      tEnding{"Abort", [](tTmux& tmux) { tmux.SendKeys("M-a"); }, false},
                      tEnding{"Sigsegv", [](tTmux& tmux) { kill(tmux.ChildPid(), SIGSEGV); },
                              false}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace zarvo
