// The parameters asked for in a plain dialog of four input lines, laid out as the generated
// dialog will be; each refusal names its field and brings the dialog back with the field
// focused and everything entered kept.
#include "app/parameters.h"

#include <array>

#include "library/validity.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "views/application.h"
#include "views/button.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/dialog.h"
#include "views/input_line.h"
#include "views/label.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr int kInputColumn = 34;
constexpr int kRightEdge = 72;

struct tParamField {
    std::string_view Caption;
    std::int16_t Length;
    std::string_view Default;
};

constexpr std::array<tParamField, 4> kFields = {{
    {"Каталог на сервере", 250, ""},
    {"Размер файла, Мб", 5, "100"},
    {"Время раб. (0-до прер. польз.)", 8, "00:00:00"},
    {"Период между итерациями", 8, "01:00:00"},
}};

struct tParamsDialog {
    tObjectPtr<tDialog> Dialog;
    std::array<tInputLine*, 4> Inputs{};
};

tParamsDialog MakeParamsDialog() {
    tParamsDialog made;
    made.Dialog = MakeObject<tDialog>(MakeRect(0, 0, 74, 10), "Параметры работы"_oem);
    if (!ValidateRef(made.Dialog))
        return made;
    tDialog& dialog = *made.Dialog;
    dialog.OptionFlags |= ViewOption::Centered;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const tParamField& field = kFields[i];
        int row = 2 + int(i);
        int right = std::min(kInputColumn + field.Length + 2, kRightEdge - 3);
        auto* input =
            MakeObject<tInputLine>(MakeRect(kInputColumn, row, right, row + 1), field.Length)
                .release();
        input->SetLineText(field.Default);
        dialog.InsertView(input);
        std::string caption = Utf8ToCp866(field.Caption);
        dialog.InsertView(
            MakeObject<tLabel>(MakeRect(1, row, int(caption.size()) + 2, row + 1), caption, input)
                .release());
        made.Inputs[i] = input;
    }
    dialog.InsertView(MakeObject<tButton>(MakeRect(35, 7, 46, 9), "Принять"_oem, cmdOk,
                                          ButtonFlag::IsDefaultButton)
                          .release());
    dialog.InsertView(
        MakeObject<tButton>(MakeRect(47, 7, 56, 9), "Отказ"_oem, cmdCancel, 0).release());
    dialog.InsertView(
        MakeObject<tButton>(MakeRect(57, 7, 67, 9), "Помощь"_oem, cmdHelp, 0).release());
    made.Inputs[0]->SelectView();
    return made;
}

// The first field whose text does not parse, after telling the operator why; -1 when all do.
int RefusedField(const tParamsDialog& made, std::int32_t& fileSize, std::int32_t& workTime,
                 std::int32_t& period) {
    fileSize = ParseFileSize(TrimmedDirectory(made.Inputs[1]->LineText()));
    if (fileSize < 0) {
        MessageBoxCall(FileSizeRefusal(), mbError | mbContinue);
        return 1;
    }
    std::int32_t* times[] = {&workTime, &period};
    for (int i = 0; i < 2; ++i) {
        *times[i] = ParseTimeOfDay(TrimmedDirectory(made.Inputs[2 + i]->LineText()));
        if (*times[i] < 0) {
            MessageBoxCall(TimeRefusal(), mbError | mbContinue);
            return 2 + i;
        }
    }
    return -1;
}

} // namespace

bool GetTestParams(std::string& directory, std::int32_t& fileSize, std::int32_t& workTime,
                   std::int32_t& period) {
    tParamsDialog made = MakeParamsDialog();
    if (!made.Dialog || gDeskTop == nullptr)
        return false;
    for (;;) {
        if (gDeskTop->RunView(made.Dialog.get()) != cmdOk || ShutdownRequested())
            return false;
        directory = TrimmedDirectory(made.Inputs[0]->LineText());
        if (directory.size() > kMaxDirectoryLength)
            directory.resize(kMaxDirectoryLength);
        int refused = RefusedField(made, fileSize, workTime, period);
        if (refused >= 0) {
            made.Inputs[std::size_t(refused)]->SelectView();
            continue;
        }
        if (CheckServerDirectory(directory))
            return true;
        made.Inputs[0]->SelectView();
    }
}

} // namespace zarvo
