// Conversions between CP866 and UTF-8 at the program's edges.
#include "platform/cp866.h"

namespace zarvo {

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

std::string Utf8ToCp866(std::string_view utf8, char missing) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        int oem = UnicodeToCp866(DecodeUtf8(utf8, pos));
        if (oem >= 0)
            out += char(oem);
        else if (missing != 0)
            out += missing;
    }
    return out;
}

std::string Cp866ToUtf8(std::string_view oem) {
    std::string out;
    out.reserve(oem.size() * 2);
    for (char c : oem)
        AppendUtf8(out, Cp866ToUnicode(std::uint8_t(c)));
    return out;
}

} // namespace zarvo
