// Key tables of the terminal host: the US layout's character keys, the scan codes of the
// keys that type nothing, and the xterm modifier parameter.
#include "console/terminal/terminal_keys.h"

#include <array>

#include "console/console_msg.h"
#include "console/keyboard.h"

namespace zarvo {
namespace {

struct tCharacterKey {
    char Plain;
    char Shifted;
    std::uint8_t Scan;
    std::uint32_t VirtualKey;
};

// The keys of the US layout that type characters, in scan-code order.
constexpr std::array<tCharacterKey, 48> kCharacterKeys = {{
    {'1', '!', 0x02, '1'},           {'2', '@', 0x03, '2'},          {'3', '#', 0x04, '3'},
    {'4', '$', 0x05, '4'},           {'5', '%', 0x06, '5'},          {'6', '^', 0x07, '6'},
    {'7', '&', 0x08, '7'},           {'8', '*', 0x09, '8'},          {'9', '(', 0x0A, '9'},
    {'0', ')', 0x0B, '0'},           {'-', '_', 0x0C, VK_OEM_MINUS}, {'=', '+', 0x0D, VK_OEM_PLUS},
    {'q', 'Q', 0x10, 'Q'},           {'w', 'W', 0x11, 'W'},          {'e', 'E', 0x12, 'E'},
    {'r', 'R', 0x13, 'R'},           {'t', 'T', 0x14, 'T'},          {'y', 'Y', 0x15, 'Y'},
    {'u', 'U', 0x16, 'U'},           {'i', 'I', 0x17, 'I'},          {'o', 'O', 0x18, 'O'},
    {'p', 'P', 0x19, 'P'},           {'[', '{', 0x1A, VK_OEM_4},     {']', '}', 0x1B, VK_OEM_6},
    {'a', 'A', 0x1E, 'A'},           {'s', 'S', 0x1F, 'S'},          {'d', 'D', 0x20, 'D'},
    {'f', 'F', 0x21, 'F'},           {'g', 'G', 0x22, 'G'},          {'h', 'H', 0x23, 'H'},
    {'j', 'J', 0x24, 'J'},           {'k', 'K', 0x25, 'K'},          {'l', 'L', 0x26, 'L'},
    {';', ':', 0x27, VK_OEM_1},      {'\'', '"', 0x28, VK_OEM_7},    {'`', '~', 0x29, VK_OEM_3},
    {'\\', '|', 0x2B, VK_OEM_5},     {'z', 'Z', 0x2C, 'Z'},          {'x', 'X', 0x2D, 'X'},
    {'c', 'C', 0x2E, 'C'},           {'v', 'V', 0x2F, 'V'},          {'b', 'B', 0x30, 'B'},
    {'n', 'N', 0x31, 'N'},           {'m', 'M', 0x32, 'M'},          {',', '<', 0x33, VK_OEM_COMMA},
    {'.', '>', 0x34, VK_OEM_PERIOD}, {'/', '?', 0x35, VK_OEM_2},     {' ', ' ', 0x39, VK_SPACE},
}};

struct tKeyScan {
    std::uint32_t VirtualKey;
    std::uint8_t Scan;
};

constexpr std::array<tKeyScan, 29> kKeyScans = {{
    {VK_BACK, 0x0E},   {VK_TAB, 0x0F},      {VK_RETURN, 0x1C},  {VK_ESCAPE, 0x01},
    {VK_SPACE, 0x39},  {VK_PRIOR, 0x49},    {VK_NEXT, 0x51},    {VK_END, 0x4F},
    {VK_HOME, 0x47},   {VK_LEFT, 0x4B},     {VK_UP, 0x48},      {VK_RIGHT, 0x4D},
    {VK_DOWN, 0x50},   {VK_INSERT, 0x52},   {VK_DELETE, 0x53},  {VK_MULTIPLY, 0x37},
    {VK_ADD, 0x4E},    {VK_SUBTRACT, 0x4A}, {VK_DECIMAL, 0x53}, {VK_DIVIDE, 0x35},
    {VK_F1, 0x3B},     {VK_F1 + 1, 0x3C},   {VK_F1 + 2, 0x3D},  {VK_F1 + 3, 0x3E},
    {VK_F1 + 4, 0x3F}, {VK_F1 + 5, 0x40},   {VK_F1 + 6, 0x41},  {VK_F1 + 7, 0x42},
    {VK_F1 + 8, 0x43},
}};

constexpr std::uint8_t kLetterYoKey = 0x29; // Ё sits on the ` key of the Russian layout

tTypingKey KeyOfAscii(char character) {
    for (const tCharacterKey& key : kCharacterKeys) {
        if (key.Plain == character)
            return {key.VirtualKey, key.Scan, false};
        if (key.Shifted == character)
            return {key.VirtualKey, key.Scan, true};
    }
    return {};
}

} // namespace

tTypingKey KeyOfCharacter(std::uint8_t character) {
    if (character < 0x80)
        return KeyOfAscii(char(character));
    char upper = UpCase866(char(character));
    bool shifted = upper == char(character);
    if (std::uint8_t(upper) == 0xF0)
        return {VK_OEM_3, kLetterYoKey, shifted};
    if (std::uint8_t(upper) < 0x80 || std::uint8_t(upper) > 0x9F)
        return {};
    tTypingKey key = KeyOfAscii(CyrillicKeyToLatin(upper));
    key.Shifted = shifted;
    return key;
}

std::uint8_t ScanCodeOfKey(std::uint32_t virtualKey) {
    if (virtualKey == VK_F10)
        return 0x44;
    if (virtualKey == VK_F11)
        return 0x57;
    if (virtualKey == VK_F12)
        return 0x58;
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9) {
        constexpr std::array<std::uint8_t, 10> kKeypadScans = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                                               0x4C, 0x4D, 0x47, 0x48, 0x49};
        return kKeypadScans[virtualKey - VK_NUMPAD0];
    }
    for (const tKeyScan& key : kKeyScans)
        if (key.VirtualKey == virtualKey)
            return key.Scan;
    return 0;
}

std::uint32_t ModifiersOfParameter(int parameter) {
    if (parameter < 2)
        return 0;
    unsigned bits = unsigned(parameter - 1);
    std::uint32_t modifiers = 0;
    if (bits & 1)
        modifiers |= modShift;
    if (bits & (2 | 8))
        modifiers |= modAlt;
    if (bits & 4)
        modifiers |= modCtrl;
    return modifiers;
}

} // namespace zarvo
