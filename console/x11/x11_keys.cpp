// Scan-code and virtual-key tables of the window host's keyboard.
#include "console/x11/x11_keys.h"

#include <array>

#include "platform/cp866.h"

namespace zarvo {

namespace {

// X keycodes are the kernel's key numbers plus 8; for the main block the kernel's number is
// the PC scan code itself.
constexpr unsigned kKeycodeOffset = 8;

// Virtual-key codes of the main block, indexed by scan code (US positions).
constexpr std::array<std::uint8_t, 89> kMainBlockKeys = {
    0,   27,  '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 189, 187, 8,   9,   // 0x00
    'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 219, 221, 13,  17,  'A', 'S', // 0x10
    'D', 'F', 'G', 'H', 'J', 'K', 'L', 186, 222, 192, 16,  220, 'Z', 'X', 'C', 'V', // 0x20
    'B', 'N', 'M', 188, 190, 191, 16,  106, 18,  32,  20,  112, 113, 114, 115, 116, // 0x30
    117, 118, 119, 120, 121, 144, 145, 36,  38,  33,  109, 37,  12,  39,  107, 35,  // 0x40
    40,  34,  45,  46,  0,   0,   226, 122, 123,                                    // 0x50
};

// Keypad keys with Num Lock on: scan 0x47-0x53 give these instead of the cursor keys.
constexpr std::array<std::uint8_t, 13> kKeypadDigitKeys = {
    103, 104, 105, 0, 100, 101, 102, 0, 97, 98, 99, 96, 110,
};

struct tExtendedKey {
    unsigned Code; // kernel key number
    tPhysicalKey Key;
};

// Keys outside the main block: they share scan codes with keypad keys and are told apart
// by the extended bit.
constexpr std::array<tExtendedKey, 20> kExtendedKeys = {{
    {96, {13, 0x1C, true}},    // keypad Enter
    {97, {17, 0x1D, true}},    // right Ctrl
    {98, {111, 0x35, true}},   // keypad /
    {99, {44, 0x37, true}},    // Print Screen
    {100, {18, 0x38, true}},   // right Alt
    {102, {36, 0x47, true}},   // Home
    {103, {38, 0x48, true}},   // Up
    {104, {33, 0x49, true}},   // Page Up
    {105, {37, 0x4B, true}},   // Left
    {106, {39, 0x4D, true}},   // Right
    {107, {35, 0x4F, true}},   // End
    {108, {40, 0x50, true}},   // Down
    {109, {34, 0x51, true}},   // Page Down
    {110, {45, 0x52, true}},   // Insert
    {111, {46, 0x53, true}},   // Delete
    {119, {19, 0x45, false}},  // Pause
    {125, {91, 0x5B, true}},   // left Windows key
    {126, {92, 0x5C, true}},   // right Windows key
    {127, {93, 0x5D, true}},   // menu key
    {121, {110, 0x53, false}}, // keypad comma: the decimal key of some layouts
}};

} // namespace

tPhysicalKey PhysicalKeyOf(unsigned keycode, bool keypadDigits) {
    if (keycode < kKeycodeOffset)
        return {};
    unsigned code = keycode - kKeycodeOffset;
    if (code < kMainBlockKeys.size()) {
        tPhysicalKey key{kMainBlockKeys[code], std::uint8_t(code), false};
        if (keypadDigits && code >= 0x47 && code <= 0x53 && kKeypadDigitKeys[code - 0x47] != 0)
            key.VirtualKey = kKeypadDigitKeys[code - 0x47];
        return key;
    }
    for (const tExtendedKey& entry : kExtendedKeys)
        if (entry.Code == code)
            return entry.Key;
    return {};
}

std::uint32_t KeyData(const tPhysicalKey& key, bool altHeld, bool wasDown, bool released) {
    std::uint32_t data = 1 | (std::uint32_t(key.ScanCode) << 16);
    if (key.Extended)
        data |= 1u << 24;
    if (altHeld)
        data |= 1u << 29;
    if (wasDown || released)
        data |= 1u << 30;
    if (released)
        data |= 1u << 31;
    return data;
}

std::string TypedTextToCp866(std::string_view utf8) {
    return Utf8ToCp866(utf8, 0);
}

} // namespace zarvo
