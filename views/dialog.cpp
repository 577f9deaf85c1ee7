// tDialog: its three palettes, the keys that become cancel and default, the answer commands
// that end a modal run; and the registration of the dialog controls for object streaming.
#include "views/dialog.h"

#include <mutex>

#include "console/key_codes.h"
#include "library/stream_class.h"
#include "platform/cp866.h"
#include "views/button.h"
#include "views/cluster.h"
#include "views/commands.h"
#include "views/label.h"
#include "views/process_view.h"
#include "views/static_text.h"

namespace zarvo {

namespace {

// Entries 1-32 (39 for gray), indexes into the application palette. The controls' palettes
// index these: 6 static text, 7-9 label, 10-15 button, 16-18 and 31 cluster, 19-21 input
// line, 22-23 history button, 24-25 history window bars, 26-29 list viewer, 13 also the
// disabled label.
constexpr auto kBlueDialogPalette =
    MakePalette(8, 9, 10, 11, 12, 13, 14, 15, 73, 74, 75, 76, 85, 77, 78, 79, 80, 81, 82, 83, 84,
                85, 86, 87, 88, 89, 90, 91, 92, 92, 94, 95);
constexpr auto kCyanDialogPalette =
    MakePalette(96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112,
                113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127);
constexpr auto kGrayDialogPalette =
    MakePalette(32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52,
                53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 88, 89, 90, 91, 92, 93, 94);

} // namespace

tDialog::tDialog(const tRect& bounds, std::string_view title) : tWindow(bounds, title, 0) {
    GrowFlags = 0;
    WindowFlags = WindowFlag::CanMove | WindowFlag::CanClose;
    ColorScheme = WindowScheme::Gray;
    HelpTopic = kDialogHelpTopic;
}

tDialog::tDialog() : tDialog(MakeRect(0, 0, 20, 10), "Диалог"_oem) {}

tDialog::tDialog(tStreamLoad) : tWindow(kStreamLoad) {}

std::uint16_t tDialog::StoreID() const {
    return 10;
}

tPalette tDialog::GetPalette() const {
    switch (ColorScheme) {
    case WindowScheme::Blue:
        return kBlueDialogPalette.data();
    case WindowScheme::Cyan:
        return kCyanDialogPalette.data();
    default:
        // A scheme number from a damaged stream still gets the dialog's own colours.
        return kGrayDialogPalette.data();
    }
}

void tDialog::HandleEvent(TEventRec& event) {
    tWindow::HandleEvent(event);
    // Only the event is looked at until it is known to be ours: a close handled above may
    // have freed the dialog, and then the event is cleared.
    switch (event.what) {
    case evtKeyDown:
        if (event.key.keyCode == kKeyEsc || event.key.keyCode == kKeyEnter) {
            bool cancel = event.key.keyCode == kKeyEsc;
            event.Clear();
            event.what = cancel ? evtCommand : evtBroadcast;
            event.message.command = cancel ? cmdCancel : cmdDefault;
            event.message.info = nullptr;
            PostEvent(event);
            ConsumeEvent(event);
        }
        break;
    case evtCommand:
        if (IsAnswer(event.message.command) && HasState(ViewState::Modal)) {
            FinishModal(event.message.command);
            ConsumeEvent(event);
        }
        break;
    default:
        break;
    }
}

void RegisterDialogStreamClasses() {
    static const tStreamClass kDialog =
        StreamClassOf<tDialog>("tDialog", []() -> tSObject* { return new tDialog(kStreamLoad); });
    static const tStreamClass kButton =
        StreamClassOf<tButton>("tButton", []() -> tSObject* { return new tButton(kStreamLoad); });
    static const tStreamClass kCluster = StreamClassOf<tCluster>(
        "tCluster", []() -> tSObject* { return new tCluster(kStreamLoad); });
    static const tStreamClass kRadioButtons = StreamClassOf<tRadioButtons>(
        "tRadioButtons", []() -> tSObject* { return new tRadioButtons(kStreamLoad); });
    static const tStreamClass kCheckBoxes = StreamClassOf<tCheckBoxes>(
        "tCheckBoxes", []() -> tSObject* { return new tCheckBoxes(kStreamLoad); });
    static const tStreamClass kStaticText = StreamClassOf<tStaticText>(
        "tStaticText", []() -> tSObject* { return new tStaticText(kStreamLoad); });
    static const tStreamClass kLabel =
        StreamClassOf<tLabel>("tLabel", []() -> tSObject* { return new tLabel(kStreamLoad); });
    static const tStreamClass kParamText = StreamClassOf<tParamText>(
        "tParamText", []() -> tSObject* { return new tParamText(kStreamLoad); });
    static const tStreamClass kProcessView = StreamClassOf<tProcessView>(
        "tProcessView", []() -> tSObject* { return new tProcessView(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses({&kDialog, &kButton, &kCluster, &kRadioButtons, &kCheckBoxes,
                               &kStaticText, &kLabel, &kParamText, &kProcessView});
    });
}

} // namespace zarvo
