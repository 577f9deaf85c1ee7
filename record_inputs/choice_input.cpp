// The typed choices: binding, storing on request, and the current field's say before a
// click or a hot key moves the focus here.
#include "record_inputs/choice_input.h"

#include <cstring>

#include "platform/cp866.h"
#include "record_inputs/input_commands.h"
#include "views/group.h"
#include "views/hot_letter.h"

namespace zarvo {

namespace {

// Whether EVENT would move the focus to CLUSTER from another control: a press on it, or
// one of its hot keys, while it is not the current control.
bool WouldTakeFocus(tCluster& cluster, const TEventRec& event) {
    if (cluster.HasState(ViewState::Selected) || cluster.Owner == nullptr)
        return false;
    if (event.what == evtMouseDown)
        return true;
    if (event.what != evtKeyDown)
        return false;
    bool plainLetters = cluster.Owner->DispatchPhase == 2;
    for (std::int16_t item = 0; item < cluster.ItemCount(); ++item) {
        char hot = HotLetter(cluster.ItemText(item));
        if (IsAltHotKey(hot, event.key.keyCode) ||
            (plainLetters && TypesHotLetter(hot, event.key.keyCode)))
            return true;
    }
    return false;
}

// The choices' part of HandleEvent before the cluster's own; false when the event is done.
// SIZE bytes of the value are stored on cmdStoreFields.
bool ChoiceEvent(tCluster& cluster, void* bound, std::size_t size, TEventRec& event) {
    if (WouldTakeFocus(cluster, event)) {
        tView* current = cluster.Owner->CurrentView;
        if (current != nullptr && current != &cluster && !current->Valid(cmdValidateField)) {
            cluster.ConsumeEvent(event);
            return false;
        }
    }
    if (event.what == evtBroadcast && bound != nullptr) {
        if (event.message.command == cmdStoreFields)
            std::memcpy(bound, &cluster.ClusterValue, size);
        else if (event.message.command == cmdReloadFields)
            cluster.ImportData(bound);
    }
    return true;
}

std::unique_ptr<tSItem> YesNoItems(std::unique_ptr<tSItem> items) {
    if (items != nullptr)
        return items;
    return NewSItem("Нет"_oem, NewSItem("Да"_oem, nullptr));
}

} // namespace

// ---- TInputBoolean

TInputBoolean::TInputBoolean(void* place, std::unique_ptr<tSItem> items, const tRect& bounds)
    : tRadioButtons(bounds, YesNoItems(std::move(items))) {
    AcceptMask |= evtBroadcast;
    if (place != nullptr)
        ImportData(place);
}

TInputBoolean::TInputBoolean(tStreamLoad) : tRadioButtons(kStreamLoad) {}

std::uint16_t TInputBoolean::StoreID() const {
    return 247;
}

std::uint16_t TInputBoolean::DataLength() {
    return 1;
}

void TInputBoolean::ImportData(const void* record) {
    Bound = const_cast<void*>(record);
    std::uint16_t value = *static_cast<const std::uint8_t*>(record) != 0 ? 1 : 0;
    tRadioButtons::ImportData(&value);
}

void TInputBoolean::ExportData(void* record) {
    *static_cast<std::uint8_t*>(record) = std::uint8_t(ClusterValue);
}

void TInputBoolean::HandleEvent(TEventRec& event) {
    if (ChoiceEvent(*this, Bound, 1, event))
        tRadioButtons::HandleEvent(event);
}

// ---- TInputCheckBox

TInputCheckBox::TInputCheckBox(void* place, std::unique_ptr<tSItem> items, const tRect& bounds)
    : tCheckBoxes(bounds, std::move(items)) {
    AcceptMask |= evtBroadcast;
    if (place != nullptr)
        ImportData(place);
}

TInputCheckBox::TInputCheckBox(tStreamLoad) : tCheckBoxes(kStreamLoad) {}

std::uint16_t TInputCheckBox::StoreID() const {
    return 244;
}

void TInputCheckBox::ImportData(const void* record) {
    Bound = const_cast<void*>(record);
    tCheckBoxes::ImportData(record);
}

void TInputCheckBox::HandleEvent(TEventRec& event) {
    if (ChoiceEvent(*this, Bound, sizeof ClusterValue, event))
        tCheckBoxes::HandleEvent(event);
}

// ---- TInputRadioButton

TInputRadioButton::TInputRadioButton(void* place, std::unique_ptr<tSItem> items,
                                     const tRect& bounds)
    : tRadioButtons(bounds, std::move(items)) {
    AcceptMask |= evtBroadcast;
    if (place != nullptr)
        ImportData(place);
}

TInputRadioButton::TInputRadioButton(tStreamLoad) : tRadioButtons(kStreamLoad) {}

std::uint16_t TInputRadioButton::StoreID() const {
    return 245;
}

void TInputRadioButton::ImportData(const void* record) {
    Bound = const_cast<void*>(record);
    tRadioButtons::ImportData(record);
}

void TInputRadioButton::HandleEvent(TEventRec& event) {
    if (ChoiceEvent(*this, Bound, sizeof ClusterValue, event))
        tRadioButtons::HandleEvent(event);
}

} // namespace zarvo
