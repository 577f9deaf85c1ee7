// The program's resources as objects: what each one holds.
#include "resources/resource_builders.h"

#include <string>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "platform/cp866.h"
#include "views/application.h"
#include "views/calculator.h"
#include "views/calendar.h"
#include "views/commands.h"
#include "views/help_box.h"
#include "views/status_line_cache.h"

namespace zarvo {

namespace {

// The tool windows typed fields open, built by their own constructors.
void WriteCalculator(tStream& s) {
    Put(s, MakeObject<TCalculator>().get());
}

void WriteCalendar(tStream& s) {
    Put(s, MakeObject<TCalendarWindow>().get());
}

// The help of a dialog: one item per line (a line wraps in the box by itself).
void WriteHelpLines(tStream& s, std::initializer_list<std::string_view> lines) {
    tObjectPtr<tStringCollection> strings(new tStringCollection(8, 4));
    for (std::string_view line : lines)
        strings->InsertText(line);
    Put(s, strings.get());
}

void WriteParametersHelp(tStream& s) {
    WriteHelpLines(s,
                   {"Каталог на сервере - каталог на сетевом диске для тестового файла. "
                    "Стрелка вниз или щелчок по стрелке открывают выбор каталога; "
                    "каталог, которого нет, программа предложит создать."_oem,
                    "Размер файла - размер тестового файла в Мб (Ctrl+K - калькулятор)."_oem,
                    "Время работы - длительность теста; 00:00:00 - до прерывания оператором."_oem,
                    "Период - время от начала одной итерации до начала следующей."_oem, "",
                    "Tab, Shift+Tab - переход между полями; Enter - принять; Esc - отказ."_oem});
}

void WriteDirectoryHelp(tStream& s) {
    WriteHelpLines(
        s, {"Стрелки, PgUp, PgDn, колесо мыши - движение по дереву; + и - раскрывают и "
            "сворачивают ветвь, * - раскрывает все; Backspace - к предку."_oem,
            "Enter, двойной щелчок или \"Выбрать\" - выбрать отмеченный каталог."_oem,
            "\"Создать\" - новый каталог внутри отмеченного; \"Обновить\" - перечитать "
            "ветвь; Alt+F10 или правая кнопка мыши - меню."_oem,
            "Tab, Shift+Tab - переход между деревом и кнопками; Esc - закрыть без выбора."_oem});
}

void WriteTestStrings(tStream& s) {
    tObjectPtr<tStringCollection> strings(BuildTestStrings());
    Put(s, strings.get());
}

// Hints of the views that have status-line keys: number fields, date fields, time fields (no
// tool window of their own), and any view being moved or resized from the keyboard.
constexpr std::string_view kNumberFieldHint = "B2EYPJOVM";
constexpr std::string_view kDateFieldHint = "EXW4XCC6Q";
constexpr std::string_view kTimeFieldHint = "T5HV8NQ2K";
constexpr std::string_view kDraggingHintText = "F28C1CF6O";
constexpr std::string_view kStatusLineHints[] = {kNumberFieldHint, kDateFieldHint, kTimeFieldHint,
                                                 kDraggingHintText};

// The application's own hints: the desktop's keys (nothing there to accept or cancel), those
// of windows and dialogs, and the progress window's (its one key stops the work).
constexpr std::string_view kApplicationHints[] = {kDeskTopHint, kWindowHint, kProgressHint};

// The screen's arrow glyphs (CP866 codes 0x1B, 0x1A, 0x18, 0x19).
constexpr std::string_view kArrows = "\x1B\x1A\x18\x19";

template <const std::string_view& Hint> void WriteStatusLineList(tStream& s) {
    WriteStatusItems(s, BuildStatusLineItems(Hint).get());
}

constexpr std::string_view kNumberFieldName = "STATUSLINE|B2EYPJOVM";
constexpr std::string_view kDateFieldName = "STATUSLINE|EXW4XCC6Q";
constexpr std::string_view kTimeFieldName = "STATUSLINE|T5HV8NQ2K";
constexpr std::string_view kDraggingName = "STATUSLINE|F28C1CF6O";
constexpr std::string_view kDeskTopName = "STATUSLINE|K4D8TQ2XN";
constexpr std::string_view kWindowName = "STATUSLINE|W6PZ0R3JB";
constexpr std::string_view kProgressName = "STATUSLINE|P3XW7RD4M";
static_assert(kDeskTopName.substr(11) == kDeskTopHint && kWindowName.substr(11) == kWindowHint &&
              kProgressName.substr(11) == kProgressHint &&
              kTimeFieldName.substr(11) == kTimeFieldHint);

constexpr tResourceBuilder kBuilders[] = {
    {"ZarvoTestStrings", &WriteTestStrings},
    {"HELP|909", &WriteDirectoryHelp},
    {"HELP|910", &WriteParametersHelp},
    {"CALCULATOR", &WriteCalculator},
    {"CALENDAR", &WriteCalendar},
    {kNumberFieldName, &WriteStatusLineList<kNumberFieldHint>},
    {kDateFieldName, &WriteStatusLineList<kDateFieldHint>},
    {kTimeFieldName, &WriteStatusLineList<kTimeFieldHint>},
    {kDraggingName, &WriteStatusLineList<kDraggingHintText>},
    {kDeskTopName, &WriteStatusLineList<kDeskTopHint>},
    {kWindowName, &WriteStatusLineList<kWindowHint>},
    {kProgressName, &WriteStatusLineList<kProgressHint>},
};

// The keys every field of a dialog answers, around the field's own.
tStatusItemPtr FieldKeys(tStatusItemPtr own) {
    return NewStatusKey("~F1~ Помощь"_oem, kKeyF1, cmdHelp,
                        NewStatusKey("~Tab~ Переход"_oem, 0, cmdNextControl, std::move(own)));
}

tStatusItemPtr AcceptAndCancel() {
    return NewStatusKey("~Enter~ Принять"_oem, 0, cmdOk,
                        NewStatusKey("~Esc~ Отмена"_oem, 0, cmdCancel));
}

} // namespace

std::span<const std::string_view> StatusLineHints() {
    return kStatusLineHints;
}

std::span<const std::string_view> ApplicationStatusLineHints() {
    return kApplicationHints;
}

tStatusItemPtr BuildStatusLineItems(std::string_view hint) {
    if (hint == kNumberFieldHint)
        return FieldKeys(NewStatusKey("~Ctrl+K~ Калькулятор"_oem, 0, 0, AcceptAndCancel()));
    if (hint == kDateFieldHint)
        return FieldKeys(NewStatusKey("~Ctrl+K~ Календарь"_oem, 0, 0, AcceptAndCancel()));
    if (hint == kTimeFieldHint)
        return FieldKeys(AcceptAndCancel());
    if (hint == kDraggingHintText) {
        std::string move = "~" + std::string(kArrows) + "~ " + std::string("Сдвиг"_oem);
        std::string grow = "~Shift+" + std::string(kArrows) + "~ " + std::string("Размер"_oem);
        return NewStatusKey(move, 0, 0, NewStatusKey(grow, 0, 0, AcceptAndCancel()));
    }
    if (hint == kDeskTopHint)
        return NewStatusKey("~Alt+X~ Выход"_oem, kKeyAltX, cmdQuit);
    // Windows and dialogs take Tab, Enter and Esc themselves: those items only name them; F1
    // asks the application for the help of the dialog running.
    if (hint == kWindowHint)
        return NewStatusKey(
            "~F1~ Помощь"_oem, kKeyF1, cmdHelp,
            NewStatusKey("~Tab~ Переход"_oem, 0, cmdNextControl, AcceptAndCancel()));
    if (hint == kProgressHint)
        return NewStatusKey("~Esc~ Отмена"_oem, 0, cmdCancel);
    return nullptr;
}

std::span<const tResourceBuilder> ProgramResourceBuilders() {
    return kBuilders;
}

tStringCollection* BuildTestStrings() {
    auto* strings = new tStringCollection(4, 4);
    for (std::string_view text : {"Проверка сети"_oem, "Запись"_oem, "Чтение"_oem, "Zarvo"_oem})
        strings->InsertText(text);
    return strings;
}

} // namespace zarvo
