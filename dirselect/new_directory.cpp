// The new-directory dialog and its checks. The name is made as typed: file names are
// case-sensitive here, so upper-casing it would make another directory than the one asked for.
#include "dirselect/new_directory.h"

#include <climits>

#include "dirselect/directory_dialog.h"
#include "library/paths.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/os_error.h"
#include "views/button.h"
#include "views/input_line.h"
#include "views/message_box_call.h"
#include "views/static_text.h"

namespace zarvo {

namespace {

// Longer paths show their end only, so the dialog stays within an 80-column screen.
constexpr std::size_t kShownPathLength = 40;

std::string ShownPath(const std::string& path) {
    if (path.size() <= kShownPathLength)
        return path;
    return "..." + path.substr(path.size() - (kShownPathLength - 3));
}

std::string FailureText(const std::string& reason) {
    return std::string("Ошибка при создании каталога!"_oem) + "\r" + reason;
}

tDialog* MakeNameDialog(const std::string& shown, std::int16_t maxLength, tInputLine*& input) {
    int n = int(shown.size());
    auto* dialog = new tDialog(MakeRect(0, 0, n + 26, 7), "Создание каталога"_oem);
    if (!ValidateRef(dialog))
        return nullptr;
    dialog->OptionFlags |= ViewOption::CenterX | ViewOption::CenterY;
    // In front of the ones before: Tab goes from the name to "Ввод", then to "Отмена".
    dialog->InsertView(new tStaticText(MakeRect(4, 2, n + 4, 3), shown));
    input = new tInputLine(MakeRect(n + 3, 2, n + 17, 3), maxLength);
    dialog->InsertView(input);
    int c = (dialog->Width - 24) / 3;
    dialog->InsertView(
        new tButton(MakeRect(c, 4, c + 12, 6), "Ввод"_oem, cmdOk, ButtonFlag::IsDefaultButton));
    dialog->InsertView(
        new tButton(MakeRect(2 * c + 12, 4, 2 * c + 24, 6), "Отмена"_oem, cmdCancel, 0));
    // The name is typed at once.
    input->SelectView();
    return dialog;
}

} // namespace

std::string NewDirectoryNameError(std::string_view parentPath, std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return std::string("Недопустимое имя каталога."_oem);
    if (OsPath(name).size() > NAME_MAX)
        return std::string("Слишком длинное имя каталога."_oem);
    if (AddBackslash(parentPath).size() + name.size() > kMaxDirectoryPath)
        return std::string("Слишком длинный путь: допускается не более 250 символов."_oem);
    return {};
}

std::string MakeNewDirectory(const std::string& parentOsPath, std::string_view name,
                             std::uint32_t timeoutMs) {
    int error = MakeDirectoryBounded(parentOsPath + OsPath(name), timeoutMs);
    if (error == 0)
        return {};
    if (error == ETIMEDOUT)
        return std::string("Файловая система не отвечает."_oem);
    return OsErrorText(error) + ".";
}

void RunNewDirectoryDialog(TDirectoryDialog& dialog) {
    TDirectoryViewer* viewer = dialog.Viewer;
    TAbstractNode* parent = viewer != nullptr ? viewer->FocusedNode() : nullptr;
    tGroup* runner = dialog.Runner != nullptr ? dialog.Runner : dynamic_cast<tGroup*>(ScreenRoot);
    if (parent == nullptr || parent->Parent == nullptr)
        return;
    std::string path = parent->FullPath();
    std::string osPath = parent->FullOsPath();
    auto room = std::int16_t(
        std::clamp<int>(int(kMaxDirectoryPath) - int(path.size()), 1, kMaxInputLength));
    tInputLine* input = nullptr;
    tDialog* small = MakeNameDialog(ShownPath(path), room, input);
    if (small == nullptr || runner == nullptr) {
        if (small != nullptr)
            FreeObject(small);
        return;
    }
    for (;;) {
        std::uint16_t result = runner->RunView(small);
        if (result != cmdOk) {
            if (result == cmdCancel)
                break;
            continue;
        }
        std::string name = input->LineText();
        std::string reason = NewDirectoryNameError(path, name);
        if (reason.empty())
            reason = MakeNewDirectory(osPath, name, DirectorySettings().TimeoutMs);
        if (!reason.empty()) {
            MessageBoxCall(FailureText(reason), 1024);
            continue;
        }
        if (parent->Expanded)
            parent->Refresh();
        else
            parent->SetExpanded(true);
        TAbstractNode* made = nullptr;
        for (int i = 0; i < parent->ChildCount() && made == nullptr; ++i)
            if (parent->ChildAt(i)->OsName == OsPath(name))
                made = parent->ChildAt(i);
        viewer->FocusNode(made != nullptr ? made : parent);
        break;
    }
    FreeObject(small);
}

} // namespace zarvo
