// TDirectoryDialog: its layout, its commands and local menu, the path it opens at, and the
// call that runs it for a caller.
#include "dirselect/directory_dialog.h"

#include <unistd.h>

#include <climits>
#include <mutex>
#include <vector>

#include "console/key_codes.h"
#include "dirselect/new_directory.h"
#include "library/object_stream.h"
#include "library/paths.h"
#include "library/stream_class.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "views/application.h"
#include "views/button.h"
#include "views/desktop.h"
#include "views/help_box.h"
#include "views/menu_box.h"
#include "views/menu_items.h"
#include "views/message_box_call.h"
#include "views/scroll_bar.h"

namespace zarvo {

namespace {

std::string CurrentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    if (getcwd(buffer.data(), buffer.size()) == nullptr)
        return "/";
    return FromOsPath(buffer.data());
}

tMenuPtr LocalMenu() {
    return NewMenuRec(NewMenuItem(
        "С~в~ернуть"_oem, "[-]", 0x4A2D, cmdDirectoryCollapse, 625,
        NewMenuItem(
            "~Р~азвернуть"_oem, "[+]", 0x4E2B, cmdDirectoryExpand, 626,
            NewMenuItem("Р~а~звернуть все"_oem, "[*]", 0x372A, cmdDirectoryExpandAll, 627,
                        NewMenuItem("Предок"_oem, "[Back]", kKeyBackspace, cmdDirectoryParent, 630,
                                    NewMenuLine(NewMenuItem(
                                        "~С~оздать каталог"_oem, "", 0, cmdDirectoryCreate, 629,
                                        NewMenuItem("Об~н~овить"_oem, "", 0, cmdDirectoryRefresh,
                                                    628))))))));
}

} // namespace

std::string ExpandDirectoryPath(std::string_view path) {
    std::string full = path.starts_with('/') ? std::string(path)
                                             : AddBackslash(CurrentDirectory()) + std::string(path);
    std::vector<std::string_view> parts;
    std::string_view rest = full;
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view word = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? "" : rest.substr(slash + 1);
        if (word.empty() || word == ".")
            continue;
        if (word == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(word);
    }
    std::string result;
    for (std::string_view word : parts)
        result += "/" + std::string(word);
    return result.empty() ? "/" : result;
}

TDirectoryDialog::TDirectoryDialog(const tDirectorySettings& settings)
    : tDialog(MakeRect(0, 0, 62, 18), "Выбор каталога"_oem) {
    OptionFlags |= ViewOption::CenterX | ViewOption::CenterY;
    HelpTopic = kDirectoryDialogHelp;
    AddControls(settings);
}

TDirectoryDialog::TDirectoryDialog(tStreamLoad) : tDialog(kStreamLoad) {}

void TDirectoryDialog::AddControls(const tDirectorySettings& settings) {
    // Each view goes in front of the ones before it: Tab, which moves to the view in front,
    // then runs from the tree down the buttons as they are shown.
    auto* hBar = new tScrollBar(MakeRect(3, 15, 47, 16));
    auto* vBar = new tScrollBar(MakeRect(47, 2, 48, 15));
    InsertView(hBar);
    InsertView(vBar);
    Viewer = new TDirectoryViewer(MakeRect(3, 2, 47, 15), hBar, vBar, settings);
    Viewer->OptionFlags |= ViewOption::Framed;
    InsertView(Viewer);
    struct tButtonRow {
        std::string_view Title;
        std::uint16_t Command;
        std::uint8_t Flags;
    } buttons[] = {
        {"~В~ыбрать"_oem, cmdOk, ButtonFlag::IsDefaultButton},
        {"~О~тмена"_oem, cmdCancel, 0},
        {"~С~оздать"_oem, cmdDirectoryCreate, 0},
        {"Об~н~овить"_oem, cmdDirectoryRefresh, 0},
        {"Помощь"_oem, cmdHelp, 0},
    };
    int top = 2;
    for (const tButtonRow& row : buttons) {
        InsertView(new tButton(MakeRect(48, top, 60, top + 2), row.Title, row.Command, row.Flags));
        top += 2;
    }
    // The tree has the focus when the dialog opens.
    Viewer->SelectView();
}

std::uint16_t TDirectoryDialog::StoreID() const {
    return 10000;
}

bool TDirectoryDialog::Valid(std::uint16_t command) {
    if (command == 0 && Viewer == nullptr)
        return false;
    return tDialog::Valid(command);
}

void TDirectoryDialog::SelectPath(std::string_view path) {
    if (Viewer != nullptr)
        Viewer->SelectPath(ExpandDirectoryPath(path));
}

std::string TDirectoryDialog::FocusedPath() {
    TAbstractNode* node = Viewer != nullptr ? Viewer->FocusedNode() : nullptr;
    return node != nullptr ? node->FullPath() : std::string();
}

std::string TDirectoryDialog::FocusedOsPath() {
    TAbstractNode* node = Viewer != nullptr ? Viewer->FocusedNode() : nullptr;
    return node != nullptr ? node->FullOsPath() : std::string();
}

void TDirectoryDialog::RefreshViewer() {
    Viewer->Recount();
    Viewer->Repaint();
}

void TDirectoryDialog::OpenLocalMenu() {
    tGroup* runner = Runner != nullptr ? Runner : dynamic_cast<tGroup*>(ScreenRoot);
    if (runner == nullptr || Viewer == nullptr)
        return;
    tPoint corner = Viewer->ToScreen(tPoint{2, 1});
    tPoint inRunner = runner->ToLocal(corner);
    tRect bounds = MakeRect(inRunner.X, inRunner.Y, runner->Width, runner->Height);
    auto* popup = new TMenuPopup(bounds, LocalMenu());
    if (!ValidateRef(popup))
        return;
    std::uint16_t command = runner->RunView(popup);
    FreeObject(popup);
    if (command != 0 && command != cmdCancel) {
        TEventRec event;
        event.what = evtCommand;
        event.message.command = command;
        event.message.info = nullptr;
        PostEvent(event);
    }
}

bool TDirectoryDialog::HandleCommand(std::uint16_t command) {
    TAbstractNode* node = Viewer->FocusedNode();
    switch (command) {
    case cmdOk:
        // The root is no directory; a name CP866 cannot show is refused unless the caller
        // takes the real bytes.
        if (node == nullptr || node->Parent == nullptr)
            return true;
        if (!TakesOsPath && !OsNameIsRepresentable(node->FullOsPath())) {
            MessageBoxCall("Путь к этому каталогу содержит символы, которые нельзя показать.\r"
                           "Выберите другой каталог."_oem,
                           1026);
            return true;
        }
        // Cut to what a caller holds, the path would name another directory, or none.
        if (RemoveBackslash(node->FullPath()).size() > kMaxDirectoryPath) {
            MessageBoxCall(FormatText("Путь к этому каталогу длиннее %d символов.\r"
                                      "Выберите другой каталог."_oem,
                                      {int(kMaxDirectoryPath)}),
                           1026);
            return true;
        }
        return false;
    case cmdDirectoryCreate:
        RunNewDirectoryDialog(*this);
        return true;
    case cmdDirectoryRefresh:
        node->Refresh();
        break;
    case cmdDirectoryExpand:
    case cmdDirectoryCollapse:
        Viewer->ExpandNode(node, command == cmdDirectoryExpand);
        break;
    case cmdDirectoryExpandAll:
        Viewer->ExpandAll(node);
        break;
    case cmdDirectoryMenu:
        OpenLocalMenu();
        return true;
    default:
        return false;
    }
    RefreshViewer();
    return true;
}

void TDirectoryDialog::HandleEvent(TEventRec& event) {
    bool menu = (event.what == evtMouseDown && (event.mouse.buttons & mbRightButton) != 0) ||
                (event.what == evtKeyDown && event.key.keyCode == kKeyAltF10);
    if (menu && Viewer != nullptr) {
        ConsumeEvent(event);
        OpenLocalMenu();
        return;
    }
    if (event.what == evtCommand && Viewer != nullptr && HandleCommand(event.message.command)) {
        ConsumeEvent(event);
        return;
    }
    tDialog::HandleEvent(event);
}

bool ChooseDirectory(std::string& path, tGroup* host, std::string* osPath) {
    if (host == nullptr)
        host = gDeskTop != nullptr ? static_cast<tGroup*>(gDeskTop)
                                   : dynamic_cast<tGroup*>(ScreenRoot);
    auto* dialog = new TDirectoryDialog();
    if (host == nullptr || !ValidateRef(dialog)) {
        if (dialog != nullptr)
            FreeObject(dialog);
        return false;
    }
    dialog->TakesOsPath = osPath != nullptr;
    dialog->Runner = host;
    dialog->SelectPath(path);
    bool chosen = host->RunView(dialog) == cmdOk;
    if (chosen) {
        path = dialog->FocusedPath();
        if (osPath != nullptr)
            *osPath = dialog->FocusedOsPath();
    }
    FreeObject(dialog);
    return chosen;
}

void RegisterDirectoryStreamClasses() {
    static const tStreamClass kDirectoryDialog = StreamClassOf<TDirectoryDialog>(
        "TDirectoryDialog", []() -> tSObject* { return new TDirectoryDialog(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] { RegisterStreamClasses({&kDirectoryDialog}); });
}

} // namespace zarvo
