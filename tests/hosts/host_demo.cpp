// A hand check of the console hosts: the screen shows all 256 glyphs in all 16 colours and
// echoes every event the driver layer makes of the input, with the screen's size (which in a
// terminal follows the terminal's). Alt+X or closing the window ends it; Insert switches the
// cursor between underline and block. An orderly end writes "host_demo: ended" to stderr.
//
//   host_demo [--host=window|terminal|auto] [--settings=FILE]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "console/cells.h"
#include "console/drivers_console.h"
#include "console/host_choice.h"
#include "console/key_codes.h"
#include "console/terminal/terminal_host.h"
#include "console/x11/x11_host.h"
#include "diagnostics/pending_error.h"
#include "library/scope.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

using namespace zarvo;

namespace {

constexpr int kLogTop = 17;
constexpr std::uint8_t kTextAttr = 0x07;
constexpr std::uint8_t kTitleAttr = 0x1E;

struct tDemo {
    int Shape = 9;
    int LogRow = 0;
    std::vector<std::string> Log;
};

// Writes what fits of a row: the screen may be anything from 10 x 5 up.
void WriteRow(int x, int y, const tCell* cells, int count) {
    count = std::min(count, int(CurrentConsole->Cols) - x);
    if (y < CurrentConsole->Rows && count > 0)
        CurrentConsole->WriteCells(x, y, cells, count);
}

void WriteText(int x, int y, std::string_view text, std::uint8_t attr) {
    std::vector<tCell> line(text.size());
    CopyTextToCells(line.data(), text, attr);
    WriteRow(x, y, line.data(), int(line.size()));
}

// Rows 0-15 hold character row*16 to row*16+15 four times: foreground 0-15 across each
// block, on black, on blue, on grey, and on the row's own colour.
void DrawGlyphs() {
    constexpr std::uint8_t kBackgrounds[3] = {0x0, 0x1, 0x7};
    for (int row = 0; row < 16; ++row) {
        std::vector<tCell> line;
        for (int block = 0; block < 4; ++block) {
            std::uint8_t background = block < 3 ? kBackgrounds[block] : std::uint8_t(row);
            for (int i = 0; i < 16; ++i)
                line.push_back(
                    MakeCell(std::uint8_t(row * 16 + i), std::uint8_t((background << 4) | i)));
        }
        WriteRow(0, row, line.data(), int(line.size()));
    }
}

void DrawScreen(tDemo& demo) {
    tScreenDrawBracket bracket(&demo);
    std::vector<tCell> blank(std::size_t(CurrentConsole->Cols), MakeCell(' ', kTextAttr));
    for (int y = 0; y < CurrentConsole->Rows; ++y)
        WriteRow(0, y, blank.data(), int(blank.size()));
    DrawGlyphs();
    WriteText(0, 16, " События (Alt+X - выход, Insert - форма курсора) "_oem, kTitleAttr);
    WriteText(64, 0, FormatText(" Экран %dx%d "_oem, {CurrentConsole->Cols, CurrentConsole->Rows}),
              kTitleAttr);
    for (std::size_t i = 0; i < demo.Log.size(); ++i)
        WriteText(0, kLogTop + int(i), demo.Log[i], kTextAttr);
    CurrentConsole->SetCursor(79, 16, demo.Shape);
}

std::string Describe(const TEventRec& event) {
    switch (event.what) {
    case evtKeyDown: {
        std::uint8_t ch = std::uint8_t(event.key.keyCode);
        char text[64];
        std::snprintf(text, sizeof text, "key 0x%04X shift %u '", unsigned(event.key.keyCode),
                      unsigned(event.key.shiftState));
        return text + std::string(1, ch >= 0x20 ? char(ch) : ' ') + "'";
    }
    case evtMouseDown:
    case evtMouseUp:
    case evtMouseMove:
    case evtMouseRepeat: {
        const char* kind = event.what == evtMouseDown   ? "down"
                           : event.what == evtMouseUp   ? "up"
                           : event.what == evtMouseMove ? "move"
                                                        : "repeat";
        return FormatText("mouse %s buttons %d double %d at %d,%d",
                          {kind, int(event.mouse.buttons), int(event.mouse.doubleClick),
                           int(event.mouse.where.X), int(event.mouse.where.Y)});
    }
    case evtCommand:
        return FormatText("command %d", {int(event.message.command)});
    default:
        return FormatText("event %d", {int(event.what)});
    }
}

void Echo(tDemo& demo, const TEventRec& event) {
    std::string line = Describe(event);
    line.resize(std::size_t(kMaxScreenWidth), ' ');
    int room = std::max(1, CurrentConsole->Rows - kLogTop);
    demo.Log.push_back(line);
    while (int(demo.Log.size()) > room)
        demo.Log.erase(demo.Log.begin());
    DrawScreen(demo);
}

void RunThread(tDemo& demo) {
    ConsoleClass = MakeDriversConsole;
    StartConsoleDriver();
    // A close request reaches the reader only through OnMessage; put it back as an event.
    CurrentConsole->OnMessage = [&demo](TConsoleMsg& msg) {
        if (msg.message == WM_CLOSE || msg.message == WM_QUERYENDSESSION)
            CurrentConsole->PutMessage(msg);
        if (msg.message == WM_SIZE)
            DrawScreen(demo);
    };
    ApplicationStarted = true;
    tScopeExit ended([] {
        ApplicationStarted = false;
        StopConsoleDriver();
        ScreenDrawLock = nullptr;
        PostHostQuit();
    });
    CurrentConsole->Activate();
    DrawScreen(demo);
    for (;;) {
        TEventRec event;
        ReadConsoleEvent(event, true);
        if (event.what == evtNothing || event.what == evtIdle)
            continue;
        if (event.what == evtKeyDown && event.key.keyCode == kKeyAltX)
            break;
        if (event.what == evtCommand && event.message.command == cmdQuit)
            break;
        if (event.what == evtKeyDown && event.key.keyCode == kKeyIns)
            demo.Shape = demo.Shape == 0 ? 9 : 0;
        Echo(demo, event);
    }
}

} // namespace

int main(int argc, char** argv) {
    tHostPreference preference = tHostPreference::Auto;
    std::string settings = "host_demo.ini";
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--host=window")
            preference = tHostPreference::Window;
        else if (arg == "--host=terminal")
            preference = tHostPreference::Terminal;
        else if (arg == "--host=auto")
            preference = tHostPreference::Auto;
        else if (arg.starts_with("--settings="))
            settings = std::string(arg.substr(11));
        else {
            std::fprintf(stderr, "usage: %s [--host=window|terminal|auto] [--settings=FILE]\n",
                         argv[0]);
            return 2;
        }
    }
    tHostChoice choice = ChooseHost(CurrentHostFacts(preference, X11DisplayOpens));
    if (choice.Kind == tHostKind::NoHost)
        return ReportNoHost(choice);
    std::unique_ptr<tConsoleHost> host;
    if (choice.Kind == tHostKind::Window)
        host = std::make_unique<tX11Host>("Zarvo: проверка экрана"_oem);
    else
        host = std::make_unique<tTerminalHost>();
    tDemo demo;
    std::thread run;
    bool shown = RunConsoleHost(
        *host,
        [&] {
            BindScreenDrawLock();
            run = std::thread(RunThread, std::ref(demo));
        },
        settings);
    if (run.joinable())
        run.join();
    if (!shown) {
        std::string text = Cp866ToUtf8(PendingError() ? PendingError()->Message() : "") + "\n";
        std::fputs(text.c_str(), stderr);
        return 1;
    }
    // Tests look for it: the program came through its own way out.
    std::fputs("host_demo: ended\n", stderr);
    return 0;
}
