// Pasted text as typed characters.
#include "console/pasted_text.h"

#include "console/drivers_console.h"
#include "platform/cp866.h"

namespace zarvo {

std::string PastedCharacters(std::string_view utf8) {
    // A copied line usually ends with its line break, which would press the default button.
    const std::size_t lineEnd = utf8.find_first_of("\r\n");
    std::string line = Utf8ToCp866(utf8.substr(0, lineEnd), 0);
    std::string typed;
    typed.reserve(line.size());
    for (char c : line) {
        const auto code = std::uint8_t(c);
        if (c == '\t')
            typed += ' ';
        else if (code >= 0x20 && code != 0x7F)
            typed += c;
    }
    return typed;
}

void AppendPastedText(std::string_view utf8, std::vector<TConsoleMsg>& out) {
    for (char c : PastedCharacters(utf8))
        out.push_back({WM_CHAR, std::uint8_t(c), 0, 0});
}

void QueuePastedText(tMyForm& form, std::string_view utf8) {
    std::vector<TConsoleMsg> records;
    AppendPastedText(utf8, records);
    for (const TConsoleMsg& record : records)
        form.QueueInput(record);
}

} // namespace zarvo
