// The dialogs demo's dialog: its layout, its record in and out, and the record described.
#include "tests/dialogs_demo/demo_dialog.h"

#include <cstring>
#include <vector>

#include "platform/cp866.h"
#include "tests/dialogs_demo/demo_names.h"
#include "tests/dialogs_demo/demo_status.h"
#include "views/button.h"
#include "views/cluster.h"
#include "views/commands.h"
#include "views/dialog.h"
#include "views/history.h"
#include "views/history_store.h"
#include "views/input_line.h"
#include "views/label.h"
#include "views/list_box.h"
#include "views/scroll_bar.h"
#include "views/static_text.h"

namespace zarvo::demo {

namespace {

constexpr std::string_view kMailingItems[] = {"~Н~овости"_oem, "~А~кции и скидки"_oem,
                                              "~Е~женедельная сводка"_oem};
constexpr std::string_view kDeliveryItems[] = {"~К~урьер"_oem, "Са~м~овывоз"_oem,
                                               "~Т~ранспортная компания"_oem};
constexpr std::string_view kTowns[] = {"Москва"_oem, "Санкт-Петербург"_oem, "Казань"_oem};

// The controls whose data makes the record.
struct tDemoControls {
    tInputLine* City = nullptr;
    tCheckBoxes* Mailing = nullptr;
    tRadioButtons* Delivery = nullptr;
    tSortedListBox* Person = nullptr;
};

template <std::size_t N> std::unique_ptr<tSItem> Items(const std::string_view (&texts)[N]) {
    std::unique_ptr<tSItem> chain;
    for (std::size_t i = N; i-- > 0;)
        chain = NewSItem(texts[i], std::move(chain));
    return chain;
}

// Inserts V (the next in tab and data order) and answers it.
template <class T> T* Add(tDialog& dialog, T* view, std::uint16_t helpTopic = 0) {
    if (helpTopic != 0)
        view->HelpTopic = helpTopic;
    dialog.InsertView(view);
    return view;
}

void AddLabel(tDialog& dialog, int x, int y, std::string_view text, tView* link) {
    int width = HotTextLength(text) + 2;
    Add(dialog, MakeObject<tLabel>(MakeRect(x, y, x + width, y + 1), text, link).release());
}

// The left column: the town with its history, the mailings, the delivery, a note.
void AddLeftColumn(tDialog& dialog, tDemoControls& controls) {
    controls.City =
        Add(dialog, MakeObject<tInputLine>(MakeRect(3, 3, 31, 4), kCityLength).release(),
            kInputLineTopic);
    AddLabel(dialog, 2, 2, "~Г~ород"_oem, controls.City);
    Add(dialog,
        MakeObject<tHistory>(MakeRect(31, 3, 34, 4), controls.City, kCityHistoryId).release());

    controls.Mailing =
        Add(dialog, MakeObject<tCheckBoxes>(MakeRect(3, 6, 34, 9), Items(kMailingItems)).release(),
            kCheckBoxTopic);
    AddLabel(dialog, 2, 5, "~Р~ассылки"_oem, controls.Mailing);

    controls.Delivery = Add(
        dialog, MakeObject<tRadioButtons>(MakeRect(3, 11, 34, 14), Items(kDeliveryItems)).release(),
        kRadioTopic);
    AddLabel(dialog, 2, 10, "~Д~оставка"_oem, controls.Delivery);

    Add(dialog, MakeObject<tStaticText>(MakeRect(3, 15, 34, 18),
                                        "Список сотрудников упорядочен: наберите начало "
                                        "фамилии, и выбор перейдет к ней."_oem)
                    .release());
}

// The right column: the names with their scroll bar, then the buttons under them.
void AddRightColumn(tDialog& dialog, tDemoControls& controls) {
    auto* bar = MakeObject<tScrollBar>(MakeRect(67, 3, 68, 15)).release();
    controls.Person =
        Add(dialog, MakeObject<tSortedListBox>(MakeRect(37, 3, 67, 15), 1, bar).release(),
            kListBoxTopic);
    Add(dialog, bar);
    AddLabel(dialog, 36, 2, "~С~отрудник"_oem, controls.Person);

    Add(dialog,
        MakeObject<tButton>(MakeRect(37, 16, 51, 18), "~П~ринять"_oem, cmdOk,
                            ButtonFlag::IsDefaultButton)
            .release(),
        kButtonTopic);
    Add(dialog,
        MakeObject<tButton>(MakeRect(53, 16, 67, 18), "~О~тказ"_oem, cmdCancel, 0).release(),
        kButtonTopic);
}

tObjectPtr<tDialog> MakeDemoDialog(tDemoControls& controls) {
    auto dialog = MakeObject<tDialog>(MakeRect(0, 0, 72, 20), "Анкета"_oem);
    dialog->OptionFlags |= ViewOption::Centered;
    AddLeftColumn(*dialog, controls);
    AddRightColumn(*dialog, controls);
    controls.City->SelectView();
    return dialog;
}

// Where VIEW's data starts in its group's record: records run from the back view to the
// front one.
std::size_t DataOffset(tGroup& group, const tView* view) {
    std::size_t offset = 0;
    for (tView* p = group.LastView; p != nullptr && p != view;) {
        offset += p->DataLength();
        p = p == group.FirstView() ? nullptr : p->Predecessor();
    }
    return offset;
}

void WriteRecord(tGroup& dialog, const tDemoControls& controls, const tDemoRecord& record,
                 std::vector<std::uint8_t>& bytes) {
    std::uint8_t* city = bytes.data() + DataOffset(dialog, controls.City);
    std::size_t length = std::min<std::size_t>(record.City.size(), kCityLength);
    city[0] = std::uint8_t(length);
    std::memcpy(city + 1, record.City.data(), length);
    std::memcpy(bytes.data() + DataOffset(dialog, controls.Mailing), &record.Mailing, 2);
    std::memcpy(bytes.data() + DataOffset(dialog, controls.Delivery), &record.Delivery, 2);
    tListBoxRecord list{record.Names, record.Person};
    std::memcpy(bytes.data() + DataOffset(dialog, controls.Person), &list, sizeof list);
}

tDemoRecord ReadRecord(tGroup& dialog, const tDemoControls& controls,
                       const std::vector<std::uint8_t>& bytes) {
    tDemoRecord record;
    const std::uint8_t* city = bytes.data() + DataOffset(dialog, controls.City);
    record.City.assign(reinterpret_cast<const char*>(city + 1),
                       std::min<std::size_t>(city[0], kCityLength));
    std::memcpy(&record.Mailing, bytes.data() + DataOffset(dialog, controls.Mailing), 2);
    std::memcpy(&record.Delivery, bytes.data() + DataOffset(dialog, controls.Delivery), 2);
    tListBoxRecord list;
    std::memcpy(&list, bytes.data() + DataOffset(dialog, controls.Person), sizeof list);
    record.Names = dynamic_cast<tStringCollection*>(list.List);
    record.Person = list.Focused;
    return record;
}

// An item's text without its hot-letter marks, in UTF-8.
std::string Plain(std::string_view text) {
    std::string plain;
    for (char ch : text)
        if (ch != '~')
            plain += ch;
    return Cp866ToUtf8(plain);
}

} // namespace

tDemoDialogState::tDemoDialogState() : m_Names(MakeDemoNames()) {
    Record.Mailing = 1;
    Record.Names = m_Names.get();
}

tDemoDialogState::~tDemoDialogState() = default;

bool tDemoDialogState::Run(tGroup& owner) {
    tDemoControls controls;
    tObjectPtr<tDialog> dialog = MakeDemoDialog(controls);
    std::vector<std::uint8_t> bytes(dialog->DataLength());
    WriteRecord(*dialog, controls, Record, bytes);
    dialog->ImportData(bytes.data());
    bool accepted = owner.RunView(dialog.get()) == cmdOk;
    if (accepted) {
        dialog->ExportData(bytes.data());
        Record = ReadRecord(*dialog, controls, bytes);
    }
    return accepted;
}

std::string DescribeRecord(const tDemoRecord& record) {
    std::string text = "Анкета принята:\n";
    text +=
        "  Город: " + (record.City.empty() ? std::string("(пусто)") : Cp866ToUtf8(record.City)) +
        "\n";
    std::string marked;
    for (std::size_t i = 0; i < std::size(kMailingItems); ++i)
        if (record.Mailing & (1u << i))
            marked += (marked.empty() ? "" : ", ") + Plain(kMailingItems[i]);
    text += "  Рассылки: " + (marked.empty() ? std::string("нет") : marked) + " (" +
            std::to_string(record.Mailing) + ")\n";
    std::string delivery = record.Delivery < std::size(kDeliveryItems)
                               ? Plain(kDeliveryItems[record.Delivery])
                               : std::string("?");
    text += "  Доставка: " + delivery + " (" + std::to_string(record.Delivery) + ")\n";
    std::string person = "нет";
    if (record.Names != nullptr && record.Person >= 0 && record.Person < record.Names->Count)
        person = Cp866ToUtf8(record.Names->TextAt(record.Person));
    text += "  Сотрудник: " + person + " (" + std::to_string(record.Person) + ")\n";
    return text;
}

void SeedCityHistory() {
    for (std::string_view town : kTowns)
        HistoryAdd(kCityHistoryId, town);
}

} // namespace zarvo::demo
