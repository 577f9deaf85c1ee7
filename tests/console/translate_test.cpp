// TranslateConsoleMsg: every row of the key tables, the dropped records, the mouse with
// double clicks and auto-repeat (on a fake clock), and the other messages.
#include <gtest/gtest.h>

#include <vector>

#include "console/console.h"
#include "console/key_codes.h"
#include "console/keyboard.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

std::uint32_t gFakeNow = 0;
std::uint32_t FakeClock() {
    return gFakeNow;
}

struct tKeyCase {
    std::uint32_t message;
    std::uint32_t key; // virtual key or character
    std::uint8_t scan;
    std::uint32_t mods;
    std::uint16_t expected; // 0 = no event
};

std::string Describe(const tKeyCase& c) {
    char text[96];
    std::snprintf(text, sizeof text, "msg %u key %u scan %02X mods %u -> expected %04X", c.message,
                  c.key, c.scan, c.mods, c.expected);
    return text;
}

TEventRec Translate(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam,
                    std::uint32_t shift = 0) {
    TEventRec event;
    TranslateConsoleMsg({message, wParam, lParam, shift}, event);
    return event;
}

void ExpectKeys(const std::vector<tKeyCase>& cases) {
    for (const tKeyCase& c : cases) {
        TEventRec event = Translate(c.message, c.key, MakeKeyData(c.scan), c.mods);
        if (c.expected == 0) {
            EXPECT_EQ(event.what, evtNothing) << Describe(c);
            continue;
        }
        EXPECT_EQ(event.what, evtKeyDown) << Describe(c);
        EXPECT_EQ(event.key.keyCode, c.expected) << Describe(c);
        EXPECT_EQ(event.key.shiftState, ShiftStateFromModifiers(c.mods)) << Describe(c);
    }
}

constexpr std::uint32_t kCtrlShift = modCtrl | modShift;
// Scan codes of the cursor block, in virtual-key order PgUp..Down.
constexpr std::uint8_t kMoveScans[] = {0x49, 0x51, 0x4F, 0x47, 0x4B, 0x48, 0x4D, 0x50};

// Catches a wrong code in the Ctrl rows of the key-down table.
TEST(TranslateTest, KeyDownWithCtrl) {
    std::vector<tKeyCase> cases = {
        {WM_KEYDOWN, VK_CANCEL, 0x46, modCtrl, 0x3921},
        {WM_KEYDOWN, VK_PRIOR, 0x49, modCtrl, kKeyCtrlPgUp},
        {WM_KEYDOWN, VK_NEXT, 0x51, modCtrl, kKeyCtrlPgDn},
        {WM_KEYDOWN, VK_END, 0x4F, modCtrl, kKeyCtrlEnd},
        {WM_KEYDOWN, VK_HOME, 0x47, modCtrl, kKeyCtrlHome},
        {WM_KEYDOWN, VK_LEFT, 0x4B, modCtrl, kKeyCtrlLeft},
        {WM_KEYDOWN, VK_UP, 0x48, modCtrl, kKeyCtrlUp},
        {WM_KEYDOWN, VK_RIGHT, 0x4D, modCtrl, kKeyCtrlRight},
        {WM_KEYDOWN, VK_DOWN, 0x50, modCtrl, kKeyCtrlDown},
        {WM_KEYDOWN, VK_INSERT, 0x52, modCtrl, kKeyCtrlIns},
        {WM_KEYDOWN, VK_DELETE, 0x53, modCtrl, kKeyCtrlDel},
        {WM_KEYDOWN, '2', 0x03, modCtrl, kKeyCtrl2},
        {WM_KEYDOWN, 'P', 0x19, modCtrl, kKeyCtrlP},
        {WM_KEYDOWN, 'Q', 0x10, modCtrl, kKeyCtrlQ},
        {WM_KEYDOWN, VK_F1, 0x3B, modCtrl, kKeyCtrlF1},
        {WM_KEYDOWN, VK_F10, 0x44, modCtrl, kKeyCtrlF10},
        {WM_KEYDOWN, VK_F11, 0x57, modCtrl, kKeyCtrlF11},
        {WM_KEYDOWN, VK_F12, 0x58, modCtrl, kKeyCtrlF12},
        // Shift does not change the Ctrl rows.
        {WM_KEYDOWN, VK_LEFT, 0x4B, kCtrlShift, kKeyCtrlLeft},
        {WM_KEYDOWN, VK_F1 + 4, 0x3F, kCtrlShift, kKeyCtrlF5},
        // With Ctrl and Shift.
        {WM_KEYDOWN, VK_BACK, 0x0E, kCtrlShift, kKeyCtrlBackspace},
        {WM_KEYDOWN, VK_RETURN, 0x1C, kCtrlShift, kKeyCtrlEnter},
        {WM_KEYDOWN, VK_SPACE, 0x39, kCtrlShift, kKeySpace},
        {WM_KEYDOWN, VK_OEM_4, 0x1A, kCtrlShift, 0x1A1B},
        {WM_KEYDOWN, VK_OEM_5, 0x2B, kCtrlShift, 0x2B1C},
        {WM_KEYDOWN, VK_OEM_6, 0x1B, kCtrlShift, 0x1B1D},
        {WM_KEYDOWN, VK_BACK, 0x0E, modCtrl, 0}, // arrives as character 127
        // With Ctrl and without Shift.
        {WM_KEYDOWN, '6', 0x07, modCtrl, kKeyCtrl6},
        {WM_KEYDOWN, VK_OEM_MINUS, 0x0C, modCtrl, kKeyCtrlMinus},
        {WM_KEYDOWN, '6', 0x07, kCtrlShift, 0},
        {WM_KEYDOWN, VK_ESCAPE, 0x01, modCtrl, 0},
        {WM_KEYDOWN, 'A', 0x1E, modCtrl, 0}, // arrives as character 1
    };
    ExpectKeys(cases);
}

// Catches a wrong code in the Shift rows or the plain rows of the key-down table.
TEST(TranslateTest, KeyDownWithShiftAndPlain) {
    std::vector<tKeyCase> cases = {
        {WM_KEYDOWN, VK_ESCAPE, 0x01, modShift, kKeyEsc},
        {WM_KEYDOWN, VK_INSERT, 0x52, modShift, kKeyShiftIns},
        {WM_KEYDOWN, VK_DELETE, 0x53, modShift, kKeyShiftDel},
        {WM_KEYDOWN, VK_F1, 0x3B, modShift, kKeyShiftF1},
        {WM_KEYDOWN, VK_F10, 0x44, modShift, kKeyShiftF10},
        {WM_KEYDOWN, VK_F11, 0x57, modShift, kKeyShiftF11},
        {WM_KEYDOWN, VK_F12, 0x58, modShift, kKeyShiftF12},
        {WM_KEYDOWN, 'A', 0x1E, modShift, 0},
        {WM_KEYDOWN, VK_ESCAPE, 0x01, 0, kKeyEsc},
        {WM_KEYDOWN, VK_INSERT, 0x52, 0, kKeyIns},
        {WM_KEYDOWN, VK_DELETE, 0x53, 0, kKeyDel},
        {WM_KEYDOWN, VK_F1, 0x3B, 0, kKeyF1},
        {WM_KEYDOWN, VK_F10, 0x44, 0, kKeyF10},
        {WM_KEYDOWN, VK_DECIMAL, 0x53, 0, 0x002E},
        {WM_KEYDOWN, VK_F11, 0x57, 0, kKeyF11},
        {WM_KEYDOWN, VK_F12, 0x58, 0, kKeyF12},
        {WM_KEYDOWN, 'A', 0x1E, 0, 0},
        {WM_KEYDOWN, VK_RETURN, 0x1C, 0, 0},
    };
    constexpr std::uint16_t shifted[] = {kKeyPgUp, kKeyPgDn, kKeyEnd,   kKeyHome,
                                         kKeyLeft, kKeyUp,   kKeyRight, kKeyDown};
    for (int i = 0; i < 8; ++i) {
        cases.push_back(
            {WM_KEYDOWN, VK_PRIOR + std::uint32_t(i), kMoveScans[i], modShift, shifted[i]});
        cases.push_back({WM_KEYDOWN, VK_PRIOR + std::uint32_t(i), kMoveScans[i], 0,
                         std::uint16_t(kMoveScans[i] << 8)});
    }
    ExpectKeys(cases);
}

// Catches a wrong row of the 256-entry Alt table or of the F10 rules.
TEST(TranslateTest, SystemKeys) {
    std::vector<tKeyCase> cases = {
        {WM_SYSKEYDOWN, VK_BACK, 0x0E, modAlt, 0x0800},
        {WM_SYSKEYDOWN, VK_TAB, 0x0F, modAlt, 0xA500},
        {WM_SYSKEYDOWN, VK_RETURN, 0x1C, modAlt, kKeyEnter},
        {WM_SYSKEYDOWN, VK_ESCAPE, 0x01, modAlt, kKeyEsc},
        {WM_SYSKEYDOWN, VK_SPACE, 0x39, modAlt, 0x0200},
        {WM_SYSKEYDOWN, VK_INSERT, 0x52, modAlt, 0xA200},
        {WM_SYSKEYDOWN, VK_DELETE, 0x53, modAlt, 0xA300},
        {WM_SYSKEYDOWN, '0', 0x0B, modAlt, kKeyAlt0},
        {WM_SYSKEYDOWN, VK_MULTIPLY, 0x37, modAlt, 0x372A},
        {WM_SYSKEYDOWN, VK_ADD, 0x4E, modAlt, 0x4E2B},
        {WM_SYSKEYDOWN, VK_SUBTRACT, 0x4A, modAlt, 0x4A2D},
        {WM_SYSKEYDOWN, VK_DIVIDE, 0x35, modAlt, 0x352F},
        {WM_SYSKEYDOWN, VK_F11, 0x57, modAlt, kKeyAltF11},
        {WM_SYSKEYDOWN, VK_F12, 0x58, modAlt, kKeyAltF12},
        {WM_SYSKEYDOWN, VK_OEM_1, 0x27, modAlt, 0x2700},
        {WM_SYSKEYDOWN, VK_OEM_PLUS, 0x0D, modAlt, kKeyAltEqual},
        {WM_SYSKEYDOWN, VK_OEM_COMMA, 0x33, modAlt, 0x3300},
        {WM_SYSKEYDOWN, VK_OEM_MINUS, 0x0C, modAlt, kKeyAltMinus},
        {WM_SYSKEYDOWN, VK_OEM_PERIOD, 0x34, modAlt, 0x3400},
        {WM_SYSKEYDOWN, VK_OEM_2, 0x35, modAlt, 0x3500},
        {WM_SYSKEYDOWN, VK_OEM_3, 0x29, modAlt, 0x2900},
        {WM_SYSKEYDOWN, VK_OEM_4, 0x1A, modAlt, 0x1A00},
        {WM_SYSKEYDOWN, VK_OEM_5, 0x2B, modAlt, 0x2B00},
        {WM_SYSKEYDOWN, VK_OEM_6, 0x1B, modAlt, 0x1B00},
        {WM_SYSKEYDOWN, VK_OEM_7, 0x28, modAlt, 0x2800},
        {WM_SYSKEYDOWN, VK_CAPITAL, 0x3A, modAlt, 0},
        // F10 arrives as a system key with any modifier.
        {WM_SYSKEYDOWN, VK_F10, 0x44, 0, kKeyF10},
        {WM_SYSKEYDOWN, VK_F10, 0x44, modShift, kKeyShiftF10},
        {WM_SYSKEYDOWN, VK_F10, 0x44, modAlt, kKeyAltF10},
        {WM_SYSKEYDOWN, VK_F10, 0x44, modCtrl, kKeyCtrlF10},
        {WM_SYSKEYDOWN, VK_F10, 0x44, modAlt | modShift, kKeyShiftF10},
        // A key-down with Alt held is a system key.
        {WM_KEYDOWN, 'Q', 0x10, modAlt, kKeyAltQ},
        {WM_KEYDOWN, VK_F1, 0x3B, modAlt, kKeyAltF1},
    };
    constexpr std::uint16_t moves[] = {0x9900, 0xA100, 0x9F00, 0x9700,
                                       0x9B00, 0x9800, 0x9D00, 0xA000};
    for (int i = 0; i < 8; ++i)
        cases.push_back(
            {WM_SYSKEYDOWN, VK_PRIOR + std::uint32_t(i), kMoveScans[i], modAlt, moves[i]});
    for (int i = 0; i < 9; ++i)
        cases.push_back({WM_SYSKEYDOWN, '1' + std::uint32_t(i), std::uint8_t(2 + i), modAlt,
                         std::uint16_t((0x78 + i) << 8)});
    for (int i = 0; i < 10; ++i)
        cases.push_back({WM_SYSKEYDOWN, VK_F1 + std::uint32_t(i), std::uint8_t(0x3B + i), modAlt,
                         std::uint16_t((0x68 + i) << 8)});
    ExpectKeys(cases);
}

// Catches Alt hot letters that differ between the Latin and Cyrillic layouts: the host sends
// the physical key, and both letters on it must find that key's Alt code.
TEST(TranslateTest, AltLettersInBothLayouts) {
    constexpr std::uint8_t scans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                        0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    constexpr std::string_view cyrillicLower = "фисвуапршолдьтщзйкыегмцчня"_oem;
    for (int i = 0; i < 26; ++i) {
        char latin = char('A' + i);
        TEventRec event =
            Translate(WM_SYSKEYDOWN, std::uint32_t(latin), MakeKeyData(scans[i]), modAlt);
        ASSERT_EQ(event.what, evtKeyDown) << "Alt+" << latin;
        EXPECT_EQ(event.key.keyCode, scans[i] << 8) << "Alt+" << latin;
        EXPECT_EQ(event.key.shiftState, shiftAlt);
        EXPECT_EQ(CharToAltCode(char(latin + 32)), event.key.keyCode)
            << "Latin hot letter " << latin;
        EXPECT_EQ(CharToAltCode(cyrillicLower[std::size_t(i)]), event.key.keyCode)
            << "Cyrillic hot letter on key " << latin;
        EXPECT_EQ(AltCodeToChar(event.key.keyCode), LatinKeyToCyrillic(latin)) << latin;
    }
}

// Catches wrong character codes, Shift+Tab, and the records that must give no event.
TEST(TranslateTest, CharactersAndDroppedRecords) {
    std::uint8_t yot = std::uint8_t("й"_oem[0]);
    std::vector<tKeyCase> cases = {
        {WM_CHAR, 'a', 0x1E, 0, 0x1E61},
        {WM_CHAR, yot, 0x10, 0, std::uint16_t(0x1000 | yot)},
        {WM_CHAR, 13, 0x1C, 0, kKeyEnter},
        {WM_CHAR, 9, 0x0F, 0, kKeyTab},
        {WM_CHAR, 9, 0x0F, modShift, kKeyShiftTab},
        {WM_CHAR, 8, 0x0E, 0, kKeyBackspace},
        {WM_CHAR, 10, 0x1C, modCtrl, kKeyCtrlEnter},
        {WM_CHAR, 1, 0x1E, modCtrl, kKeyCtrlA},
        {WM_CHAR, 127, 0x0E, modCtrl, kKeyCtrlBackspace},
        {WM_CHAR, '.', 0x34, 0, 0x342E},
        {WM_CHAR, 9, 0x0F, modCtrl, kKeyTab}, // Shift+Tab needs Shift
        // Dropped: Ctrl+P, Ctrl+Q, Esc, Ctrl+C, the keypad decimal's own character.
        {WM_CHAR, 16, 0x19, modCtrl, 0},
        {WM_CHAR, 17, 0x10, modCtrl, 0},
        {WM_CHAR, 27, 0x01, 0, 0},
        {WM_CHAR, 3, 0x2E, modCtrl, 0},
        {WM_CHAR, '.', 0x53, 0, 0},
        {WM_CHAR, ',', 0x53, 0, 0},
        {WM_KEYDOWN, VK_SHIFT, 0x2A, modShift, 0},
        {WM_KEYDOWN, VK_CONTROL, 0x1D, modCtrl, 0},
        {WM_SYSKEYDOWN, VK_MENU, 0x38, modAlt, 0},
        {WM_SYSCHAR, 'q', 0x10, modAlt, 0},
        {WM_KEYUP, 'A', 0x1E, 0, 0},
    };
    ExpectKeys(cases);
}

// Catches Ctrl+Break lost or Ctrl+C giving an event.
TEST(TranslateTest, CtrlBreakAndCtrlC) {
    EXPECT_EQ(Translate(WM_KEYDOWN, VK_CANCEL, MakeKeyData(0x46), modCtrl).key.keyCode, 0x3921);
    EXPECT_EQ(Translate(WM_CHAR, 3, MakeKeyData(0x2E), modCtrl).what, evtNothing);
    EXPECT_EQ(Translate(WM_KEYDOWN, 'C', MakeKeyData(0x2E), modCtrl).what, evtNothing);
}

// Catches a wrong shift-state conversion (button bits leaking in).
TEST(TranslateTest, ShiftStateConversion) {
    EXPECT_EQ(ShiftStateFromModifiers(modShift), shiftLeft | shiftRight);
    EXPECT_EQ(ShiftStateFromModifiers(modAlt), shiftAlt);
    EXPECT_EQ(ShiftStateFromModifiers(modCtrl), shiftCtrl);
    EXPECT_EQ(ShiftStateFromModifiers(modLeft | modRight | modMiddle | modDouble), 0);
}

class MouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConsoleMouseState();
        SetConsoleClock(FakeClock);
        gFakeNow = 1000;
    }
    void TearDown() override {
        SetConsoleClock(nullptr);
        ResetConsoleMouseState();
    }
    TEventRec Tick(std::uint32_t now, std::uint32_t message = WM_TIMER) {
        gFakeNow = now;
        return Translate(message, 0, 0);
    }
};

// Catches lost double-click flags on the press and on the release after it.
TEST_F(MouseTest, DoubleClicks) {
    struct tStep {
        std::uint32_t message, wParam;
        std::uint16_t what;
        std::uint8_t buttons, doubleClick;
    };
    const tStep steps[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, evtMouseDown, mbLeftButton, 0},
        {WM_LBUTTONUP, 0, evtMouseUp, 0, 0},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, evtMouseDown, mbLeftButton, 1},
        {WM_LBUTTONUP, 0, evtMouseUp, 0, 1},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, evtMouseDown, mbRightButton, 0},
        {WM_RBUTTONUP, 0, evtMouseUp, 0, 0},
        {WM_MBUTTONDBLCLK, MK_MBUTTON, evtMouseDown, mbMiddleButton, 1},
        {WM_MBUTTONUP, 0, evtMouseUp, 0, 1},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, evtMouseMove, mbLeftButton | mbRightButton, 0},
    };
    for (const tStep& step : steps) {
        TEventRec event = Translate(step.message, step.wParam, MakeMouseData(-3, 24));
        EXPECT_EQ(event.what, step.what) << "message " << step.message;
        EXPECT_EQ(event.mouse.buttons, step.buttons) << "message " << step.message;
        EXPECT_EQ(event.mouse.doubleClick, step.doubleClick) << "message " << step.message;
        EXPECT_EQ(event.mouse.where, (tPoint{-3, 24})) << "signed cell position";
    }
    EXPECT_EQ(Translate(WM_MOUSEWHEEL, 0, 0).what, evtNothing);
}

// Catches auto-repeat firing early, at the wrong interval, or away from the press position.
TEST_F(MouseTest, AutoRepeatTiming) {
    Translate(WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseData(7, 3));
    EXPECT_EQ(Tick(1439).what, evtIdle) << "no repeat before 440 ms";
    EXPECT_EQ(Tick(1439, WM_NULL).what, evtNothing) << "message 0 without a repeat gives nothing";
    TEventRec first = Tick(1440);
    EXPECT_EQ(first.what, evtMouseRepeat) << "first repeat at 440 ms";
    EXPECT_EQ(first.mouse.where, (tPoint{7, 3}));
    EXPECT_EQ(first.mouse.buttons, mbLeftButton);
    EXPECT_EQ(Tick(1494).what, evtIdle) << "then every 55 ms, not sooner";
    EXPECT_EQ(Tick(1495, WM_NULL).what, evtMouseRepeat);
    EXPECT_EQ(Tick(1600).what, evtMouseRepeat) << "a late tick repeats once";
    EXPECT_EQ(Tick(1601).what, evtIdle);
    Translate(WM_LBUTTONUP, 0, MakeMouseData(7, 3));
    EXPECT_EQ(Tick(5000).what, evtIdle) << "no repeat after the release";
}

// Catches repeats stalling when the millisecond counter wraps, and repeats while moving
// without a button.
TEST_F(MouseTest, AutoRepeatAcrossClockWrapAndMoves) {
    gFakeNow = 0xFFFFFF00u;
    Translate(WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseData(1, 1));
    EXPECT_EQ(Tick(0xFFFFFF00u + 440u).what, evtMouseRepeat) << "440 ms later, past the wrap";
    Translate(WM_MOUSEMOVE, MK_LBUTTON, MakeMouseData(2, 1));
    EXPECT_EQ(Tick(0x00000200u).what, evtMouseRepeat) << "a drag repeats";
    Translate(WM_MOUSEMOVE, 0, MakeMouseData(3, 1));
    EXPECT_EQ(Tick(0x00001000u).what, evtIdle) << "a plain move does not";
}

// Catches close requests or the wake record not becoming their commands.
TEST(TranslateTest, OtherMessages) {
    struct tCase {
        std::uint32_t message;
        std::uint16_t what, command;
    };
    const tCase cases[] = {
        {WM_CLOSE, evtCommand, cmdQuit},        {WM_QUERYENDSESSION, evtCommand, cmdQuit},
        {HM_WAKE, evtCommand, cmdPendingEvent}, {WM_ENDSESSION, evtNothing, 0},
        {WM_CAPTURECHANGED, evtNothing, 0},     {0x1234, evtNothing, 0},
    };
    for (const tCase& c : cases) {
        TEventRec event = Translate(c.message, 0, 0);
        EXPECT_EQ(event.what, c.what) << "message " << c.message;
        if (c.what == evtCommand) {
            EXPECT_EQ(event.message.command, c.command) << "message " << c.message;
            EXPECT_EQ(event.message.info, nullptr);
        }
    }
}

} // namespace
} // namespace zarvo
