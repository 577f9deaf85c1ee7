// What the dialog-control tests share: a root on the headless console that feeds back what
// views post (oldest first), then plays a script, then answers cmdAbort so no loop can hang;
// a gray dialog on it; and helpers to read the screen.
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

namespace zarvo::testing_dialogs {

class tDialogRoot : public tScreenRoot {
  public:
    explicit tDialogRoot(const tRect& bounds) : tScreenRoot(bounds) {}

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
    void PostEvent(const TEventRec& event) override {
        Posted.push_back(event);
        History.push_back(event);
        if (OnPost)
            OnPost(event);
    }

    std::deque<TEventRec> Script;
    std::deque<TEventRec> Posted;   // waiting to be fetched
    std::vector<TEventRec> History; // everything posted
    std::function<void(const TEventRec&)> OnPost;
    std::function<void()> OnFetch; // before each event is handed out
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
inline constexpr std::uint16_t kEnter = 0x1C0D, kEsc = 0x011B, kTab = 0x0F09, kSpace = 0x3920;

// An 80 x 25 headless screen with the root; commands, markers and errors are put back
// between tests.
class tDialogScreen : public ::testing::Test {
  protected:
    static constexpr int kCols = 80;
    static constexpr int kRows = 25;

    void SetUp() override {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = new tDialogRoot(MakeRect(0, 0, kCols, kRows));
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
        ShowMarkers = false;
        ClearError();
    }

    // A dialog at BOUNDS inserted into the root (so it is current, active and focused).
    tDialog* AddDialog(const tRect& bounds = MakeRect(0, 0, 40, 12)) {
        auto* dialog = new tDialog(bounds, "");
        Root->InsertView(dialog);
        return dialog;
    }
    // Hands EVENT to VIEW, then every event it posted, oldest first, to RECEIVER.
    void Feed(tView* view, TEventRec event, tView* receiver) {
        view->HandleEvent(event);
        while (!Root->Posted.empty()) {
            TEventRec posted = Root->Posted.front();
            Root->Posted.pop_front();
            receiver->HandleEvent(posted);
        }
    }
    std::vector<std::uint16_t> PostedCommands() const {
        std::vector<std::uint16_t> out;
        for (const TEventRec& event : Root->History)
            if (event.what == evtCommand)
                out.push_back(event.message.command);
        return out;
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
    // The block of W x H cells at (X, Y), one string per row.
    std::vector<std::string> Block(int x, int y, int w, int h) {
        std::vector<std::string> rows;
        for (int row = y; row < y + h; ++row)
            rows.push_back(Cells(row, x, w));
        return rows;
    }
    std::uint8_t AttrAt(int x, int y) {
        Console.Pump();
        return CellAttr(Console.Host().CellAt(x, y));
    }

    tHeadlessConsole Console{kCols, kRows};
    tDialogRoot* Root = nullptr;
};

} // namespace zarvo::testing_dialogs
