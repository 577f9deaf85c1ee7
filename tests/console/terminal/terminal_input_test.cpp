// The terminal's bytes as the events the text UI sees: every case goes through the decoder
// and the driver layer's own translation, so a wrong virtual key, scan code or modifier
// shows up as the wrong key code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console/key_codes.h"
#include "console/terminal/terminal_input.h"

namespace zarvo {
namespace {

class TerminalInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_Caps.Load("xterm-256color", ""))
            << "expected the xterm-256color terminfo entry";
        ResetConsoleMouseState();
    }

    // The events the records of `bytes` translate to (records without an event are skipped).
    std::vector<TEventRec> Events(const std::vector<std::string>& reads, bool flush = false) {
        tTerminalInput input(m_Caps);
        std::vector<TConsoleMsg> records;
        for (const std::string& bytes : reads)
            input.Decode(bytes, 1000, records);
        if (flush)
            input.Flush(1000, records);
        std::vector<TEventRec> events;
        for (const TConsoleMsg& record : records) {
            TEventRec event;
            TranslateConsoleMsg(record, event);
            if (event.what != evtNothing)
                events.push_back(event);
        }
        return events;
    }

    tTerminalCaps m_Caps;
};

struct tKeyCase {
    const char* Name;
    std::string Bytes;
    std::uint16_t KeyCode;
    std::uint16_t ShiftState;
};

// Catches keys that reach the text UI as the wrong key code or with the wrong modifiers.
TEST_F(TerminalInputTest, KeysArriveAsTheKeyCodesOfTheTables) {
    const tKeyCase cases[] = {
        {"Ctrl+Left", "\x1b[1;5D", kKeyCtrlLeft, shiftCtrl},
        {"Shift+F5", "\x1b[15;2~", kKeyShiftF5, shiftLeft | shiftRight},
        {"Alt+Q", "\x1bq", kKeyAltQ, shiftAlt},
        {"Alt+Й", "\x1b\xd0\xb9", kKeyAltQ, shiftAlt},
        {"Alt+Shift+Й", "\x1b\xd0\x99", kKeyAltQ, shiftAlt | shiftLeft | shiftRight},
        {"Alt+Ф is Alt+A", "\x1b\xd1\x84", kKeyAltA, shiftAlt},
        {"Alt+Ж is the ; key", "\x1b\xd0\xb6", 0x2700, shiftAlt},
        {"Alt+X", "\x1bx", kKeyAltX, shiftAlt},
        {"Alt+1",
         "\x1b"
         "1",
         kKeyAlt1, shiftAlt},
        {"Alt+Left", "\x1b[1;3D", 0x9B00, shiftAlt},
        {"Esc before a sequence is Alt", "\x1b\x1b[D", 0x9B00, shiftAlt},
        {"Ctrl+Up", "\x1b[1;5A", kKeyCtrlUp, shiftCtrl},
        {"Shift+Home", "\x1b[1;2H", kKeyHome, shiftLeft | shiftRight},
        {"Up (application mode)", "\x1bOA", kKeyUp, 0},
        {"Up (normal mode)", "\x1b[A", kKeyUp, 0},
        {"F1", "\x1bOP", kKeyF1, 0},
        {"Ctrl+F1", "\x1b[1;5P", kKeyCtrlF1, shiftCtrl},
        {"F10", "\x1b[21~", kKeyF10, 0},
        {"F12", "\x1b[24~", kKeyF12, 0},
        {"Delete", "\x1b[3~", kKeyDel, 0},
        {"Ctrl+PgDn", "\x1b[6;5~", kKeyCtrlPgDn, shiftCtrl},
        {"letter", "a", 0x1E61, 0},
        {"capital", "A", 0x1E41, shiftLeft | shiftRight},
        {"Cyrillic letter", "\xd0\xb9", 0x10A9, 0},
        {"Enter", "\r", kKeyEnter, 0},
        {"Tab", "\t", kKeyTab, 0},
        {"Shift+Tab", "\x1b[Z", kKeyShiftTab, shiftLeft | shiftRight},
        {"Backspace", "\x7f", kKeyBackspace, 0},
        {"Ctrl+A", "\x01", kKeyCtrlA, shiftCtrl},
        {"Ctrl+P from the key itself", "\x10", kKeyCtrlP, shiftCtrl},
        {"keypad 5 in application mode", "\x1bOu", 0x4C35, 0},
        {"CSI u: Alt+a", "\x1b[97;3u", kKeyAltA, shiftAlt},
        // A terminal sending 8-bit meta that is not UTF-8: the key with the high bit set.
        {"meta x as a raw byte", "\xf8", kKeyAltX, shiftAlt},
    };
    for (const tKeyCase& c : cases) {
        std::vector<TEventRec> events = Events({c.Bytes});
        ASSERT_EQ(events.size(), 1u) << c.Name << ": expected exactly one event";
        EXPECT_EQ(events[0].what, evtKeyDown) << c.Name;
        EXPECT_EQ(events[0].key.keyCode, c.KeyCode)
            << c.Name << ": expected key code 0x" << std::hex << c.KeyCode;
        EXPECT_EQ(events[0].key.shiftState, c.ShiftState)
            << c.Name << ": expected this shift state";
    }
}

// Catches one press giving two events (a typed control character beside the Ctrl+Shift
// key-down row) or none, for every Ctrl+Shift row of the key tables and their Ctrl-only
// neighbours, as raw bytes and as extended (CSI u) reports.
TEST_F(TerminalInputTest, CtrlShiftKeysGiveExactlyOneEvent) {
    const tKeyCase cases[] = {
        {"Ctrl+Shift+Backspace", "\x1b[127;6u", kKeyCtrlBackspace,
         shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+Enter", "\x1b[13;6u", kKeyCtrlEnter, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+Space", "\x1b[32;6u", kKeySpace, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+[", "\x1b[91;6u", 0x1A1B, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+\\", "\x1b[92;6u", 0x2B1C, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+]", "\x1b[93;6u", 0x1B1D, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+6", "\x1b[54;6u", kKeyCtrl6, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Shift+minus", "\x1b[45;6u", kKeyCtrlMinus, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+^ as a byte", "\x1e", kKeyCtrl6, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+_ as a byte", "\x1f", kKeyCtrlMinus, shiftCtrl | shiftLeft | shiftRight},
        {"Ctrl+Backspace", "\x1b[127;5u", kKeyCtrlBackspace, shiftCtrl},
        {"Ctrl+Enter", "\x1b[13;5u", kKeyCtrlEnter, shiftCtrl},
        {"Ctrl+6", "\x1b[54;5u", kKeyCtrl6, shiftCtrl},
        {"Ctrl+minus", "\x1b[45;5u", kKeyCtrlMinus, shiftCtrl},
        {"Ctrl+] as a byte", "\x1d", 0x1B1D, shiftCtrl},
    };
    for (const tKeyCase& c : cases) {
        std::vector<TEventRec> events = Events({c.Bytes});
        ASSERT_EQ(events.size(), 1u) << c.Name << ": expected exactly one event";
        EXPECT_EQ(events[0].key.keyCode, c.KeyCode)
            << c.Name << ": expected key code 0x" << std::hex << c.KeyCode;
        EXPECT_EQ(events[0].key.shiftState, c.ShiftState)
            << c.Name << ": expected this shift state";
    }
}

// Catches a raw meta byte that looks like the start of a UTF-8 character being lost once no
// more bytes follow.
TEST_F(TerminalInputTest, RawMetaByteIsAltWhenNothingFollows) {
    std::vector<TEventRec> events = Events({"\xe1"}, true); // 'a' with the high bit
    ASSERT_EQ(events.size(), 1u) << "expected one Alt+A event";
    EXPECT_EQ(events[0].key.keyCode, kKeyAltA) << "expected Alt+A";
    EXPECT_EQ(events[0].key.shiftState, shiftAlt) << "expected Alt held";
}

// Catches a lone Esc being lost, or being taken as the start of Alt+key before its pause.
TEST_F(TerminalInputTest, LoneEscapeWaitsForItsPauseThenIsTheEscKey) {
    tTerminalInput input(m_Caps);
    std::vector<TConsoleMsg> records;
    input.Decode("\x1b", 0, records);
    EXPECT_TRUE(records.empty()) << "expected Esc to wait for what may follow";
    EXPECT_TRUE(input.HasPartial());
    std::vector<TEventRec> events = Events({"\x1b"}, true);
    ASSERT_EQ(events.size(), 1u) << "expected the Esc key after the pause";
    EXPECT_EQ(events[0].key.keyCode, kKeyEsc);
}

// Catches a sequence split between two reads turning into stray characters.
TEST_F(TerminalInputTest, SequenceSplitAcrossReadsIsOneKey) {
    std::vector<TEventRec> events = Events({"\x1b[1;", "5D", "\xd0", "\xb9"});
    ASSERT_EQ(events.size(), 2u) << "expected Ctrl+Left and й";
    EXPECT_EQ(events[0].key.keyCode, kKeyCtrlLeft);
    EXPECT_EQ(events[1].key.keyCode, 0x10A9);
}

// Catches characters CP866 lacks dropped without a word (a typed or pasted name would then
// be another name), reaching the program as something else, or a Latin-1 letter taken as an
// Alt key; a paste holding one types none of its text.
TEST_F(TerminalInputTest, CharactersOutsideCp866AreRefusedNotDropped) {
    struct tCase {
        const char* Name;
        std::vector<std::string> Reads;
        char32_t Refused;  // 0: typed
        bool Pasted;       // when refused
        std::uint8_t Char; // CP866, when typed
    };
    const tCase cases[] = {
        {"ü", {"\xc3\xbc"}, U'\u00FC', false, 0},
        {"ø, the byte of meta x", {"\xc3\xb8"}, U'\u00F8', false, 0},
        {"€", {"\xe2\x82\xac"}, U'\u20AC', false, 0},
        {"an emoji split over reads", {"\xf0\x9f", "\x98\x80"}, U'\U0001F600', false, 0},
        {"° is in CP866", {"\xc2\xb0"}, 0, false, 0xF8},
        {"═ is in CP866", {"\xe2\x95\x90"}, 0, false, 0xCD},
        {"a paste with ü", {"\x1b[200~/mnt/Zürich\x1b[201~"}, U'\u00FC', true, 0},
    };
    for (const tCase& c : cases) {
        std::vector<TEventRec> events = Events(c.Reads);
        ASSERT_EQ(events.size(), 1u) << c.Name << ": expected exactly one event";
        if (c.Refused == 0) {
            EXPECT_EQ(events[0].what, evtKeyDown) << c.Name;
            EXPECT_EQ(events[0].key.keyCode & 0xFF, c.Char) << c.Name;
            continue;
        }
        ASSERT_EQ(events[0].what, evtCommand) << c.Name;
        EXPECT_EQ(events[0].message.command, cmdUntypable) << c.Name;
        tUntypable refused = UntypableOf(events[0].message.info);
        EXPECT_EQ(refused.Code, c.Refused) << c.Name;
        EXPECT_EQ(refused.Pasted, c.Pasted) << c.Name;
    }
    EXPECT_TRUE(Events({"\x1b\xc3\xbc"}).empty()) << "expected Alt+ü to be no key and no text";
}

// Catches a bracketed paste whose line break presses Enter, whose markers arrive as keys, or
// which is lost or doubled when its bytes come in several reads; what follows it is a key
// again.
TEST_F(TerminalInputTest, BracketedPasteTypesItsFirstLine) {
    struct tCase {
        const char* Name;
        std::vector<std::string> Reads;
        std::string Typed; // CP866 characters, then a Tab key when the case ends with one
    };
    const tCase cases[] = {
        {"one read", {"\x1b[200~/mnt/сеть\x1b[201~"}, "/mnt/\xE1\xA5\xE2\xEC"},
        {"a line break and what follows it dropped", {"\x1b[200~ab\ncd\r\n\x1b[201~"}, "ab"},
        {"markers and text split over reads", {"\x1b[20", "0~a", "b\x1b[2", "01~", "\t"}, "ab\t"},
        {"a tab inside is a space", {"\x1b[200~a\tb\x1b[201~"}, "a b"},
    };
    for (const tCase& c : cases) {
        std::string typed;
        for (const TEventRec& event : Events(c.Reads)) {
            ASSERT_EQ(event.what, evtKeyDown) << c.Name;
            typed += char(event.key.keyCode & 0xFF);
        }
        EXPECT_EQ(typed, c.Typed) << c.Name;
    }
}

struct tMouseStep {
    std::string Bytes;
    std::uint32_t Time;
    std::uint32_t Message;
    std::uint32_t Flags;
    std::uint32_t Column; // counted from 0; the row is always 2
};

// Catches wrong buttons, positions off by one, and double clicks the window system would
// not have reported (too late, elsewhere, or a third press).
TEST_F(TerminalInputTest, SgrMouseBecomesButtonMessagesWithDoubleClicks) {
    const tMouseStep steps[] = {
        {"\x1b[<0;5;3M", 1000, WM_LBUTTONDOWN, MK_LBUTTON, 4},
        {"\x1b[<0;5;3m", 1050, WM_LBUTTONUP, 0, 4},
        {"\x1b[<0;5;3M", 1200, WM_LBUTTONDBLCLK, MK_LBUTTON, 4},
        {"\x1b[<0;5;3m", 1250, WM_LBUTTONUP, 0, 4},
        {"\x1b[<0;5;3M", 1300, WM_LBUTTONDOWN, MK_LBUTTON, 4}, // a third press starts again
        {"\x1b[<0;5;3m", 1310, WM_LBUTTONUP, 0, 4},
        {"\x1b[<0;5;3M", 1900, WM_LBUTTONDOWN, MK_LBUTTON, 4}, // too late for a double click
        {"\x1b[<32;6;3M", 1910, WM_MOUSEMOVE, MK_LBUTTON, 5},
        {"\x1b[<0;6;3m", 1920, WM_LBUTTONUP, 0, 5},
        {"\x1b[<0;7;3M", 1930, WM_LBUTTONDOWN, MK_LBUTTON, 6}, // elsewhere: no double click
        {"\x1b[<0;7;3m", 1940, WM_LBUTTONUP, 0, 6},
        {"\x1b[<18;7;3M", 2020, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 6},
        {"\x1b[<2;7;3m", 2030, WM_RBUTTONUP, 0, 6},
        {"\x1b[<65;7;3M", 2040, WM_MOUSEWHEEL, 0xFF880000u, 6},
    };
    tTerminalInput input(m_Caps);
    for (const tMouseStep& step : steps) {
        std::vector<TConsoleMsg> records;
        input.Decode(step.Bytes, step.Time, records);
        std::string name = step.Bytes.substr(1) + " at " + std::to_string(step.Time);
        ASSERT_EQ(records.size(), 1u) << "expected one record for " << name;
        EXPECT_EQ(records[0].message, step.Message) << "for " << name;
        EXPECT_EQ(records[0].wParam, step.Flags) << "for " << name;
        EXPECT_EQ(records[0].lParam & 0xFFFF, step.Column) << "expected the column counted from 0";
        EXPECT_EQ(records[0].lParam >> 16, 2u) << "expected the row counted from 0";
    }
}

} // namespace
} // namespace zarvo
