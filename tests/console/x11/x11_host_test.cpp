// The window host on a private X server: keys and mouse arrive as the driver layer's
// records, cells show the palette's colours, the window snaps to whole cells, and the close
// button is forwarded to the text UI instead of closing the window.
#include "console/x11/x11_host.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <sstream>

#include "console/cells.h"
#include "console/drivers_console.h"
#include "console/key_codes.h"
#include "console/x11/xvfb_display.h"
#include "support/temp_dir.h"

// Xft keeps the fonts it has opened in a per-connection cache for the rest of the process
// (the host never closes a connection that drew with Xft); the leak checker cannot see that
// cache and would count every cached font as lost.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libXft.so\nleak:libfontconfig.so\n";
}

namespace zarvo {
namespace {

using namespace std::chrono_literals;
using xtest::tRgb;
using xtest::WaitFor;
using xtest::Xdotool;

class tX11HostTest : public xtest::tXvfbSuite {
  protected:
    void SetUp() override {
        if (!gServer->Running())
            GTEST_SKIP() << "Xvfb is not installed";
        m_SettingsPath = (m_Directory.Path() / "Zarvo.ini").string();
    }

    void TearDown() override { StopHost(); }

    // Starts the host with these settings; this thread then plays the run thread.
    void StartHost(const std::string& settings = "") {
        std::ofstream(m_SettingsPath) << settings;
        InputList.Clear();
        m_Host = std::make_unique<tX11Host>("Zarvo test");
        m_HostThread = std::thread([this] {
            RunConsoleHost(
                *m_Host,
                [this] {
                    BindScreenDrawLock();
                    m_Created.set_value();
                },
                m_SettingsPath);
            m_HostEnded = true;
        });
        ASSERT_EQ(m_Created.get_future().wait_for(10s), std::future_status::ready)
            << "expected the window to be created";
        ConsoleClass = MakeDriversConsole;
        StartConsoleDriver();
        CurrentConsole->OnMessage = [this](TConsoleMsg& msg) {
            if (msg.message != WM_TIMER)
                m_OnMessage.push_back(msg.message);
        };
        CurrentConsole->Activate();
        CurrentConsole->SetCursor(0, 0, 0x2000);
        m_Window = m_Host->WindowId();
        ASSERT_NE(m_Window, 0u) << "expected an X window";
        ASSERT_TRUE(WaitFor([&] { return xtest::WindowSize(m_Window).first > 0; }))
            << "expected the window to be mapped";
    }

    void StopHost() {
        if (!m_HostThread.joinable())
            return;
        StopConsoleDriver();
        PostHostQuit();
        EXPECT_TRUE(WaitFor([&] { return m_HostEnded.load(); }, 10s))
            << "expected the host loop to end after the quit message";
        m_HostThread.join();
        ScreenDrawLock = nullptr;
    }

    void Focus() {
        ASSERT_TRUE(Xdotool("windowfocus --sync " + std::to_string(m_Window)))
            << "expected xdotool to focus the window";
    }

    // Reads records until none came for 300 ms (at most `limit`).
    std::vector<TConsoleMsg> ReadRecords(std::chrono::milliseconds limit = 4s) {
        std::vector<TConsoleMsg> records;
        auto deadline = std::chrono::steady_clock::now() + limit;
        auto quietSince = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < deadline) {
            TConsoleMsg msg;
            CurrentConsole->ReadMessage(false, msg);
            if (msg.message != 0) {
                records.push_back(msg);
                quietSince = std::chrono::steady_clock::now();
            } else if (!records.empty() && std::chrono::steady_clock::now() - quietSince > 300ms) {
                break;
            } else {
                std::this_thread::sleep_for(10ms);
            }
        }
        return records;
    }

    void DrawCells(int x, int y, std::vector<tCell> cells) {
        tScreenDrawBracket bracket(this);
        CurrentConsole->WriteCells(x, y, cells.data(), int(cells.size()));
    }

    std::string SavedSettings() { return testing::ReadFileBytes(m_SettingsPath); }

    testing::tTempDir m_Directory;
    std::string m_SettingsPath;
    std::unique_ptr<tX11Host> m_Host;
    std::promise<void> m_Created;
    std::thread m_HostThread;
    std::atomic<bool> m_HostEnded{false};
    unsigned long m_Window = 0;
    std::vector<std::uint32_t> m_OnMessage;
};

struct tKeyCase {
    const char* Keys;                  // xdotool key arguments
    std::vector<TConsoleMsg> Expected; // key-down and character records, in order
};

bool IsModifierRecord(const TConsoleMsg& msg) {
    bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    return keyDown && (msg.wParam == VK_SHIFT || msg.wParam == VK_CONTROL || msg.wParam == VK_MENU);
}

std::string Describe(const std::vector<TConsoleMsg>& records) {
    std::ostringstream text;
    for (const TConsoleMsg& msg : records)
        text << "{" << msg.message << ", " << msg.wParam << ", scan 0x" << std::hex
             << int(ScanCodeOf(msg.lParam)) << std::dec << ", shift " << msg.shift << "} ";
    return text.str();
}

// Catches key codes taken from the layout instead of the physical key, characters not
// converted to CP866, Alt and F10 not sent as system keys, and modifier sets lost.
TEST_F(tX11HostTest, TypedKeysArriveAsKeyAndCharacterRecords) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    if (!xtest::ProgramInstalled("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    ASSERT_NO_FATAL_FAILURE(Focus());
    const std::uint32_t alt = kKeyDataAltBit;
    const tKeyCase cases[] = {
        {"a", {{WM_KEYDOWN, 'A', MakeKeyData(0x1E), 0}, {WM_CHAR, 'a', MakeKeyData(0x1E), 0}}},
        {"shift+Tab",
         {{WM_KEYDOWN, VK_TAB, MakeKeyData(0x0F), modShift},
          {WM_CHAR, 9, MakeKeyData(0x0F), modShift}}},
        {"ctrl+a",
         {{WM_KEYDOWN, 'A', MakeKeyData(0x1E), modCtrl}, {WM_CHAR, 1, MakeKeyData(0x1E), modCtrl}}},
        {"alt+q",
         {{WM_SYSKEYDOWN, 'Q', MakeKeyData(0x10) | alt, modAlt},
          {WM_SYSCHAR, 'q', MakeKeyData(0x10) | alt, modAlt}}},
        {"F10", {{WM_SYSKEYDOWN, VK_F10, MakeKeyData(0x44), 0}}},
        {"Home", {{WM_KEYDOWN, VK_HOME, MakeKeyData(0x47) | (1u << 24), 0}}},
        {"Return",
         {{WM_KEYDOWN, VK_RETURN, MakeKeyData(0x1C), 0}, {WM_CHAR, 13, MakeKeyData(0x1C), 0}}},
        // The layout's character, as CP866 ("ж" is 0xA6).
        {"Cyrillic_zhe", {{WM_CHAR, 0xA6, 0, 0}}},
        // A character CP866 lacks is dropped; the key after it still arrives.
        {"EuroSign a",
         {{WM_KEYDOWN, 'A', MakeKeyData(0x1E), 0}, {WM_CHAR, 'a', MakeKeyData(0x1E), 0}}},
    };
    for (const tKeyCase& testCase : cases) {
        SCOPED_TRACE(testCase.Keys);
        ASSERT_TRUE(Xdotool(std::string("key --delay 40 ") + testCase.Keys))
            << "expected xdotool to type";
        std::vector<TConsoleMsg> records;
        for (const TConsoleMsg& msg : ReadRecords()) {
            bool wanted = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN ||
                          msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
            if (wanted && !IsModifierRecord(msg))
                records.push_back(msg);
        }
        ASSERT_EQ(records.size(), testCase.Expected.size())
            << "expected these records, got " << Describe(records);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const TConsoleMsg& want = testCase.Expected[i];
            EXPECT_EQ(records[i].message, want.message) << "record " << i;
            EXPECT_EQ(records[i].wParam, want.wParam) << "record " << i;
            if (want.lParam != 0) {
                EXPECT_EQ(records[i].lParam & 0x21FFFFFFu, want.lParam)
                    << "record " << i << ": expected repeat 1, scan code, extended and Alt bits";
            }
            EXPECT_EQ(records[i].shift, want.shift) << "record " << i << ": modifier set";
        }
    }
}

// Catches one press giving two events (a typed control character beside the Ctrl+Shift
// key-down row) or none, for every Ctrl+Shift row of the key tables and their Ctrl-only
// neighbours.
TEST_F(tX11HostTest, CtrlShiftKeysGiveExactlyOneEvent) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    if (!xtest::ProgramInstalled("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    ASSERT_NO_FATAL_FAILURE(Focus());
    struct tCase {
        const char* Keys;
        std::uint16_t KeyCode;
    };
    const tCase cases[] = {
        {"ctrl+shift+BackSpace", kKeyCtrlBackspace},
        {"ctrl+shift+Return", kKeyCtrlEnter},
        {"ctrl+shift+space", kKeySpace},
        {"ctrl+shift+bracketleft", 0x1A1B},
        {"ctrl+shift+backslash", 0x2B1C},
        {"ctrl+shift+bracketright", 0x1B1D},
        {"ctrl+shift+6", kKeyCtrl6},
        {"ctrl+shift+minus", kKeyCtrlMinus},
        {"ctrl+BackSpace", kKeyCtrlBackspace},
        {"ctrl+Return", kKeyCtrlEnter},
        {"ctrl+6", kKeyCtrl6},
        {"ctrl+minus", kKeyCtrlMinus},
        {"ctrl+bracketright", 0x1B1D},
    };
    for (const tCase& c : cases) {
        ASSERT_TRUE(Xdotool(std::string("key --delay 40 ") + c.Keys)) << "expected xdotool to type";
        std::vector<TConsoleMsg> records = ReadRecords();
        std::vector<std::uint16_t> codes;
        for (const TConsoleMsg& msg : records) {
            TEventRec event;
            TranslateConsoleMsg(msg, event);
            if (event.what == evtKeyDown)
                codes.push_back(event.key.keyCode);
        }
        ASSERT_EQ(codes.size(), 1u)
            << c.Keys << ": expected exactly one key event; records " << Describe(records);
        EXPECT_EQ(codes[0], c.KeyCode) << c.Keys << ": expected key code 0x" << std::hex
                                       << c.KeyCode << ", got 0x" << codes[0];
    }
}

// Catches pixel positions passed on instead of cells, and double clicks not recognised.
TEST_F(tX11HostTest, MouseArrivesInCellsWithDoubleClicks) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    if (!xtest::ProgramInstalled("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    std::string window = std::to_string(m_Window);
    // Cells are 10 x 18 pixels: (105, 40) lies in column 10, row 2.
    ASSERT_TRUE(Xdotool("mousemove --window " + window + " 105 40 click --repeat 2 --delay 80 1"))
        << "expected xdotool to click";
    std::vector<TConsoleMsg> records = ReadRecords();
    std::vector<TConsoleMsg> expected = {
        {WM_MOUSEMOVE, 0, MakeMouseData(10, 2), 0},
        {WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseData(10, 2), modLeft},
        {WM_LBUTTONUP, 0, MakeMouseData(10, 2), 0},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, MakeMouseData(10, 2), modLeft},
        {WM_LBUTTONUP, 0, MakeMouseData(10, 2), 0},
    };
    ASSERT_EQ(records.size(), expected.size()) << "got " << Describe(records);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].message, expected[i].message) << "record " << i;
        EXPECT_EQ(records[i].wParam, expected[i].wParam) << "record " << i << ": button flags";
        EXPECT_EQ(records[i].lParam, expected[i].lParam) << "record " << i << ": cell 10,2";
        EXPECT_EQ(records[i].shift, expected[i].shift) << "record " << i << ": modifier set";
    }
}

// Makes xclip hold TEXT (UTF-8) as the SELECTION ("clipboard" or "primary") until it has
// answered one request.
void OwnSelection(const char* selection, const char* text) {
    const std::string own = std::string("printf '%s' '") + text +
                            "' | timeout 20 xclip -loops 1 -selection " + selection +
                            " -t UTF8_STRING >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(own.c_str()), 0);
    std::this_thread::sleep_for(300ms);
}

// Catches a paste key or the middle button that does not type the selection (Ctrl+V
// arriving as its control character instead), the wrong selection taken, text left in UTF-8,
// or a line break pasted along (it would press the default button).
TEST_F(tX11HostTest, PasteTypesTheSelection) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    if (!xtest::ProgramInstalled("xdotool") || !xtest::ProgramInstalled("xclip"))
        GTEST_SKIP() << "needs xdotool and xclip";
    struct tCase {
        const char* Name;
        const char* Selection; // as xclip names it
        const char* Text;      // UTF-8
        std::string Action;    // xdotool arguments
        std::string Typed;     // CP866
    };
    const std::string window = std::to_string(m_Window);
    const tCase cases[] = {
        {"Shift+Insert takes the clipboard", "clipboard", "/mnt/сеть\n", "key shift+Insert",
         "/mnt/\xE1\xA5\xE2\xEC"},
        {"Ctrl+V takes the clipboard", "clipboard", "share 2", "key ctrl+v", "share 2"},
        {"the middle button takes the primary selection", "primary", "первая\nвторая",
         "mousemove --window " + window + " 105 40 click 2", "\xAF\xA5\xE0\xA2\xA0\xEF"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_NO_FATAL_FAILURE(OwnSelection(c.Selection, c.Text));
        Focus();
        ASSERT_TRUE(Xdotool(c.Action)) << "expected xdotool to act";
        std::string typed;
        for (const TConsoleMsg& msg : ReadRecords())
            if (msg.message == WM_CHAR)
                typed += char(msg.wParam);
        EXPECT_EQ(typed, c.Typed);
    }
}

// Catches a character CP866 lacks, typed or pasted, dropped without a word or typed as
// something else: the host says which, and types none of that text.
TEST_F(tX11HostTest, CharactersCp866LacksAreRefused) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    if (!xtest::ProgramInstalled("xdotool") || !xtest::ProgramInstalled("xclip"))
        GTEST_SKIP() << "needs xdotool and xclip";
    struct tCase {
        const char* Name;
        const char* Clipboard; // UTF-8; null: typed
        std::string Action;    // xdotool arguments
        std::uint32_t Pasted;
    };
    const tCase cases[] = {
        {"typed", nullptr, "type --delay 50 ü", 0},
        {"pasted", "/mnt/Zürich", "key ctrl+v", 1},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Clipboard != nullptr) {
            ASSERT_NO_FATAL_FAILURE(OwnSelection("clipboard", c.Clipboard));
        }
        Focus();
        ASSERT_TRUE(Xdotool(c.Action)) << "expected xdotool to act";
        std::vector<TConsoleMsg> refused;
        for (const TConsoleMsg& msg : ReadRecords()) {
            EXPECT_NE(msg.message, WM_CHAR) << "expected nothing typed";
            if (msg.message == HM_UNTYPABLE)
                refused.push_back(msg);
        }
        ASSERT_EQ(refused.size(), 1u) << "expected one refusal";
        EXPECT_EQ(refused[0].wParam, 0xFCu) << "expected ü named";
        EXPECT_EQ(refused[0].lParam, c.Pasted);
    }
}

// Catches a window without the icon, the input hint or the class task bars and window
// managers go by.
TEST_F(tX11HostTest, WindowCarriesIconHintsAndClass) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    EXPECT_EQ(xtest::WindowClass(m_Window), "zarvo.Zarvo");
    std::vector<unsigned long> icon = xtest::PropertyLongs(m_Window, "_NET_WM_ICON");
    ASSERT_GE(icon.size(), 2u) << "expected an icon";
    // Each image: width, height, then as many pixels; opaque ones.
    for (std::size_t at = 0; at < icon.size();) {
        ASSERT_LE(at + 2, icon.size());
        const std::size_t pixels = icon[at] * icon[at + 1];
        ASSERT_GT(pixels, 0u);
        ASSERT_LE(at + 2 + pixels, icon.size()) << "expected whole images";
        // Xlib hands 32-bit items over in longs, sign-extended.
        EXPECT_EQ((icon[at + 2] >> 24) & 0xFF, 0xFFu) << "expected an opaque corner";
        at += 2 + pixels;
    }
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XWMHints* hints = XGetWMHints(display, m_Window);
    ASSERT_NE(hints, nullptr) << "expected WM_HINTS";
    EXPECT_TRUE(hints->flags & InputHint);
    EXPECT_TRUE(hints->input) << "expected the window to take the keyboard";
    XFree(hints);
    XCloseDisplay(display);
}

// Catches swapped foreground and background, a palette read in the wrong byte order, and
// Color settings ignored.
TEST_F(tX11HostTest, CellsShowThePaletteColours) {
    // 0x00BBGGRR: red 0x33, green 0x22, blue 0x11.
    ASSERT_NO_FATAL_FAILURE(StartHost("[System]\nColor2=00112233\n"));
    const std::uint8_t fullBlock = 0xDB;
    DrawCells(0, 0, {MakeCell(' ', 0x1E), MakeCell(fullBlock, 0x1E), MakeCell(' ', 0x20)});
    struct {
        int X, Y;
        tRgb Expected;
        const char* What;
    } const probes[] = {
        {5, 9, {0x30, 0x30, 0xB0}, "blue background of attribute 0x1E"},
        {15, 9, {0xFF, 0xFF, 0x30}, "yellow foreground of attribute 0x1E"},
        {25, 9, {0x33, 0x22, 0x11}, "Color2 from the settings"},
    };
    for (const auto& probe : probes) {
        tRgb seen;
        bool shown = WaitFor([&] {
            seen = xtest::PixelOf(m_Window, probe.X, probe.Y);
            return seen == probe.Expected;
        });
        EXPECT_TRUE(shown) << "expected the " << probe.What << ", got " << seen.R << "," << seen.G
                           << "," << seen.B;
    }
}

// Catches a window left at an odd size (cells cut off or gaps) after the border is dragged,
// sizes outside 3 to 36 pixels per cell, and a size not saved at exit.
TEST_F(tX11HostTest, WindowSnapsToWholeCellsAndSavesTheSize) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    EXPECT_EQ(xtest::WindowSize(m_Window), std::make_pair(800, 450))
        << "expected 80 x 25 cells of 10 x 18 pixels with default settings";
    if (!xtest::ProgramInstalled("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    struct {
        int Width, Height;
        std::pair<int, int> Expected;
    } const cases[] = {
        {1000, 500, {960, 500}},   // 12.5 x 20 pixels per cell round down to 12 x 20
        {10, 10, {240, 75}},       // the smallest cell, 3 x 3
        {5000, 2000, {2880, 900}}, // the largest cell, 36 x 36
        {1000, 500, {960, 500}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(xtest::WindowSize(m_Window).first);
        ASSERT_TRUE(Xdotool("windowsize " + std::to_string(m_Window) + " " +
                            std::to_string(testCase.Width) + " " + std::to_string(testCase.Height)))
            << "expected xdotool to resize";
        std::pair<int, int> size;
        bool snapped = WaitFor([&] {
            size = xtest::WindowSize(m_Window);
            return size == testCase.Expected;
        });
        EXPECT_TRUE(snapped) << "asked " << testCase.Width << "x" << testCase.Height
                             << ", expected " << testCase.Expected.first << "x"
                             << testCase.Expected.second << ", got " << size.first << "x"
                             << size.second;
    }
    StopHost();
    std::string saved = SavedSettings();
    EXPECT_NE(saved.find("FontWidth=12"), std::string::npos)
        << "expected the last cell width saved:\n"
        << saved;
    EXPECT_NE(saved.find("FontHeight=20"), std::string::npos)
        << "expected the last cell height saved:\n"
        << saved;
}

// Catches a saved position that is lost, and one out of reach of the screen (1280 x 1024
// here) that is kept; a window anywhere on the screen stays where it was left.
TEST_F(tX11HostTest, SavedPositionIsKeptWhileTheWindowIsReachable) {
    struct {
        int Left, Top;
        std::pair<int, int> Expected;
    } const cases[] = {
        {1000, 600, {1000, 600}}, // right of the window's own width: still on the screen
        {-40, -40, {-40, -40}},
        {1250, 100, {20, 20}}, // less than 50 pixels left on the screen
        {100, -60, {20, 20}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.Left);
        ASSERT_NO_FATAL_FAILURE(StartHost("[System]\nScreenLeft=" + std::to_string(testCase.Left) +
                                          "\nScreenTop=" + std::to_string(testCase.Top) + "\n"));
        EXPECT_EQ(xtest::WindowPosition(m_Window), testCase.Expected)
            << "expected the window at " << testCase.Expected.first << ","
            << testCase.Expected.second;
        StopHost();
        m_HostEnded = false;
        m_Created = std::promise<void>();
    }
}

// Catches the close button closing the window (or ending the program) instead of asking the
// text UI, and a second close request forwarded while the first waits for its answer.
TEST_F(tX11HostTest, CloseButtonIsForwardedAndTheWindowStays) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    xtest::SendDeleteWindow(m_Window);
    xtest::SendDeleteWindow(m_Window);
    // Both requests are handled by the host before the run side answers the first.
    ASSERT_TRUE(WaitFor([&] { return InputList.Count() >= 1; })) << "expected a close record";
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(ReadRecords(1s).empty()) << "expected the close request to go to OnMessage";
    EXPECT_EQ(m_OnMessage, std::vector<std::uint32_t>{WM_CLOSE})
        << "expected exactly one WM_CLOSE while the first was unanswered";
    EXPECT_GT(xtest::WindowSize(m_Window).first, 0) << "expected the window to stay open";

    // Answered: the next press of the close button is forwarded again.
    std::this_thread::sleep_for(200ms);
    xtest::SendDeleteWindow(m_Window);
    ASSERT_TRUE(WaitFor([&] {
        TConsoleMsg msg;
        CurrentConsole->ReadMessage(false, msg);
        return m_OnMessage.size() == 2;
    })) << "expected the close request after the answer to be forwarded";
    EXPECT_EQ(m_OnMessage.back(), WM_CLOSE);
}

} // namespace
} // namespace zarvo
