// The directory chooser of the parameter dialog.
#include "app/directory_sense.h"

#include "app/parameters.h"
#include "dirselect/directory_dialog.h"
#include "library/paths.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "record_inputs/input_commands.h"
#include "views/application.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kQuestionFlags = mbYes | mbNo;
constexpr std::uint16_t kNoticeFlags = mbContinue;

} // namespace

TDirectorySense::TDirectorySense(const tRect& bounds, TAbstractInput* input)
    : TAbstractSense(bounds, nullptr, 0, input) {}

bool TDirectorySense::CheckText(std::string_view text) {
    // After a close request the operator has gone: nothing is looked at or made on the share.
    if (ParameterStageGivenUp())
        return false;
    std::string directory = TrimmedDirectory(text);
    tDirectoryAnswer answer = AskDirectory(directory);
    if (answer != tDirectoryAnswer::Missing)
        return ShowDirectoryAnswer(answer, directory);
    if (MessageBoxCall(
            FormatText("Каталог %s не существует. Создать?"_oem, {PrintableName(directory)}),
            kQuestionFlags) != cmdYes)
        return false;
    if (ForceDirectories(directory))
        return true;
    MessageBoxCall(std::string("Ошибка при создании каталога "_oem) + PrintableName(directory),
                   kNoticeFlags);
    return false;
}

void TDirectorySense::HandleEvent(TEventRec& event) {
    RefreshPending = false;
    TAbstractSense::HandleEvent(event);
}

void TDirectorySense::RunChooser(std::uint16_t& command) {
    command = cmdCancel;
    if (Input == nullptr)
        return;
    std::string path = TrimmedDirectory(Input->LineText());
    std::string osPath;
    if (!ChooseDirectory(path, gDeskTop, &osPath))
        return;
    // A name CP866 cannot hold shows with '?'; the test still reaches the real directory.
    Input->SetLineText(AliasOsDirectory(osPath));
    // The choice is the field's value at once, whatever happens to the dialog afterwards.
    SendToView(Input, evtBroadcast, cmdStoreFields, nullptr);
    command = cmdOk;
}

void TDirectorySense::ShowLookupError() {
    if (ErrorState == seNotFound)
        ErrorState = seNone;
    TAbstractSense::ShowLookupError();
}

tObjectPtr<tView> MakeDirectorySense(const tRect& bounds, tView* input) {
    return MakeObject<TDirectorySense>(bounds, dynamic_cast<TAbstractInput*>(input));
}

} // namespace zarvo
