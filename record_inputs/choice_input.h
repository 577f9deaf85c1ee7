// The typed choices: yes/no radio buttons over a byte (TInputBoolean), and check boxes and
// radio buttons over a 16-bit value. Like the typed inputs they write their value only on
// cmdStoreFields, and a click or hot key reaches them only when the current field agrees
// to be left.
#pragma once

#include <memory>

#include "views/cluster.h"

namespace zarvo {

class TInputBoolean : public tRadioButtons {
  public:
    // ITEMS null: "Нет" (0) and "Да" (1).
    TInputBoolean(void* place, std::unique_ptr<tSItem> items, const tRect& bounds);
    explicit TInputBoolean(tStreamLoad);

    std::uint16_t StoreID() const override; // 247
    std::uint16_t DataLength() override;    // 1
    void ExportData(void* record) override;
    void HandleEvent(TEventRec& event) override;
    // Binds RECORD and shows its byte (any value but 0 as yes).
    void ImportData(const void* record) override;

    void* Bound = nullptr;
};

class TInputCheckBox : public tCheckBoxes {
  public:
    TInputCheckBox(void* place, std::unique_ptr<tSItem> items, const tRect& bounds);
    explicit TInputCheckBox(tStreamLoad);

    std::uint16_t StoreID() const override; // 244
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;

    void* Bound = nullptr;
};

class TInputRadioButton : public tRadioButtons {
  public:
    TInputRadioButton(void* place, std::unique_ptr<tSItem> items, const tRect& bounds);
    explicit TInputRadioButton(tStreamLoad);

    std::uint16_t StoreID() const override; // 245
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;

    void* Bound = nullptr;
};

} // namespace zarvo
