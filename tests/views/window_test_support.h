// What the window-family tests share: a root on the headless console that hands out a
// script of events and keeps what views post, and the events the tests feed.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/headless/headless_host.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "tests/views/support/screen_root.h"
#include "views/command_set.h"

namespace zarvo::testing_windows {

// Hands out Script first to last. With the script used up it answers cmdAbort, which ends
// every mouse track and keyboard drag, so a short script cannot hang a test. Posted events
// are kept in Posted, not fed back.
class tScriptedRoot : public tScreenRoot {
  public:
    explicit tScriptedRoot(const tRect& bounds) : tScreenRoot(bounds) {}

    void FetchEvent(TEventRec& event, bool /*wait*/) override {
        if (!Script.empty()) {
            event = Script.front();
            Script.pop_front();
            return;
        }
        event.Clear();
        event.what = evtCommand;
        event.message.command = cmdAbort;
    }
    void PostEvent(const TEventRec& event) override { Posted.push_back(event); }

    std::deque<TEventRec> Script;
    std::vector<TEventRec> Posted;
};

inline TEventRec Mouse(std::uint16_t what, int x, int y, bool doubleClick = false) {
    TEventRec event;
    event.what = what;
    event.mouse.buttons = mbLeftButton;
    event.mouse.doubleClick = doubleClick ? 1 : 0;
    event.mouse.where = tPoint{std::int16_t(x), std::int16_t(y)};
    return event;
}

inline TEventRec Key(std::uint16_t keyCode, std::uint16_t shiftState = 0) {
    TEventRec event;
    event.what = evtKeyDown;
    event.key.keyCode = keyCode;
    event.key.shiftState = shiftState;
    return event;
}

inline TEventRec Message(std::uint16_t what, std::uint16_t command, void* info = nullptr) {
    TEventRec event;
    event.what = what;
    event.message.command = command;
    event.message.info = info;
    return event;
}

// Key codes the tests press.
inline constexpr std::uint16_t kLeft = 0x4B00, kRight = 0x4D00, kUp = 0x4800, kDown = 0x5000;
inline constexpr std::uint16_t kHome = 0x4700, kEnd = 0x4F00, kPgUp = 0x4900, kPgDn = 0x5100;
inline constexpr std::uint16_t kCtrlLeft = 0x7300, kCtrlRight = 0x7400;
inline constexpr std::uint16_t kCtrlPgUp = 0x8400, kCtrlPgDn = 0x7600;
inline constexpr std::uint16_t kEnter = 0x1C0D, kEsc = 0x011B, kTab = 0x0F09, kShiftTab = 0x0F00;

// An 80 x 25 headless screen with a scripted root over it; commands and errors are put back
// between tests.
class tWindowScreen : public ::testing::Test {
  protected:
    static constexpr int kCols = 80;
    static constexpr int kRows = 25;

    void SetUp() override {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = new tScriptedRoot(MakeRect(0, 0, kCols, kRows));
        // The root's first paint gives it the cache its lines reach the console through.
        Root->Repaint();
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
    }
    void TearDown() override {
        FreeObject(Root);
        Root = nullptr;
        StopConsoleDriver();
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
        ClearError();
    }

  public:
    // The screen as UTF-8 rows.
    std::vector<std::string> Lines() { return Console.Lines(); }
    std::string Row(int y) { return Lines().at(std::size_t(y)); }
    // Columns FROM..FROM+COUNT-1 of row Y, as UTF-8 glyphs.
    std::string Cells(int y, int from, int count) {
        Console.Pump();
        std::string text;
        for (int x = from; x < from + count; ++x)
            AppendUtf8(text, Cp866ToGlyph(CellChar(Console.Host().CellAt(x, y))));
        return text;
    }
    std::uint8_t AttrAt(int x, int y) {
        Console.Pump();
        return CellAttr(Console.Host().CellAt(x, y));
    }
    void Script(std::initializer_list<TEventRec> events) {
        Root->Script.insert(Root->Script.end(), events.begin(), events.end());
    }

    tHeadlessConsole Console{kCols, kRows};
    tScriptedRoot* Root = nullptr;
};

} // namespace zarvo::testing_windows
