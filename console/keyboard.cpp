// Keyboard routines and their tables.
#include "console/keyboard.h"

#include "library/strings.h"

#include <array>
#include <string_view>

#include "console/console_msg.h"
#include "console/key_codes.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

// Letters by PC scan code from 0x10; blanks are the scan codes of other keys.
constexpr std::string_view kScanLetters = "QWERTYUIOP    ASDFGHJKL     ZXCVBNM";
constexpr std::string_view kScanDigits = "1234567890-=";

// Cyrillic capital on each Latin letter's key, 'A' to 'Z'.
constexpr std::string_view kLatinToCyrillic = "ФИСВУАПРШОЛДЬТЩЗЙКЫЕГМЦЧНЯ"_oem;
// Character on the Latin layout's key of each CP866 capital, 0x80 (А) to 0x9F (Я).
constexpr std::string_view kCyrillicToLatin = "F,DULT;PBQRKVYJGHCNEA[WXIO]SM\".Z";

struct tCtrlCursorKey {
    std::uint8_t ctrl;
    std::uint16_t keyCode;
};
constexpr std::array<tCtrlCursorKey, 11> kCtrlCursorKeys = {{
    {0x13, kKeyLeft},
    {0x04, kKeyRight},
    {0x05, kKeyUp},
    {0x18, kKeyDown},
    {0x01, kKeyHome},
    {0x06, kKeyEnd},
    {0x07, kKeyDel},
    {0x16, kKeyIns},
    {0x12, kKeyPgUp},
    {0x03, kKeyPgDn},
    {0x08, kKeyBackspace},
}};

static_assert(kLatinToCyrillic.size() == 26 && kCyrillicToLatin.size() == 32);

constexpr std::uint8_t Byte(char ch) {
    return std::uint8_t(ch);
}

} // namespace

char UpCase866(char ch) {
    return UpperCaseChar(ch);
}

char LatinKeyToCyrillic(char ch) {
    if (ch >= 'A' && ch <= 'Z')
        return kLatinToCyrillic[std::size_t(ch - 'A')];
    return ch;
}

char CyrillicKeyToLatin(char ch) {
    std::uint8_t c = Byte(ch);
    if (c >= 0x80 && c <= 0x9F)
        return kCyrillicToLatin[c - 0x80];
    return ch;
}

char AltCodeToChar(std::uint16_t keyCode) {
    if ((keyCode & 0xFF) != 0)
        return 0;
    std::uint8_t scan = std::uint8_t(keyCode >> 8);
    if (scan == 0x02)
        return char(0xF0);
    if (scan >= 0x10 && scan <= 0x32) {
        char letter = kScanLetters[scan - 0x10];
        return letter == ' ' ? 0 : LatinKeyToCyrillic(letter);
    }
    if (scan >= 0x78 && scan <= 0x83)
        return kScanDigits[scan - 0x78];
    return 0;
}

std::uint16_t CharToAltCode(char ch) {
    char key = CyrillicKeyToLatin(UpCase866(ch));
    if (key == 0 || key == ' ')
        return 0;
    if (Byte(key) == 0xF0)
        return 0x0200;
    if (std::size_t i = kScanLetters.find(key); i != std::string_view::npos)
        return std::uint16_t((0x10 + i) * 256);
    if (std::size_t i = kScanDigits.find(key); i != std::string_view::npos)
        return std::uint16_t((0x78 + i) * 256);
    return 0;
}

std::uint16_t CharToCtrlCode(char ch) {
    char key = CyrillicKeyToLatin(UpCase866(ch));
    return std::uint16_t(CharToAltCode(key) | std::uint16_t(Byte(key) - 64));
}

char CtrlCodeToChar(std::uint16_t code) {
    std::uint8_t low = std::uint8_t(code);
    return low >= 1 && low <= 26 ? char('A' + low - 1) : 0;
}

std::uint16_t CtrlKeyToCursorKey(std::uint16_t keyCode) {
    for (const tCtrlCursorKey& entry : kCtrlCursorKeys)
        if (entry.ctrl == (keyCode & 0xFF))
            return entry.keyCode;
    return keyCode;
}

int CtrlCharacterOfKey(std::uint32_t virtualKey, bool shift) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return int(virtualKey) - 64;
    if (shift) {
        switch (virtualKey) {
        case '6':
            return 0x1E;
        case VK_OEM_MINUS:
            return 0x1F;
        default:
            return -1;
        }
    }
    switch (virtualKey) {
    case VK_BACK:
        return 0x7F;
    case VK_RETURN:
        return '\n';
    case VK_SPACE:
        return ' ';
    case VK_OEM_4:
        return 0x1B;
    case VK_OEM_5:
        return 0x1C;
    case VK_OEM_6:
        return 0x1D;
    default:
        return -1;
    }
}

} // namespace zarvo
