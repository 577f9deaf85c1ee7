// What the status line lists for each part of the dialogs demo.
#include "tests/dialogs_demo/demo_status.h"

#include <string>
#include <vector>

#include "console/key_codes.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "platform/resources.h"
#include "views/commands.h"
#include "views/menu_view.h"
#include "views/status_line_cache.h"

namespace zarvo::demo {

namespace {

constexpr std::string_view kDesktopHint = "DLGDEMODT";
constexpr std::string_view kButtonHint = "DLGDEMOBT";
constexpr std::string_view kCheckBoxHint = "DLGDEMOCB";
constexpr std::string_view kRadioHint = "DLGDEMORB";
constexpr std::string_view kInputLineHint = "DLGDEMOIL";
constexpr std::string_view kListBoxHint = "DLGDEMOLB";
constexpr std::string_view kHistoryHint = "DLGDEMOHS";

// The screen's arrow glyphs (CP866 0x18 up, 0x19 down, 0x1A right, 0x1B left).
const std::string kUpDown = "\x18\x19";
const std::string kLeftRight = "\x1B\x1A";

std::string Item(std::string_view key, std::string_view text) {
    return "~" + std::string(key) + "~ " + std::string(text);
}

// Tab, the control's own keys, then Enter and Esc: the keys every control of the dialog has.
tStatusItemPtr ControlKeys(tStatusItemPtr own) {
    tStatusItemPtr tail = NewStatusKey(Item("Enter", "Принять"_oem), 0, cmdOk,
                                       NewStatusKey(Item("Esc", "Отмена"_oem), 0, cmdCancel));
    if (own == nullptr) {
        own = std::move(tail);
    } else {
        TStatusItemRec* last = own.get();
        while (last->Next != nullptr)
            last = last->Next.get();
        last->Next = std::move(tail);
    }
    return NewStatusKey(Item("Tab", "Переход"_oem), 0, cmdNextControl, std::move(own));
}

tStatusItemPtr ListFor(std::string_view hint) {
    if (hint == kDesktopHint)
        return NewStatusKey(Item("Alt+X", "Выход"_oem), kKeyAltX, cmdQuit,
                            NewStatusKey(Item("F10", "Меню"_oem), kKeyF10, cmdMenu,
                                         NewStatusKey(Item("F6", "Дальше"_oem), kKeyF6, cmdNext,
                                                      NewStatusKey(Item("Alt+F3", "Закрыть"_oem),
                                                                   kKeyAltF3, cmdClose))));
    if (hint == kButtonHint)
        return ControlKeys(NewStatusKey(Item("Пробел"_oem, "Нажать"_oem), 0, 0));
    if (hint == kCheckBoxHint)
        return ControlKeys(NewStatusKey(Item(kUpDown, "Пункт"_oem), 0, 0,
                                        NewStatusKey(Item("Пробел"_oem, "Отметить"_oem), 0, 0)));
    if (hint == kRadioHint)
        return ControlKeys(NewStatusKey(Item(kUpDown, "Выбор"_oem), 0, 0));
    if (hint == kInputLineHint)
        return ControlKeys(NewStatusKey(Item(std::string_view("\x19"), "История"_oem), 0, 0,
                                        NewStatusKey(Item("Ins", "Вставка"_oem), 0, 0)));
    if (hint == kListBoxHint)
        return ControlKeys(NewStatusKey(Item("Буквы"_oem, "Поиск"_oem), 0, 0,
                                        NewStatusKey(Item(kUpDown, "Выбор"_oem), 0, 0)));
    if (hint == kHistoryHint)
        return NewStatusKey(Item("Enter", "Выбрать"_oem), 0, cmdOk,
                            NewStatusKey(Item("Del", "Удалить"_oem), 0, 0,
                                         NewStatusKey(Item("Esc", "Отмена"_oem), 0, cmdCancel)));
    if (hint == kMenuHint)
        return NewStatusKey(Item("Enter", "Выбрать"_oem), 0, 0,
                            NewStatusKey(Item(kLeftRight, "Меню"_oem), 0, 0,
                                         NewStatusKey(Item("Esc", "Закрыть"_oem), 0, 0)));
    return nullptr;
}

constexpr std::string_view kHints[] = {kDesktopHint,   kButtonHint,  kCheckBoxHint, kRadioHint,
                                       kInputLineHint, kListBoxHint, kHistoryHint,  kMenuHint};

} // namespace

void RegisterDemoStatusLists() {
    // The resource table keeps views of the bytes: they live as long as the program.
    static std::vector<std::vector<std::uint8_t>> bytes;
    static std::vector<std::string> names;
    bytes.reserve(std::size(kHints));
    names.reserve(std::size(kHints));
    for (std::string_view hint : kHints) {
        tMemoryStream stream;
        WriteStatusItems(stream, ListFor(hint).get());
        bytes.push_back(stream.Bytes());
        names.push_back(std::string(kStatusLineResourcePrefix) + std::string(hint));
        RegisterResource(names.back(), kFrameworkResourceType, bytes.back());
    }
}

tStatusDefPtr DemoStatusDefinitions() {
    return NewStatusDef(
        kDesktopTopic, kDesktopTopic, kDesktopHint,
        NewStatusDef(
            kHistoryTopic, kHistoryTopic, kHistoryHint,
            NewStatusDef(
                kButtonTopic, kButtonTopic + 9, kButtonHint,
                NewStatusDef(
                    kCheckBoxTopic, kCheckBoxTopic + 9, kCheckBoxHint,
                    NewStatusDef(kRadioTopic, kRadioTopic + 9, kRadioHint,
                                 NewStatusDef(kInputLineTopic, kInputLineTopic + 9, kInputLineHint,
                                              NewStatusDef(kListBoxTopic, kListBoxTopic + 9,
                                                           kListBoxHint)))))));
}

} // namespace zarvo::demo
