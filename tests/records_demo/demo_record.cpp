// The records demo's record and its starting values.
#include "tests/records_demo/demo_record.h"

#include <cstring>

#include "library/dates.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "records/field_types.h"

namespace zarvo::demo {

namespace {

struct tDemoField {
    std::uint8_t Type;
    int Length;
    std::string_view Caption;
};

// Captions double as short names; the order is the dialog's.
constexpr tDemoField kFields[] = {
    {ftWord, 5, "Целое"},
    {ftDate, 10, "Дата"},
    {ftTime, 8, "Время"},
    {ftString, 40, "Строка"},
    {ftBoolean, 3, "Да/Нет"},
    {ftByte, 3, "Короткое целое"},
    {ftShortInt, 4, "Короткое со знаком"},
    {ftInteger, 6, "Целое со знаком"},
    {ftLongInt, 11, "Длинное целое"},
    {ftComp, 20, "64-битное целое"},
    {ftSingle, 9, "Короткое вещественное"},
    {ftReal, 13, "6-байтное вещественное"},
    {ftDouble, 17, "Длинное вещественное"},
    {ftExtended, 21, "80-битное вещественное"},
    {ftPString, 30, "Строка с длиной"},
    {ftHidden, 5, "Скрытое"},
    {ftSet, 3, "Множество"},
    {ftPeriod, 5, "Период"},
    {ftCode, 4, "Код"},
};

void SetStartValues(tMemRecord& record) {
    const std::uint16_t word = 100, day = EncodeDate(15, 3, 2027);
    const std::int32_t time = 3600;
    record.SetField(1, &word);
    record.SetField(2, &day);
    record.SetField(3, &time);
    const std::string_view text = "Запись"_oem;
    std::memcpy(record.FieldAddress(4), text.data(), text.size());
    const double half = 0.5;
    record.SetField(13, &half);
}

} // namespace

tObjectPtr<tMemRecord> MakeDemoRecord() {
    auto record = MakeObject<tMemRecord>(20, "ДЕМО"_oem, "Все типы полей"_oem);
    for (const tDemoField& field : kFields) {
        const std::string caption = Utf8ToCp866(field.Caption);
        record->AddField(field.Type, field.Length, caption.substr(0, kFieldNameLength), caption,
                         "");
    }
    for (int n = 1; n <= record->FieldCount(); ++n) {
        record->SetFieldFlags(n, kDemoFieldMask);
        if (record->LimitKind(n) == lkMinMaxDecimals)
            record->SetDecimals(n, 2);
    }
    const std::int16_t low = -1000, high = 1000;
    record->SetLimits(8, &low, &high);
    record->SetCodeParams(19, 0x0304); // four groups of three digits
    record->SetFieldWidth(19, 15);
    if (!record->AllocData())
        return nullptr;
    SetStartValues(*record);
    if (!ValidateRef(record))
        return nullptr;
    return record;
}

} // namespace zarvo::demo
