// Byte-wise line input and CP866 output for the terminal forms of the program's questions.
#include "platform/terminal_line.h"

#include <cerrno>
#include <unistd.h>

#include "platform/cp866.h"
#include "platform/write_all.h"

namespace zarvo {

tLineResult ReadTerminalLine(int fd, std::string& line) {
    std::string utf8;
    for (;;) {
        char c;
        ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            return tLineResult::Interrupted;
        if (got <= 0) {
            if (utf8.empty())
                return tLineResult::EndOfInput;
            break;
        }
        if (c == '\n')
            break;
        if (c != '\r')
            utf8 += c;
    }
    line = Utf8ToCp866(utf8, 0);
    return tLineResult::Line;
}

bool WriteTerminalText(int fd, std::string_view text) {
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            utf8 += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n' || c == '\t') {
            utf8 += c;
        } else if (std::uint8_t(c) < 0x20 || c == 0x7F) {
            // Nothing in a text reaches the terminal as a control sequence.
            if (c != kCentreMark)
                utf8 += '?';
        } else {
            AppendUtf8(utf8, Cp866ToUnicode(std::uint8_t(c)));
        }
    }
    return WriteAll(fd, utf8);
}

} // namespace zarvo
