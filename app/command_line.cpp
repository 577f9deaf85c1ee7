// Options in either form, "--opt value" and "--opt=value", checked with the same rules and
// messages as the answers to the questions.
#include "app/command_line.h"

#include <unistd.h>

#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/terminal_line.h"
#include "platform/version_facts.h"

namespace zarvo {

namespace {

enum class tOptionId { Dir, Size, WorkTime, Period, NoUi, Help, Json };

struct tOption {
    std::string_view Name;
    tOptionId Id;
    bool TakesValue;
};

constexpr tOption kOptions[] = {
    {"--dir", tOptionId::Dir, true},
    {"--size", tOptionId::Size, true},
    {"--work-time", tOptionId::WorkTime, true},
    {"--period", tOptionId::Period, true},
    {"--no-ui", tOptionId::NoUi, false},
    {"--json", tOptionId::Json, true},
    {"--help", tOptionId::Help, false},
};

const tOption* FindOption(std::string_view name) {
    for (const tOption& option : kOptions)
        if (option.Name == name)
            return &option;
    return nullptr;
}

// A text from the command line as the program's messages hold it.
std::string Shown(std::string_view utf8) {
    return Utf8ToCp866(utf8);
}

} // namespace

tCommandLine::tCommandLine(std::span<const char* const> arguments) {
    // A question about the program is answered whatever else the line holds.
    for (const char* argument : arguments) {
        std::string_view word = argument;
        if (word == "--help" || word == "-h") {
            m_Action = tAction::Help;
            return;
        }
        if (word == "--version") {
            m_Action = tAction::Version;
            return;
        }
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (!argument.starts_with("-")) {
            Refuse(FormatText("Лишний аргумент: %s"_oem, {Shown(argument)}));
            return;
        }
        std::size_t equals = argument.find('=');
        std::string_view name = argument.substr(0, equals);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos)
            value = argument.substr(equals + 1);
        else if (const tOption* option = FindOption(name);
                 option && option->TakesValue && i + 1 < arguments.size() &&
                 !std::string_view(arguments[i + 1]).starts_with("--"))
            value = arguments[++i];
        if (!Take(name, value))
            return;
    }
}

bool tCommandLine::Refuse(std::string message) {
    m_Action = tAction::Refuse;
    m_Message = std::move(message);
    return false;
}

bool tCommandLine::Take(std::string_view name, std::optional<std::string_view> value) {
    const tOption* option = FindOption(name);
    if (!option)
        return Refuse(FormatText("Неизвестный параметр: %s"_oem, {Shown(name)}));
    if (option->TakesValue && !value)
        return Refuse(FormatText("Не указано значение параметра %s"_oem, {Shown(name)}));
    if (!option->TakesValue && value)
        return Refuse(FormatText("Параметр %s указывается без значения"_oem, {Shown(name)}));
    unsigned bit = 1u << unsigned(option->Id);
    if (m_Seen & bit)
        return Refuse(FormatText("Параметр %s указан дважды"_oem, {Shown(name)}));
    m_Seen |= bit;
    if (option->Id == tOptionId::NoUi) {
        m_NoUi = true;
        return true;
    }
    if (option->Id == tOptionId::Json) {
        if (value->empty())
            return Refuse(FormatText("Не указано значение параметра %s"_oem, {Shown(name)}));
        m_JsonPath = *value;
        return true;
    }
    m_ParamsGiven = true;
    return TakeValue(name, *value);
}

// A directory CP866 cannot name, or one longer than the test holds, is refused rather than
// changed: a changed name could point at a directory that was never meant.
bool tCommandLine::TakeValue(std::string_view name, std::string_view value) {
    std::string refusal;
    switch (FindOption(name)->Id) {
    case tOptionId::Dir: {
        std::string directory = TrimmedDirectory(Shown(value));
        if (Cp866ToUtf8(directory) != TrimmedDirectory(value))
            return Refuse(
                FormatText("Имя каталога %s нельзя записать в кодировке CP866"_oem, {directory}));
        if (directory.size() > kMaxDirectoryLength)
            return Refuse(FormatText("Имя каталога длиннее %d символов: %s"_oem,
                                     {int(kMaxDirectoryLength), directory}));
        m_Params.Directory = std::move(directory);
        return true;
    }
    case tOptionId::Size:
        m_Params.FileSize = ParseFileSize(value);
        if (m_Params.FileSize < 0)
            refusal = FileSizeRefusal();
        break;
    case tOptionId::WorkTime:
        m_Params.WorkTime = ParseTimeOfDay(value);
        if (m_Params.WorkTime < 0)
            refusal = TimeRefusal();
        break;
    default:
        m_Params.Period = ParseTimeOfDay(value);
        if (m_Params.Period < 0)
            refusal = TimeRefusal();
        break;
    }
    if (refusal.empty())
        return true;
    return Refuse(FormatText("%s=%s: %s"_oem, {Shown(name), Shown(value), refusal}));
}

const tTestParams* tCommandLine::TestParams() const {
    return m_ParamsGiven || m_NoUi ? &m_Params : nullptr;
}

int tCommandLine::ExitStatus(tTestEnd end) const {
    if (!m_ParamsGiven && !m_NoUi)
        return 0;
    switch (end) {
    case tTestEnd::Clean:
        return kStatusClean;
    case tTestEnd::ErrorBytes:
        return kStatusErrorBytes;
    case tTestEnd::Cancelled:
        return kStatusCancelled;
    default:
        return kStatusStopped;
    }
}

int tCommandLine::Answer() const {
    if (m_Action == tAction::Help) {
        WriteTerminalText(STDOUT_FILENO, Usage());
        return 0;
    }
    if (m_Action == tAction::Version) {
        WriteTerminalText(STDOUT_FILENO, VersionText());
        return 0;
    }
    WriteTerminalText(STDERR_FILENO,
                      "zarvo: " + m_Message + std::string("\rСправка: zarvo --help\r"_oem));
    return kStatusStopped;
}

std::string tCommandLine::Usage() {
    return std::string(
        "Использование: zarvo [--dir КАТАЛОГ] [--size МБ] [--work-time ЧЧ:ММ:СС]\r"
        "                     [--period ЧЧ:ММ:СС] [--no-ui] [--json ФАЙЛ]\r"
        "               zarvo --help | -h | --version\r"
        "\r"
        "Сетевой тест: пишет в каталог на сервере тестовый файл, читает его обратно,\r"
        "считает ошибочные байты и дописывает итог в protocol.doc рабочего каталога.\r"
        "Каждая итерация добавляет строку в zarvo-history.csv рабочего каталога.\r"
        "Без параметров теста программа спрашивает их у оператора.\r"
        "\r"
        "  --dir КАТАЛОГ         каталог на сервере; должен существовать\r"
        "  --size МБ             размер файла, Мб, от 0 до 65535 (по умолчанию 100)\r"
        "  --work-time ЧЧ:ММ:СС  время работы, 00:00:00 - до прерывания\r"
        "                        (по умолчанию 00:00:00)\r"
        "  --period ЧЧ:ММ:СС     период между итерациями (по умолчанию 01:00:00)\r"
        "  --no-ui               без интерфейса: ход теста строками в stderr, на вопросы\r"
        "                        ответ по умолчанию; так же и с параметрами теста, когда\r"
        "                        нет ни терминала, ни дисплея\r"
        "  --json ФАЙЛ           по окончании записать в ФАЙЛ итог прогона в формате JSON\r"
        "                        (параметры, итерации, перечитанные блоки, код завершения);\r"
        "                        - вместо имени: в stdout\r"
        "  --help, -h            эта справка\r"
        "  --version             сведения о версии\r"
        "\r"
        "Значение можно писать и через знак равенства: --size=10.\r"
        "\r"
        "Код завершения, когда заданы параметры теста или --no-ui:\r"
        "  0  тест завершён, ошибочных байтов нет\r"
        "  1  найдены ошибочные байты\r"
        "  2  параметры отклонены или тест остановлен ошибкой\r"
        "  3  тест прерван оператором или сигналом\r"_oem);
}

std::string tCommandLine::VersionText() {
    std::string text;
    for (const tVersionString& line : VersionStrings())
        text += std::string(line.Name) + ": " + std::string(line.Value) + "\r";
    return text;
}

} // namespace zarvo
