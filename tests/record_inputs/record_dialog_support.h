// What the record dialog tests share: an 80 x 25 screen whose root feeds back what views post,
// plain makers (input lines and a three-column chooser) that note what they were asked for,
// the messages shown, and the records the tests build dialogs from.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "record_inputs/field_controls.h"
#include "record_inputs/input_commands.h"
#include "record_inputs/record_dialog.h"
#include "records/mem_record.h"
#include "tests/views/dialog_test_support.h"
#include "views/input_line.h"
#include "views/message_box_call.h"
#include "views/static_text.h"

namespace zarvo::testing_record_dialogs {

using namespace testing_dialogs;

// An input line over a 16-bit field: it refuses to be left or accepted with a text that is
// not a number up to 65535 (selecting itself and telling why), and stores only when asked.
class tBoundWord : public tInputLine {
  public:
    tBoundWord(const tRect& bounds, std::uint16_t* place) : tInputLine(bounds, 5), Place(place) {
        // The field may lie at any offset of the record: copied, never dereferenced.
        std::uint16_t value;
        std::memcpy(&value, place, sizeof value);
        SetLineText(std::to_string(value));
        AcceptMask |= evtBroadcast;
    }
    bool Valid(std::uint16_t command) override {
        if ((command == cmdValidateAll || command == cmdValidateField) && !Parse(nullptr)) {
            SelectView();
            MessageBoxCall("Неправильно введено поле. Повторите"_oem, 1026);
            return false;
        }
        return tInputLine::Valid(command);
    }
    void HandleEvent(TEventRec& event) override {
        tInputLine::HandleEvent(event);
        if (event.what == evtBroadcast && event.message.command == cmdStoreFields)
            Parse(Place);
    }
    bool Parse(std::uint16_t* into) const {
        const std::string text = LineText();
        if (text.empty() || text.size() > 5 ||
            text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) > 65535)
            return false;
        if (into != nullptr) {
            auto value = std::uint16_t(std::stoi(text));
            std::memcpy(into, &value, sizeof value);
        }
        return true;
    }
    std::uint16_t* Place;
};

struct tMadeControl {
    tRect Bounds; // as the maker was asked
    tView* View;
    int Field;
    tView* Input = nullptr; // companions: the input they stand beside
};

struct tShownMessage {
    std::string Text;
    std::uint16_t Flags;
};

// The parameter record of the network test: a 250-character directory (display name
// "Имя кат"), a 16-bit size of 100 and two times, every field in mask 1.
inline tObjectPtr<tMemRecord> MakeParamsRecord() {
    auto record = MakeObject<tMemRecord>(2, "", "");
    record->AddField(ftString, 250, "ВремКат"_oem, "", "");
    record->SetAltNames(1, "Имя кат"_oem, "Каталог на сервере"_oem);
    record->AddField(ftWord, 5, "ОЗУ"_oem, "Размер файла, Мб"_oem, "");
    record->AddField(ftTime, 8, "Время"_oem, "Время раб. (0-до прер. польз.)"_oem, "");
    record->AddField(ftTime, 8, "Период"_oem, "Период между итерациями"_oem, "");
    for (int n = 1; n <= record->FieldCount(); ++n)
        record->SetFieldFlags(n, 1);
    record->AllocData();
    return record;
}

// COUNT 16-bit fields captioned "Поле 1", "Поле 2", ..., with FLAGS.
inline tObjectPtr<tMemRecord> MakeWordRecord(int count, std::uint32_t flags = ffDefaultMask) {
    auto record = MakeObject<tMemRecord>(count, "", "");
    for (int n = 1; n <= count; ++n) {
        std::string caption = std::string("Поле "_oem) + std::to_string(n);
        record->AddField(ftWord, 5, "", caption, "");
        record->SetFieldFlags(n, flags);
    }
    record->AllocData();
    return record;
}

class tRecordDialogScreen : public tDialogScreen {
  protected:
    void SetUp() override {
        tDialogScreen::SetUp();
        s_Screen = this;
        m_InputBefore = FieldInputFactory;
        m_CompanionBefore = FieldCompanionFactory;
        m_HookBefore = MessageBoxHook;
        FieldInputFactory = &PlainInput;
        FieldCompanionFactory = &PlainCompanion;
        MessageBoxHook = &NoteMessage;
    }
    void TearDown() override {
        FieldInputFactory = m_InputBefore;
        FieldCompanionFactory = m_CompanionBefore;
        MessageBoxHook = m_HookBefore;
        s_Screen = nullptr;
        tDialogScreen::TearDown();
    }

    tObjectPtr<tMultiDialog> Build(tMemRecord& record, std::uint32_t mask,
                                   std::string_view title = "Запись"_oem, std::uint16_t flags = 0) {
        return BuildRecordDialog(record.FieldAddress(1), record, mask, title, flags);
    }

    // An input line of the text length the bounds ask for, cut at the row's right limit.
    // 16-bit fields get a tBoundWord.
    static tObjectPtr<tView> PlainInput(const tRect& bounds, tIARecord& record, int n) {
        if (s_Screen->RefusedField == n)
            return nullptr;
        tRect cut = bounds;
        cut.Right = std::int16_t(std::min<int>(cut.Right, kRowRightLimit));
        tObjectPtr<tView> input;
        if (record.FieldType(n) == ftWord)
            input =
                MakeObject<tBoundWord>(cut, static_cast<std::uint16_t*>(record.FieldAddress(n)));
        else
            input = MakeObject<tInputLine>(cut, std::int16_t(bounds.Right - bounds.Left - 2));
        s_Screen->Made.push_back({bounds, input.get(), n});
        return input;
    }
    // "[v]" beside the directory field only.
    static tObjectPtr<tView> PlainCompanion(const tRect& bounds, tIARecord& record, int n,
                                            tView* input) {
        if (record.DisplayName(n) != "Имя кат"_oem && s_Screen->CompanionField != n)
            return nullptr;
        auto chooser = MakeObject<tStaticText>(
            MakeRect(bounds.Left, bounds.Top, bounds.Left + 3, bounds.Top + 1), "[v]");
        s_Screen->Companions.push_back({bounds, chooser.get(), n, input});
        return chooser;
    }
    static std::uint16_t NoteMessage(std::string_view text, std::uint16_t flags, void*) {
        s_Screen->Messages.push_back({std::string(text), flags});
        return cmdOk;
    }

    std::vector<tMadeControl> Made;
    std::vector<tMadeControl> Companions;
    std::vector<tShownMessage> Messages;
    int RefusedField = 0;   // the plain input maker makes nothing for this field
    int CompanionField = 0; // a chooser for this field too

  private:
    static inline tRecordDialogScreen* s_Screen = nullptr;
    tFieldInputMaker m_InputBefore = nullptr;
    tFieldCompanionMaker m_CompanionBefore = nullptr;
    tMessageBoxHook m_HookBefore = nullptr;
};

} // namespace zarvo::testing_record_dialogs
