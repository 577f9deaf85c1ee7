// The dialogs demo's application: its menus, hint table and commands.
#include "tests/dialogs_demo/demo_app.h"

#include <algorithm>
#include <string>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "tests/dialogs_demo/demo_status.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/menu_view.h"
#include "views/window.h"

namespace zarvo::demo {

namespace {

tMenuPtr DemoMenu() {
    tMenuPtr file = NewMenuRec(
        NewMenuItem("~Д~иалог..."_oem, "", 0, cmdOpenDialog, 0,
                    NewMenuLine(NewMenuItem("В~ы~ход"_oem, "Alt+X", kKeyAltX, cmdQuit, 0))));
    tMenuPtr windows = NewMenuRec(NewMenuItem(
        "~Н~овое окно"_oem, "", 0, cmdNewWindow, 0,
        NewMenuItem("~М~озаика"_oem, "", 0, cmdTile, 0,
                    NewMenuItem("~К~аскад"_oem, "", 0, cmdCascade, 0,
                                NewMenuLine(NewMenuItem("~С~ледующее"_oem, "F6", kKeyF6, cmdNext, 0,
                                                        NewMenuItem("~З~акрыть"_oem, "Alt+F3",
                                                                    kKeyAltF3, cmdClose, 0)))))));
    return NewMenuRec(NewSubMenuItem("~Ф~айл"_oem, 0, std::move(file),
                                     NewSubMenuItem("~О~кна"_oem, 0, std::move(windows))));
}

} // namespace

// ---- tDemoMenuBar

TMenuView* tDemoMenuBar::NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent) {
    TMenuView* box = TMenuBar::NewSubView(bounds, menu, parent);
    if (box != nullptr)
        box->SetHintText(kMenuHint);
    return box;
}

// ---- tDialogsApp

TMenuBar* tDialogsApp::InitMenuBar() {
    // Where the application's own bar would be: the top row left of the clock.
    TMenuBar* plain = TApplication::InitMenuBar();
    tRect row = plain->BoundsRect();
    FreeObject(plain);
    return MakeObject<tDemoMenuBar>(row, DemoMenu()).release();
}

tStatusDefPtr tDialogsApp::StatusLineDefs() {
    // The demo's ranges come first: the first range that holds a context gives its hint.
    tStatusDefPtr definitions = DemoStatusDefinitions();
    TStatusDefRec* last = definitions.get();
    while (last->Next != nullptr)
        last = last->Next.get();
    last->Next = TApplication::StatusLineDefs();
    return definitions;
}

void tDialogsApp::HandleEvent(TEventRec& event) {
    TApplication::HandleEvent(event);
    if (event.what != evtCommand || gDeskTop == nullptr)
        return;
    switch (event.message.command) {
    case cmdOpenDialog:
        ConsumeEvent(event);
        if (OnOpenDialog)
            OnOpenDialog();
        break;
    case cmdNewWindow:
        ConsumeEvent(event);
        OpenWindow();
        break;
    case cmdTile:
        ConsumeEvent(event);
        gDeskTop->Tile(gDeskTop->ExtentRect());
        break;
    case cmdCascade:
        ConsumeEvent(event);
        gDeskTop->Cascade(gDeskTop->ExtentRect());
        break;
    default:
        break;
    }
}

void tDialogsApp::OpenWindow() {
    // Each new window a little lower and to the right of the one before.
    int step = m_WindowCount++ % 8;
    tRect bounds = MakeRect(2 + 3 * step, 1 + step, 32 + 3 * step, 9 + step);
    std::string title = std::string("Окно "_oem) + std::to_string(m_WindowCount);
    auto* window = MakeObject<tWindow>(bounds, title, std::int16_t(0)).release();
    window->OptionFlags |= ViewOption::Tileable;
    window->HelpTopic = kDesktopTopic;
    gDeskTop->InsertDesktop(window, true);
}

} // namespace zarvo::demo
