// The program's code page. Inside Zarvo every text is CP866; UTF-8 appears only at the
// edges (file names, host output, typed characters, stdout) and in source literals, which
// the _oem suffix turns into CP866 while compiling.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

// In the program's message texts byte 3 at the start of a line centres that line.
inline constexpr char kCentreMark = 3;

// Unicode code points of CP866 bytes 0x80 to 0xFF.
inline constexpr std::array<char16_t, 128> kCp866High = {
    u'А', u'Б', u'В', u'Г', u'Д', u'Е', u'Ж', u'З',      u'И', u'Й', u'К', u'Л', u'М', u'Н', u'О',
    u'П', u'Р', u'С', u'Т', u'У', u'Ф', u'Х', u'Ц',      u'Ч', u'Ш', u'Щ', u'Ъ', u'Ы', u'Ь', u'Э',
    u'Ю', u'Я', u'а', u'б', u'в', u'г', u'д', u'е',      u'ж', u'з', u'и', u'й', u'к', u'л', u'м',
    u'н', u'о', u'п', u'░', u'▒', u'▓', u'│', u'┤',      u'╡', u'╢', u'╖', u'╕', u'╣', u'║', u'╗',
    u'╝', u'╜', u'╛', u'┐', u'└', u'┴', u'┬', u'├',      u'─', u'┼', u'╞', u'╟', u'╚', u'╔', u'╩',
    u'╦', u'╠', u'═', u'╬', u'╧', u'╨', u'╤', u'╥',      u'╙', u'╘', u'╒', u'╓', u'╫', u'╪', u'┘',
    u'┌', u'█', u'▄', u'▌', u'▐', u'▀', u'р', u'с',      u'т', u'у', u'ф', u'х', u'ц', u'ч', u'ш',
    u'щ', u'ъ', u'ы', u'ь', u'э', u'ю', u'я', u'Ё',      u'ё', u'Є', u'є', u'Ї', u'ї', u'Ў', u'ў',
    u'°', u'∙', u'·', u'√', u'№', u'¤', u'■', u'\u00A0',
};

// The classic screen glyphs of the control codes 0x00 to 0x1F; 0x7F is a house.
inline constexpr std::array<char16_t, 32> kCp866ControlGlyphs = {
    u' ', u'☺', u'☻', u'♥', u'♦', u'♣', u'♠', u'•', u'◘', u'○', u'◙', u'♂', u'♀', u'♪', u'♫', u'☼',
    u'►', u'◄', u'↕', u'‼', u'¶', u'§', u'▬', u'↨', u'↑', u'↓', u'→', u'←', u'∟', u'↔', u'▲', u'▼',
};
inline constexpr char16_t kCp866HouseGlyph = u'⌂';

// Code point of a CP866 byte as text (control codes stay control codes).
constexpr char32_t Cp866ToUnicode(std::uint8_t byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kCp866High[byte - 0x80]);
}

// Code point of a CP866 byte as drawn in a cell (control codes become their glyphs).
constexpr char32_t Cp866ToGlyph(std::uint8_t byte) {
    if (byte < 0x20)
        return kCp866ControlGlyphs[byte];
    if (byte == 0x7F)
        return kCp866HouseGlyph;
    return Cp866ToUnicode(byte);
}

// The CP866 byte of a code point, or -1 when CP866 lacks it.
constexpr int UnicodeToCp866(char32_t code) {
    if (code < 0x80)
        return int(code);
    if (code >= U'А' && code <= U'п')
        return code <= U'Я' ? int(code - U'А' + 0x80) : int(code - U'а' + 0xA0);
    if (code >= U'р' && code <= U'я')
        return int(code - U'р' + 0xE0);
    for (std::size_t i = 0; i < kCp866High.size(); ++i)
        if (char32_t(kCp866High[i]) == code)
            return int(0x80 + i);
    return -1;
}

// A printable character (not a C1 control) that CP866 cannot hold: refused, not dropped, where
// an operator types or pastes it.
constexpr bool Cp866Lacks(char32_t code) {
    return code >= 0xA0 && UnicodeToCp866(code) < 0;
}

// Decodes one UTF-8 sequence at text[pos]; advances pos. Malformed bytes give U+FFFD.
constexpr char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
    std::uint8_t lead = byte(pos);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    if (extra == 0) {
        ++pos;
        return char32_t(lead);
    }
    if (extra < 0 || pos + extra >= text.size()) {
        ++pos;
        return U'\uFFFD';
    }
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return U'\uFFFD';
        }
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    pos += extra + 1;
    return code;
}

// UTF-8 text to CP866; characters CP866 lacks become `missing` (or are dropped when it is 0).
std::string Utf8ToCp866(std::string_view utf8, char missing = '?');
// CP866 text to UTF-8; control codes are kept as they are.
std::string Cp866ToUtf8(std::string_view oem);
// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t code);

namespace detail {
template <std::size_t N> struct tUtf8Literal {
    char Chars[N]{};
    consteval tUtf8Literal(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            Chars[i] = text[i];
    }
};

template <std::size_t N> struct tOemText {
    char Chars[N]{};
    std::size_t Length = 0;
};

template <std::size_t N> consteval tOemText<N> ConvertLiteral(const tUtf8Literal<N>& source) {
    tOemText<N> result;
    std::string_view text(source.Chars, N - 1);
    std::size_t pos = 0;
    while (pos < text.size()) {
        int oem = UnicodeToCp866(DecodeUtf8(text, pos));
        if (oem < 0)
            throw "character missing from CP866";
        result.Chars[result.Length++] = char(oem);
    }
    return result;
}

template <tUtf8Literal S> struct tOemLiteralHolder {
    static constexpr auto Value = ConvertLiteral(S);
};
} // namespace detail

// "Запись"_oem: the CP866 bytes of a UTF-8 source literal, converted while compiling.
template <detail::tUtf8Literal S> constexpr std::string_view operator""_oem() {
    return {detail::tOemLiteralHolder<S>::Value.Chars, detail::tOemLiteralHolder<S>::Value.Length};
}

} // namespace zarvo
