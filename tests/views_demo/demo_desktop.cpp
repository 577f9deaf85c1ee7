// The views demo's root, desktop, background and key row.
#include "tests/views_demo/demo_desktop.h"

#include <algorithm>

#include "console/cells.h"
#include "console/console.h"
#include "console/key_codes.h"
#include "library/sync.h"
#include "platform/cp866.h"
#include "views/command_set.h"
#include "views/commands.h"

namespace zarvo::demo {

namespace {

// How long a quiet console waits between idle events; input ends the wait at once.
constexpr std::uint32_t kIdleBeatMs = 100;

// Normal text and hot key of the status line's colours.
constexpr auto kKeyLinePalette = MakePalette(2, 4);

struct tKeyCommand {
    std::uint16_t Key;
    std::uint16_t Command;
};
constexpr tKeyCommand kKeyCommands[] = {
    {kKeyAltX, cmdQuit},   {kKeyF5, cmdZoom}, {kKeyCtrlF5, cmdResize},
    {kKeyAltF3, cmdClose}, {kKeyF6, cmdNext}, {kKeyShiftF6, cmdPrev},
};

tRect ConsoleRect() {
    if (CurrentConsole == nullptr)
        return MakeRect(0, 0, 80, 25);
    return MakeRect(0, 0, CurrentConsole->Cols, CurrentConsole->Rows);
}

} // namespace

// ---- tDemoRoot

tDemoRoot::tDemoRoot() : tScreenRoot(ConsoleRect()) {
    tRect area = ExtentRect();
    area.Bottom = std::int16_t(std::max<int>(area.Top, area.Bottom - 1));
    Desktop = MakeObject<TDeskTop>(area).release();
    InsertView(Desktop);
    tRect row = ExtentRect();
    row.Top = area.Bottom;
    InsertView(MakeObject<tDemoKeyLine>(row).release());
}

void tDemoRoot::FetchEvent(TEventRec& event, bool wait) {
    if (!Pending.empty()) {
        tScreenRoot::FetchEvent(event, wait);
    } else {
        ReadConsoleEvent(event, false);
        if (event.what == evtNothing && wait) {
            // Right after input comes one idle event with no wait, so deferred repaints show
            // at once; after that the loop sleeps until input or the next beat.
            if (m_IdleGiven)
                WaitForEvents({}, kIdleBeatMs, false, true);
            event.what = evtIdle;
        }
    }
    m_IdleGiven = event.what == evtIdle;
    MapKey(event);
}

void tDemoRoot::MapKey(TEventRec& event) {
    if (event.what != evtKeyDown)
        return;
    std::uint16_t key = event.key.keyCode;
    if (key >= kKeyAlt1 && key <= kKeyAlt9) {
        std::intptr_t number = ((key - kKeyAlt1) >> 8) + 1;
        event.Clear();
        event.what = evtBroadcast;
        event.message.command = cmdSelectWindowNum;
        event.message.info = reinterpret_cast<void*>(number);
        return;
    }
    for (const tKeyCommand& entry : kKeyCommands) {
        if (entry.Key == key && IsCommandOn(entry.Command)) {
            event.Clear();
            event.what = evtCommand;
            event.message.command = entry.Command;
            return;
        }
    }
}

void tDemoRoot::HandleEvent(TEventRec& event) {
    tScreenRoot::HandleEvent(event);
    if (event.what == evtCommand && event.message.command == cmdQuit) {
        FinishModal(cmdQuit);
        ConsumeEvent(event);
    }
}

void tDemoRoot::FitToConsole() {
    PlaceBounds(ConsoleRect());
}

// ---- tDemoKeyLine

tDemoKeyLine::tDemoKeyLine(const tRect& bounds) : tView(bounds) {
    GrowFlags = GrowFlag::GrowTop | GrowFlag::GrowRight | GrowFlag::GrowBottom;
}

void tDemoKeyLine::Draw() {
    constexpr std::string_view kKeys = " ~Alt+X~ Выход  ~F6~ Дальше  ~Alt+N~ Окно  ~F5~ Масштаб  "
                                       "~Ctrl+F5~ Размер  ~Alt+F3~ Закрыть"_oem;
    tCell line[MaxLineCells];
    int width = std::min<int>(Width, MaxLineCells);
    std::uint16_t colors = MapColors(0x0201);
    FillCells(line, ' ', std::uint8_t(colors), width);
    // The text is shorter than a line buffer; what is wider than the row is cut by the write.
    CopyHotTextToCells(line, kKeys, colors);
    PutSegment(0, 0, width, line);
}

tPalette tDemoKeyLine::GetPalette() const {
    return kKeyLinePalette.data();
}

} // namespace zarvo::demo
