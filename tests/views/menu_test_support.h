// What the menu and status-line tests share: an 40 x 12 headless screen with a root that
// hands back what views post before a script of events, runs a callback when the script is
// used up (to look at the screen in the middle of a modal run) and then answers cmdAbort, so
// no run can hang; and the keys the tests press.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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

namespace zarvo::testing_menus {

// Fills the screen with '.' so that what a closed menu leaves behind shows.
class tBackground : public tView {
  public:
    explicit tBackground(const tRect& bounds) : tView(bounds) {}
    void Draw() override {
        tCell line[MaxLineCells];
        FillCells(line, '.', 0x07, MaxLineCells);
        PutLine(0, 0, Width, Height, line);
    }
};

class tMenuRoot : public tScreenRoot {
  public:
    explicit tMenuRoot(const tRect& bounds) : tScreenRoot(bounds) {}

    void FetchEvent(TEventRec& event, bool /*wait*/) override {
        if (!Pending.empty()) {
            event = Pending.back();
            Pending.pop_back();
        } else if (!Script.empty()) {
            event = Script.front();
            Script.pop_front();
        } else {
            if (OnScriptEnd) {
                auto callback = std::move(OnScriptEnd);
                OnScriptEnd = nullptr;
                callback();
            }
            event.Clear();
            event.what = evtCommand;
            event.message.command = cmdAbort;
        }
    }

    std::deque<TEventRec> Script;
    std::function<void()> OnScriptEnd;
};

// Short names for the menus' tables.
inline TEventRec Key(std::uint16_t keyCode) {
    return KeyEvent(keyCode);
}
inline TEventRec Mouse(std::uint16_t what, int x, int y, std::uint8_t buttons = mbLeftButton) {
    return MouseEvent(what, x, y, buttons);
}
inline TEventRec Command(std::uint16_t what, std::uint16_t command) {
    return MessageEvent(what, command);
}

class tMenuScreen : public ::testing::Test {
  protected:
    static constexpr int kCols = 40;
    static constexpr int kRows = 12;

    void SetUp() override {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = new tMenuRoot(MakeRect(0, 0, kCols, kRows));
        Root->tInsert(new tBackground(Root->ExtentRect()));
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
    // Columns 0..WIDTH-1 of rows 0..HEIGHT-1 as UTF-8.
    std::vector<std::string> Grid(int width, int height) {
        Console.Pump();
        std::vector<std::string> rows;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x)
                AppendUtf8(row, Cp866ToGlyph(CellChar(Console.Host().CellAt(x, y))));
            rows.push_back(row);
        }
        return rows;
    }
    std::uint8_t AttrAt(int x, int y) {
        Console.Pump();
        return CellAttr(Console.Host().CellAt(x, y));
    }
    void Script(std::initializer_list<TEventRec> events) {
        Root->Script.insert(Root->Script.end(), events.begin(), events.end());
    }
    // The command of the newest posted command event, or 0.
    std::uint16_t PostedCommand() const {
        for (auto it = Root->Pending.rbegin(); it != Root->Pending.rend(); ++it)
            if (it->what == evtCommand)
                return it->message.command;
        return 0;
    }

    tHeadlessConsole Console{kCols, kRows};
    tMenuRoot* Root = nullptr;
};

} // namespace zarvo::testing_menus

#include "views/menu_items.h"

namespace zarvo::testing_menus {

// Commands of the sample menu.
inline constexpr std::int16_t cmdOpen = 100, cmdSave = 101, cmdExit = 102;
inline constexpr std::int16_t cmdCopy = 110, cmdPaste = 111, cmdOne = 120, cmdTwo = 121;
inline constexpr std::int16_t cmdWindow = 130;

// "Файл" (Открыть F3, Сохранить disabled, a line, Выход Alt+X), "Правка" (Копировать,
// Вставить, "Ещё" with Раз and Два) and the command item "Окно".
inline tMenuPtr SampleMenu() {
    auto file = NewMenuRec(NewMenuItem(
        "~О~ткрыть"_oem, "F3", kKeyF3, cmdOpen, 0,
        NewMenuItem("~С~охранить"_oem, "", 0, cmdSave, 0,
                    NewMenuLine(NewMenuItem("~В~ыход"_oem, "Alt+X", kKeyAltX, cmdExit, 0)))));
    file->Items->Next->Disabled = true;
    auto more = NewMenuRec(
        NewMenuItem("~Р~аз"_oem, "", 0, cmdOne, 0, NewMenuItem("~Д~ва"_oem, "", 0, cmdTwo, 0)));
    auto edit =
        NewMenuRec(NewMenuItem("~К~опировать"_oem, "", 0, cmdCopy, 0,
                               NewMenuItem("~В~ставить"_oem, "", 0, cmdPaste, 0,
                                           NewSubMenuItem("~Е~щё"_oem, 0, std::move(more)))));
    return NewMenuRec(
        NewSubMenuItem("~Ф~айл"_oem, 0, std::move(file),
                       NewSubMenuItem("~П~равка"_oem, 0, std::move(edit),
                                      NewMenuItem("~О~кно"_oem, "", 0, cmdWindow, 0))));
}

} // namespace zarvo::testing_menus
