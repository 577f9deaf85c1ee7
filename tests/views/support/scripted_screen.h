// What the screen tests of windows, dialogs and controls share: the events they feed, a root
// on the headless console that hands out what views posted (when asked to), then a script,
// then cmdAbort (so no mouse track, drag or modal loop can hang), and an 80 x 25 fixture
// that puts commands and errors back between tests.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/event_makers.h"
#include "console/headless/headless_host.h"
#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "tests/views/support/screen_root.h"
#include "views/command_set.h"

namespace zarvo::testing_screens {

// Short names for the scripts' tables.
inline TEventRec Mouse(std::uint16_t what, int x, int y, bool doubleClick = false) {
    return MouseEvent(what, x, y, mbLeftButton, doubleClick);
}
inline TEventRec Key(std::uint16_t keyCode, std::uint16_t shiftState = 0) {
    return KeyEvent(keyCode, shiftState);
}
inline TEventRec Message(std::uint16_t what, std::uint16_t command, void* info = nullptr) {
    return MessageEvent(what, command, info);
}

class tScriptedRoot : public tScreenRoot {
  public:
    // FEED_BACK: what views post is handed out again before the script goes on.
    tScriptedRoot(const tRect& bounds, bool feedBack) : tScreenRoot(bounds), m_FeedBack(feedBack) {}

    void FetchEvent(TEventRec& event, bool /*wait*/) override {
        if (OnFetch)
            OnFetch();
        std::deque<TEventRec>& from = m_FeedBack && !Posted.empty() ? Posted : Script;
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
    std::deque<TEventRec> Posted;   // waiting to be fetched, or kept when not fed back
    std::vector<TEventRec> History; // everything posted
    std::function<void(const TEventRec&)> OnPost;
    std::function<void()> OnFetch; // before each event is handed out

  private:
    bool m_FeedBack;
};

// An 80 x 25 headless screen with a scripted root whose first paint gave it the cache its
// lines reach the console through.
class tScriptedScreen : public ::testing::Test {
  protected:
    static constexpr int kCols = 80;
    static constexpr int kRows = 25;

    explicit tScriptedScreen(bool feedBack) : m_FeedBack(feedBack) {}

    void SetUp() override {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = new tScriptedRoot(MakeRect(0, 0, kCols, kRows), m_FeedBack);
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
    tHeadlessHost::tCursor Cursor() {
        Console.Pump();
        return Console.Host().Cursor();
    }
    void Script(std::initializer_list<TEventRec> events) {
        Root->Script.insert(Root->Script.end(), events.begin(), events.end());
    }

    tHeadlessConsole Console{kCols, kRows};
    tScriptedRoot* Root = nullptr;

  private:
    bool m_FeedBack;
};

} // namespace zarvo::testing_screens
