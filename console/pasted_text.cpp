// Pasted text as typed characters.
#include "console/pasted_text.h"

#include "console/drivers_console.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

// A copied line usually ends with its line break, which would press the default button.
std::string_view FirstLine(std::string_view utf8) {
    return utf8.substr(0, utf8.find_first_of("\r\n"));
}

} // namespace

char32_t FirstUntypable(std::string_view utf8) {
    std::string_view line = FirstLine(utf8);
    for (std::size_t pos = 0; pos < line.size();) {
        char32_t code = DecodeUtf8(line, pos);
        if (Cp866Lacks(code))
            return code;
    }
    return 0;
}

std::string PastedCharacters(std::string_view utf8) {
    std::string line = Utf8ToCp866(FirstLine(utf8), 0);
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
    // All or nothing: a name pasted without some of its letters would be another name.
    if (char32_t code = FirstUntypable(utf8)) {
        out.push_back(UntypableRecord({code, true}));
        return;
    }
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
