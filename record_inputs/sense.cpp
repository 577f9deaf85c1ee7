// Senses: choosing through a sense (click, Down, the display's click), resolving the input's
// text when a field validates, the idle refresh of the display, and the list sense.
#include "record_inputs/sense.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/key_codes.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "record_inputs/input_commands.h"
#include "records/field_input.h"
#include "views/dialog.h"
#include "views/group.h"
#include "views/list_box.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kNoticeFlags = mbContinue;
constexpr auto kSensePalette = MakePalette(22, 23);

// Whether some view took the lookup broadcast about VIEW.
bool LookupVetoed(tView& view) {
    return view.Owner != nullptr &&
           SendToView(view.Owner, evtBroadcast, cmdResolveLookup, &view) != nullptr;
}

} // namespace

// ---- TSenseInput

TSenseInput::TSenseInput(const tRect& bounds, std::int16_t maxLength)
    : tInputLine(bounds, maxLength) {}

TSenseInput::TSenseInput(tStreamLoad) : tInputLine(kStreamLoad) {}

void TSenseInput::HandleEvent(TEventRec& event) {
    // Del clears the chosen value: it is left to the sense, not used to edit the text.
    if (event.what == evtKeyDown && event.key.keyCode == kKeyDel)
        return;
    if (event.what == evtMouseDown) {
        SendToView(Owner, evtBroadcast, cmdSenseClicked, this);
        ConsumeEvent(event);
        return;
    }
    tInputLine::HandleEvent(event);
}

bool TSenseInput::Valid(std::uint16_t command) {
    if ((command == cmdValidateAll || command == cmdValidateField) && LookupVetoed(*this)) {
        SelectView();
        SelectAll(true);
        return false;
    }
    return true;
}

// ---- TAbstractSense

TAbstractSense::TAbstractSense(const tRect& bounds, tInputLine* display, std::int16_t length,
                               TAbstractInput* input)
    : tView(bounds), Length(std::clamp<std::int16_t>(length, 0, kMaxInputLength)) {
    OptionFlags |= ViewOption::PostProcess;
    AcceptMask |= evtBroadcast | evtIdle;
    SetDisplay(display);
    SetInput(input);
}

void TAbstractSense::SetInput(TAbstractInput* input) {
    if (Input != nullptr)
        Input->Unsubscribe(evnObjectFree, BindHandler<&TAbstractSense::OnInputFreed>(this));
    Input = input;
    if (Input != nullptr)
        Input->Subscribe(evnObjectFree, BindHandler<&TAbstractSense::OnInputFreed>(this));
}

void TAbstractSense::SetDisplay(tInputLine* display) {
    if (Display != nullptr)
        Display->Unsubscribe(evnObjectFree, BindHandler<&TAbstractSense::OnDisplayFreed>(this));
    Display = display;
    if (Display != nullptr)
        Display->Subscribe(evnObjectFree, BindHandler<&TAbstractSense::OnDisplayFreed>(this));
}

void TAbstractSense::OnInputFreed(EventFrame& frame) {
    if (frame.Argument == Input)
        Input = nullptr;
}

void TAbstractSense::OnDisplayFreed(EventFrame& frame) {
    if (frame.Argument == Display)
        Display = nullptr;
}

tPalette TAbstractSense::GetPalette() const {
    return kSensePalette.data();
}

// The look of a history button: a down arrow between two half blocks.
void TAbstractSense::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    tCell line[MaxLineCells];
    FillCells(line, ' ', MapColor(2), width);
    int arrow = width >= 3 ? 1 : 0;
    if (width >= 3) {
        line[0] = MakeCell(0xDE, MapColor(2));
        line[2] = MakeCell(0xDD, MapColor(2));
    }
    line[arrow] = MakeCell(0x19, MapColor(1));
    PutLine(0, 0, width, Height, line);
}

tView* TAbstractSense::Target() const {
    return Input != nullptr ? static_cast<tView*>(Input) : static_cast<tView*>(Display);
}

std::string TAbstractSense::CurrentText() const {
    if (Input != nullptr)
        return Input->LineText();
    if (TextPlace != nullptr)
        return std::string(TextPlace, strnlen(TextPlace, std::size_t(Length)));
    return std::string();
}

void TAbstractSense::ShowInDisplay(std::string_view text) {
    if (Display == nullptr)
        return;
    Display->SetLineText(text);
    Display->Repaint();
}

std::uint16_t TAbstractSense::DataLength() {
    return Input != nullptr ? 0 : std::uint16_t(Length + 1);
}

void TAbstractSense::ImportData(const void* record) {
    if (Input != nullptr)
        return;
    TextPlace = static_cast<char*>(const_cast<void*>(record));
    ShowInDisplay(CurrentText());
    RefreshPending = true;
}

void TAbstractSense::ExportData(void* record) {
    if (Input != nullptr || TextPlace == nullptr || record == TextPlace)
        return;
    std::memcpy(record, TextPlace, std::size_t(Length) + 1);
}

bool TAbstractSense::Choose() {
    std::uint16_t command = cmdCancel;
    RunChooser(command);
    if (command == cmdCancel)
        return false;
    SendToView(Owner, evtBroadcast, cmdSenseChosen, this);
    return true;
}

bool TAbstractSense::CheckText(std::string_view) {
    return true;
}

void TAbstractSense::RunChooser(std::uint16_t& command) {
    command = cmdCancel;
}

void TAbstractSense::ClearValue() {
    if (TextPlace != nullptr)
        std::memset(TextPlace, 0, std::size_t(Length) + 1);
    bool accepted = CheckText("");
    if (Display != nullptr)
        Display->SelectAll(accepted);
}

void TAbstractSense::ShowLookupError() {
    if (ErrorState == seNotFound) {
        std::string text =
            Input != nullptr ? std::string(TrimBlanks(Input->LineText())) : CurrentText();
        MessageBoxCall(std::string("Значение поля с кодом "_oem) + text +
                           std::string(" отсутствует в справочнике"_oem),
                       kNoticeFlags);
    } else if (ErrorState == seEmpty) {
        MessageBoxCall("Необходимо заполнить поле."_oem, kNoticeFlags);
    }
    ErrorState = seNone;
}

bool TAbstractSense::ResolveQuery(std::uint16_t command) {
    if (command != cmdResolveLookup || Input == nullptr || HasState(ViewState::Disabled))
        return true;
    std::vector<std::uint8_t> scratch(std::size_t(Input->DataLength()) + 1, 0);
    if (!Input->TextToValue(scratch.data())) {
        Input->SelectField();
        Input->ShowInputError();
        return false;
    }
    ShowInDisplay("");
    std::string text = Input->FilledText();
    if (!text.empty() && CheckText(text))
        return true;
    ErrorState = text.empty() ? seEmpty : seNotFound;
    return false;
}

// ---- events

void TAbstractSense::HandleEvent(TEventRec& event) {
    if (event.what == evtIdle) {
        if (RefreshPending && !Busy)
            Refresh(event);
        return;
    }
    tView::HandleEvent(event);
    switch (event.what) {
    case evtMouseDown:
        ChooseFor(event);
        break;
    case evtKeyDown: {
        tView* target = Target();
        if (event.key.keyCode == kKeyDown && target != nullptr &&
            target->HasState(ViewState::Focused)) {
            ChooseFor(event);
        } else if (event.key.keyCode == kKeyDel && Input == nullptr && Display != nullptr &&
                   Display->HasState(ViewState::Focused)) {
            ClearValue();
            ConsumeEvent(event);
        }
        break;
    }
    case evtBroadcast:
        if (event.message.command == cmdSenseClicked && Display != nullptr &&
            event.message.info == Display) {
            ChooseFor(event);
        } else if (event.message.command == cmdResolveLookup) {
            if (Input == nullptr && Display != nullptr && event.message.info == Display)
                ResolveDisplay(event);
            else if (Input != nullptr && event.message.info == Input)
                ResolveInput(event);
        } else if (event.message.command == cmdReloadFields) {
            if (Input == nullptr)
                ShowInDisplay(CurrentText());
            RefreshPending = true;
        }
        break;
    default:
        break;
    }
}

void TAbstractSense::Refresh(TEventRec& event) {
    Busy = true;
    RefreshPending = false;
    CheckText(CurrentText());
    if (Display != nullptr)
        Display->Repaint();
    ConsumeEvent(event);
    Busy = false;
}

bool TAbstractSense::TargetAgrees(tView* target) {
    if (target->HasState(ViewState::Disabled) || !target->HasOption(ViewOption::Selectable))
        return false;
    if (target->HasState(ViewState::Selected) || target->Owner == nullptr)
        return true;
    tView* current = target->Owner->CurrentView;
    return current == nullptr || current == target || current->Valid(cmdValidateField);
}

void TAbstractSense::ChooseFor(TEventRec& event) {
    ConsumeEvent(event);
    tView* target = Target();
    if (target == nullptr || Busy || !TargetAgrees(target))
        return;
    Busy = true;
    target->SelectView();
    bool chosen = Choose();
    // The chooser may have freed the views it was given.
    if (auto* line = dynamic_cast<tInputLine*>(Target()))
        line->SelectAll(chosen);
    if (Display != nullptr)
        Display->Repaint();
    Busy = false;
}

void TAbstractSense::ResolveDisplay(TEventRec& event) {
    if (Mode != smRequired)
        return;
    if (TrimBlanks(Display->LineText()).empty() && RefreshPending) {
        RefreshPending = false;
        CheckText(CurrentText());
    }
    if (Display != nullptr && TrimBlanks(Display->LineText()).empty()) {
        ErrorState = seEmpty;
        ShowLookupError();
        ConsumeEvent(event);
    }
}

void TAbstractSense::ResolveInput(TEventRec& event) {
    std::string text = Input->FilledText();
    if (Mode == smConvertOnly) {
        std::vector<std::uint8_t> scratch(std::size_t(Input->DataLength()) + 1, 0);
        Input->TextToValue(scratch.data());
        if (Display != nullptr) {
            ShowInDisplay("");
            CheckText(text);
            Display->Repaint();
        }
        return;
    }
    if (Mode == smNormal && text.empty()) {
        if (TextPlace != nullptr)
            std::memset(TextPlace, 0, std::size_t(Length) + 1);
        ShowInDisplay("");
        return;
    }
    if (!ResolveQuery(cmdResolveLookup)) {
        ConsumeEvent(event);
        ShowLookupError();
    }
}

// ---- TListSense

namespace {

// The list of a list sense: Enter (the dialog's default) and a picked item accept it.
class tListChooser : public tDialog {
  public:
    using tDialog::tDialog;
    void HandleEvent(TEventRec& event) override {
        tDialog::HandleEvent(event);
        if (event.what == evtBroadcast &&
            (event.message.command == cmdDefault || event.message.command == cmdItemPicked)) {
            ConsumeEvent(event);
            FinishModal(cmdOk);
        }
    }
};

} // namespace

TListSense::TListSense(const tRect& bounds, tInputLine* display, std::int16_t length,
                       TAbstractInput* input, tObjectPtr<tStringCollection> items)
    : TAbstractSense(bounds, display, length, input), Items(std::move(items)) {}

bool TListSense::CheckText(std::string_view text) {
    Current = -1;
    std::int64_t code = 0;
    if (Items == nullptr || !IntegerFromText(text, code) || code < 1 || code > Items->Count)
        return false;
    std::string name(TrimBlanks(Items->TextAt(std::int16_t(code - 1))));
    if (name.empty())
        return false;
    Current = std::int16_t(code - 1);
    ShowInDisplay(name);
    return true;
}

void TListSense::RunChooser(std::uint16_t& command) {
    command = cmdCancel;
    tGroup* host = Owner;
    while (host != nullptr && host->Owner != nullptr)
        host = host->Owner;
    if (host == nullptr || Items == nullptr || Items->Count == 0)
        return;
    int rows = std::min<int>(Items->Count, 12);
    int width = 20;
    for (std::int16_t i = 0; i < Items->Count; ++i)
        width = std::max<int>(width, int(Items->TextAt(i).size()) + 2);
    width = std::min(width, 60);
    tObjectPtr<tListChooser> dialog(
        new tListChooser(MakeRect(0, 0, width + 4, rows + 2), std::string_view()));
    dialog->OptionFlags |= ViewOption::Centered;
    auto* list = new tListBox(MakeRect(2, 1, width + 2, rows + 1), 1, nullptr);
    dialog->tInsert(list);
    CheckText(CurrentText());
    tListBoxRecord shown{Items.get(), std::int16_t(std::max<int>(Current, 0))};
    list->ImportData(&shown);
    list->SelectView();
    if (host->RunView(dialog.get()) != cmdOk)
        return;
    tListBoxRecord picked;
    list->ExportData(&picked);
    if (picked.Focused < 0 || picked.Focused >= Items->Count ||
        TrimBlanks(Items->TextAt(picked.Focused)).empty())
        return; // an empty item names nothing
    std::string code = std::to_string(picked.Focused + 1);
    if (Input != nullptr) {
        Input->SetLineText(code);
        Input->FillMask();
        Input->Repaint();
    } else if (TextPlace != nullptr) {
        std::memset(TextPlace, 0, std::size_t(Length) + 1);
        std::memcpy(TextPlace, code.data(), std::min(code.size(), std::size_t(Length)));
    }
    if (CheckText(code))
        command = cmdOk;
}

} // namespace zarvo
