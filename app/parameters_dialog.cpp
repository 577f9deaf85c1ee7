// The parameters asked for in the dialog "Параметры работы", generated from a four-field
// record; each refused attempt brings the same dialog back with everything entered kept.
#include <cstring>

#include "app/parameters.h"
#include "app/test_params_record.h"
#include "library/paths.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "record_inputs/record_dialog.h"
#include "records/field_text.h"
#include "records/field_types.h"
#include "records/mem_record.h"
#include "views/application.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/help_box.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint32_t kParamsMask = 1;
constexpr std::uint16_t kRefusalFlags = mbError | mbContinue;

// The application's count of close requests when the parameter stage began; -1 outside it.
std::int64_t gClosesAtStageStart = -1;

class tParameterStage {
  public:
    tParameterStage() {
        gClosesAtStageStart = gApplication != nullptr ? gApplication->ClosesMet : 0;
    }
    ~tParameterStage() { gClosesAtStageStart = -1; }
    tParameterStage(const tParameterStage&) = delete;
    tParameterStage& operator=(const tParameterStage&) = delete;
};

} // namespace

bool ParameterStageGivenUp() {
    return gClosesAtStageStart >= 0 && gApplication != nullptr &&
           std::int64_t(gApplication->ClosesMet) != gClosesAtStageStart;
}

tObjectPtr<tMemRecord> MakeTestParamsRecord() {
    auto record = MakeObject<tMemRecord>(2, "", "");
    if (!ValidateRef(record))
        return {};
    record->AddField(ftString, 250, "ВремКат"_oem, "", "");
    record->SetAltNames(1, "Имя кат"_oem, "Каталог на сервере"_oem);
    record->AddField(ftWord, 5, "ОЗУ"_oem, "Размер файла, Мб"_oem, "");
    record->AddField(ftTime, 8, "Время"_oem, "Время раб. (0-до прер. польз.)"_oem, "");
    record->AddField(ftTime, 8, "Период"_oem, "Период между итерациями"_oem, "");
    // The mask 1 selects all four for the dialog.
    for (int n = 1; n <= record->FieldCount(); ++n)
        record->SetFieldFlags(n, kParamsMask);
    record->AllocData();
    if (!ValidateRef(record))
        return {};
    return record;
}

bool GetTestParams(std::string& directory, std::int32_t& fileSize, std::int32_t& workTime,
                   std::int32_t& period) {
    tObjectPtr<tMemRecord> record = MakeTestParamsRecord();
    if (!record)
        return false;
    std::memset(record->FieldAddress(1), 0, record->AllocatedSize());
    std::uint16_t defaultSize = 100;
    std::int32_t defaultPeriod = 3600;
    record->SetField(2, &defaultSize);
    record->SetField(4, &defaultPeriod);
    tObjectPtr<tMultiDialog> dialog =
        BuildRecordDialog(record->FieldAddress(1), *record, kParamsMask, "Параметры работы"_oem, 0);
    if (!ValidateRef(dialog) || gDeskTop == nullptr)
        return false;
    dialog->HelpTopic = kParametersDialogHelp;
    // A close request gives up here, even while a refusal's box is open over the dialog.
    tParameterStage stage;
    for (;;) {
        if (ParameterStageGivenUp())
            return false;
        if (gDeskTop->RunView(dialog.get()) != cmdOk || ShutdownRequested() ||
            ParameterStageGivenUp())
            return false;
        fileSize = 0;
        directory = TrimmedDirectory(FieldAsText(*record, 1));
        if (directory.size() > kMaxDirectoryLength)
            directory.resize(kMaxDirectoryLength);
        std::uint16_t size = 0;
        record->GetField(2, &size);
        fileSize = size;
        record->GetField(3, &workTime);
        record->GetField(4, &period);
        if (directory.empty())
            MessageBoxCall("Не указан каталог на сервере"_oem, kRefusalFlags);
        else if (ServerDirectoryAnswers(directory))
            return true;
    }
}

} // namespace zarvo
