// What the input line, list box and history tests share: a root on the headless console that
// hands out what views posted, then a script, then cmdAbort (so no loop can hang), with a
// hook before each event; a gray dialog to hold the controls; and screen readers.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/headless/headless_host.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "tests/views/support/screen_root.h"
#include "views/command_set.h"
#include "views/dialog.h"

namespace zarvo::testing_input {

class tInputRoot : public tScreenRoot {
  public:
    explicit tInputRoot(const tRect& bounds) : tScreenRoot(bounds) {}

    void FetchEvent(TEventRec& event, bool /*wait*/) override {
        if (OnFetch)
            OnFetch();
        std::deque<TEventRec>& from = !Posted.empty() ? Posted : Script;
        if (!from.empty()) {
            event = from.front();
            from.pop_front();
            return;
        }
        event.Clear();
        event.what = evtCommand;
        event.message.command = cmdAbort;
    }
    void PostEvent(const TEventRec& event) override { Posted.push_back(event); }

    std::deque<TEventRec> Script;
    std::deque<TEventRec> Posted;
    std::function<void()> OnFetch; // before each event is handed out
};

// The attribute a control's palette entry ENTRY of a dialog with PALETTE gets on the screen.
inline std::uint8_t DialogColor(tPalette palette, int entry) {
    return ApplicationPalette()[palette[entry]];
}

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

// The key a typed CP866 character makes (no scan code).
inline TEventRec Char(char ch) {
    return Key(std::uint16_t(std::uint8_t(ch)));
}

inline constexpr std::uint16_t kLeft = 0x4B00, kRight = 0x4D00, kUp = 0x4800, kDown = 0x5000;
inline constexpr std::uint16_t kHome = 0x4700, kEnd = 0x4F00, kIns = 0x5200, kDel = 0x5300;
inline constexpr std::uint16_t kBackspace = 0x0E08, kCtrlY = 0x1519, kCtrlIns = 0x0400;
inline constexpr std::uint16_t kShiftIns = 0x0500, kEnter = 0x1C0D, kEsc = 0x011B;
inline constexpr std::uint16_t kTab = 0x0F09;
inline constexpr std::uint16_t kShift = shiftLeft;

// An 80 x 25 headless screen with the root and an active gray dialog of 40 x 12 at (0, 0);
// commands and errors are put back between tests.
class tInputScreen : public ::testing::Test {
  protected:
    static constexpr int kCols = 80;
    static constexpr int kRows = 25;

    void SetUp() override {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = new tInputRoot(MakeRect(0, 0, kCols, kRows));
        // The root's first paint gives it the cache its lines reach the console through.
        Root->Repaint();
        Box = new tDialog(MakeRect(0, 0, 40, 12), "");
        Root->InsertView(Box);
        Box->ChangeState(ViewState::Active, true);
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
    tHeadlessHost::tCursor Cursor() {
        Console.Pump();
        return Console.Host().Cursor();
    }
    std::uint8_t Gray(int entry) { return DialogColor(Box->GetPalette(), entry); }

    tHeadlessConsole Console{kCols, kRows};
    tInputRoot* Root = nullptr;
    tDialog* Box = nullptr;
};

} // namespace zarvo::testing_input
