// Decoding of terminal input: terminfo's key strings first, then the xterm family's
// parameterised sequences (modifiers, SGR mouse, CSI u), then plain UTF-8 characters.
#include "console/terminal/terminal_input.h"

#include <array>
#include <charconv>

#include "console/keyboard.h"
#include "console/pasted_text.h"
#include "console/terminal/terminal_keys.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr std::size_t kLongestSequence = 32; // longer "sequences" are noise and are dropped
// The marker that closes a bracketed paste, and the most of one kept (far more than a line).
constexpr std::string_view kPasteEnd = "\x1b[201~";
constexpr std::size_t kMostPasted = 4096;

struct tTildeKey {
    int Number;
    std::uint32_t VirtualKey;
};

// CSI n ~ keys, with the numbers rxvt uses for Home and End.
constexpr std::array<tTildeKey, 20> kTildeKeys = {{
    {1, VK_HOME},    {2, VK_INSERT},  {3, VK_DELETE},  {4, VK_END},     {5, VK_PRIOR},
    {6, VK_NEXT},    {7, VK_HOME},    {8, VK_END},     {11, VK_F1},     {12, VK_F1 + 1},
    {13, VK_F1 + 2}, {14, VK_F1 + 3}, {15, VK_F1 + 4}, {17, VK_F1 + 5}, {18, VK_F1 + 6},
    {19, VK_F1 + 7}, {20, VK_F1 + 8}, {21, VK_F1 + 9}, {23, VK_F11},    {24, VK_F12},
}};

// The letter that ends a cursor or F1-F4 sequence (CSI or SS3).
std::uint32_t KeyOfFinal(char final) {
    switch (final) {
    case 'A':
        return VK_UP;
    case 'B':
        return VK_DOWN;
    case 'C':
        return VK_RIGHT;
    case 'D':
        return VK_LEFT;
    case 'H':
        return VK_HOME;
    case 'F':
        return VK_END;
    case 'P':
        return VK_F1;
    case 'Q':
        return VK_F1 + 1;
    case 'R':
        return VK_F1 + 2;
    case 'S':
        return VK_F1 + 3;
    default:
        return 0;
    }
}

// Up to three numeric parameters; a missing one is 0.
struct tParameters {
    char Marker = 0; // '<', '?', '>' or '='
    std::array<int, 3> Values{};
    int Count = 0;
};

tParameters ParseParameters(std::string_view text) {
    tParameters result;
    if (!text.empty() && (text[0] == '<' || text[0] == '?' || text[0] == '>' || text[0] == '=')) {
        result.Marker = text[0];
        text.remove_prefix(1);
    }
    while (!text.empty() && result.Count < int(result.Values.size())) {
        std::size_t end = text.find(';');
        std::string_view field = text.substr(0, end);
        field = field.substr(0, field.find(':')); // sub-parameters are not used
        std::from_chars(field.data(), field.data() + field.size(), result.Values[result.Count]);
        ++result.Count;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return result;
}

std::size_t Utf8Length(std::uint8_t lead) {
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 6)
        return 2;
    if ((lead >> 4) == 14)
        return 3;
    if ((lead >> 3) == 30)
        return 4;
    return 1;
}

// The key records of a CP866 character typed with `modifiers`.
void AppendCharacter(std::uint8_t character, std::uint32_t modifiers,
                     std::vector<TConsoleMsg>& out) {
    tTypingKey key = KeyOfCharacter(character);
    if (key.Shifted)
        modifiers |= modShift;
    int typed = character;
    if ((modifiers & modCtrl) && !(modifiers & modAlt))
        typed = CtrlCharacterOfKey(key.VirtualKey, (modifiers & modShift) != 0);
    else if ((modifiers & modCtrl) && key.VirtualKey >= 'A' && key.VirtualKey <= 'Z')
        typed = int(key.VirtualKey) - 64;
    AppendKeyRecords(key.VirtualKey, key.Scan, modifiers, typed, out);
}

// What a key that types `plain` types with `modifiers`: with Ctrl, what Ctrl gives.
int TypedWith(std::uint32_t virtualKey, int plain, std::uint32_t modifiers) {
    if (!(modifiers & modCtrl))
        return plain;
    return CtrlCharacterOfKey(virtualKey, (modifiers & modShift) != 0);
}

// A code point that a CSI u or modifyOtherKeys report names, with its modifiers.
void AppendCodePoint(char32_t code, std::uint32_t modifiers, std::vector<TConsoleMsg>& out) {
    switch (code) {
    case 9:
        AppendKeyRecords(VK_TAB, 0x0F, modifiers, 9, out);
        return;
    case 13:
        AppendKeyRecords(VK_RETURN, 0x1C, modifiers, TypedWith(VK_RETURN, 13, modifiers), out);
        return;
    case 27:
        AppendKeyRecords(VK_ESCAPE, 0x01, modifiers, 27, out);
        return;
    case 8:
    case 127:
        AppendKeyRecords(VK_BACK, 0x0E, modifiers, TypedWith(VK_BACK, 8, modifiers), out);
        return;
    default:
        break;
    }
    int character = UnicodeToCp866(code);
    if (character >= 0x20)
        AppendCharacter(std::uint8_t(character), modifiers, out);
}

} // namespace

void AppendKeyRecords(std::uint32_t virtualKey, std::uint8_t scan, std::uint32_t modifiers,
                      int character, std::vector<TConsoleMsg>& out) {
    bool alt = (modifiers & modAlt) != 0;
    std::uint32_t keyData = MakeKeyData(scan, 1, alt);
    if (virtualKey != 0) {
        // F10 is a system key even without Alt, as the menu key of the desktop.
        bool system = alt || virtualKey == VK_F10;
        out.push_back({system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, keyData, modifiers});
    }
    if (character >= 0)
        out.push_back({alt ? WM_SYSCHAR : WM_CHAR, std::uint32_t(std::uint8_t(character)), keyData,
                       modifiers});
}

tTerminalInput::tTerminalInput(const tTerminalCaps& caps) : m_Caps(caps) {}

void tTerminalInput::Decode(std::string_view bytes, std::uint32_t now,
                            std::vector<TConsoleMsg>& out) {
    m_Pending.append(bytes);
    DecodePending(false, now, out);
}

void tTerminalInput::Flush(std::uint32_t now, std::vector<TConsoleMsg>& out) {
    DecodePending(true, now, out);
}

void tTerminalInput::DecodePending(bool flush, std::uint32_t now, std::vector<TConsoleMsg>& out) {
    std::string_view text = m_Pending;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t used = DecodeOne(text.substr(pos), flush, now, out);
        if (used == 0)
            break;
        pos += used;
    }
    m_Pending.erase(0, pos);
}

std::size_t tTerminalInput::DecodeOne(std::string_view text, bool flush, std::uint32_t now,
                                      std::vector<TConsoleMsg>& out) {
    if (m_InPaste)
        return DecodePaste(text, flush, out);
    auto lead = std::uint8_t(text[0]);
    if (lead == 0x1B)
        return DecodeEscape(text, flush, now, out);
    if (lead < 0x20 || lead == 0x7F) {
        EmitControl(lead, 0, out);
        return 1;
    }
    return DecodeCharacter(text, flush, 0, out);
}

std::size_t tTerminalInput::DecodeEscape(std::string_view text, bool flush, std::uint32_t now,
                                         std::vector<TConsoleMsg>& out) {
    if (std::size_t used = DecodeKnownKey(text, 0, out))
        return used;
    if (!flush) {
        for (const tTerminalKeyString& key : m_Caps.Keys)
            if (key.Bytes.size() > text.size() && key.Bytes.starts_with(text))
                return 0;
    }
    if (text.size() == 1)
        return flush ? EmitEscape(out) : 0;
    std::size_t used = 0;
    if (text[1] == '[') {
        used = DecodeCsi(text.substr(2), 0, now, out);
    } else if (text[1] == 'O') {
        used = DecodeSs3(text.substr(2), 0, out);
    } else if (text[1] == 0x1B) {
        // Esc before a whole sequence: the key with Alt, as rxvt and some consoles send it.
        std::string_view rest = text.substr(1);
        if (rest.size() == 1 || (rest[1] != '[' && rest[1] != 'O'))
            return rest.size() == 1 && !flush ? 0 : EmitEscape(out);
        if (std::size_t known = DecodeKnownKey(rest, modAlt, out))
            return known + 1;
        used = rest[1] == '[' ? DecodeCsi(rest.substr(2), modAlt, now, out)
                              : DecodeSs3(rest.substr(2), modAlt, out);
        if (used > 0)
            return used + 3;
        return flush ? EmitEscape(out) : 0;
    } else {
        auto next = std::uint8_t(text[1]);
        if (next < 0x20 || next == 0x7F) {
            EmitControl(next, modAlt, out);
            return 2;
        }
        used = DecodeCharacter(text.substr(1), flush, modAlt, out);
        return used == 0 ? 0 : used + 1;
    }
    if (used > 0)
        return used + 2;
    return flush ? EmitEscape(out) : 0;
}

std::size_t tTerminalInput::DecodePaste(std::string_view text, bool flush,
                                        std::vector<TConsoleMsg>& out) {
    const std::size_t end = text.find(kPasteEnd);
    if (end == std::string_view::npos) {
        // All but what may be the start of the closing marker, which waits for more bytes.
        std::size_t keep = 0;
        for (std::size_t n = std::min(text.size(), kPasteEnd.size() - 1); n > 0 && !flush; --n)
            if (kPasteEnd.starts_with(text.substr(text.size() - n))) {
                keep = n;
                break;
            }
        const std::size_t taken = text.size() - keep;
        if (m_Pasted.size() < kMostPasted)
            m_Pasted.append(text.substr(0, std::min(taken, kMostPasted - m_Pasted.size())));
        return taken;
    }
    if (m_Pasted.size() < kMostPasted)
        m_Pasted.append(text.substr(0, std::min(end, kMostPasted - m_Pasted.size())));
    AppendPastedText(m_Pasted, out);
    m_Pasted.clear();
    m_InPaste = false;
    return end + kPasteEnd.size();
}

std::size_t tTerminalInput::EmitEscape(std::vector<TConsoleMsg>& out) {
    EmitControl(0x1B, 0, out);
    return 1;
}

std::size_t tTerminalInput::DecodeKnownKey(std::string_view text, std::uint32_t modifiers,
                                           std::vector<TConsoleMsg>& out) {
    const tTerminalKeyString* best = nullptr;
    for (const tTerminalKeyString& key : m_Caps.Keys)
        if (text.starts_with(key.Bytes) &&
            (best == nullptr || key.Bytes.size() > best->Bytes.size()))
            best = &key;
    if (best == nullptr)
        return 0;
    std::uint32_t all = best->Modifiers | modifiers;
    if (best->VirtualKey == VK_TAB)
        AppendKeyRecords(VK_TAB, 0x0F, all, 9, out);
    else if (best->VirtualKey == VK_RETURN)
        AppendKeyRecords(VK_RETURN, 0x1C, all, 13, out);
    else
        AppendKeyRecords(best->VirtualKey, ScanCodeOfKey(best->VirtualKey), all, -1, out);
    return best->Bytes.size();
}

std::size_t tTerminalInput::DecodeCsi(std::string_view body, std::uint32_t modifiers,
                                      std::uint32_t now, std::vector<TConsoleMsg>& out) {
    if (!body.empty() && body[0] == 'M') {
        // The old mouse report: three raw bytes after the M, each offset by 32.
        if (body.size() < 4)
            return 0;
        tMouseReport report{std::uint8_t(body[1]) - 32, std::uint8_t(body[2]) - 33,
                            std::uint8_t(body[3]) - 33, false};
        report.Release = (report.Code & 3) == 3 && (report.Code & (32 | 64)) == 0;
        EmitMouse(report, now, out);
        return 4;
    }
    std::size_t end = 0;
    while (end < body.size() && std::uint8_t(body[end]) >= 0x20 && std::uint8_t(body[end]) < 0x40)
        ++end;
    if (end == body.size())
        return body.size() > kLongestSequence ? body.size() : 0;
    char final = body[end];
    if (std::uint8_t(final) > 0x7E)
        return end; // broken sequence: drop it, keep the odd byte
    if (body.substr(0, end + 1) == "200~") {
        m_InPaste = true;
        m_Pasted.clear();
        return end + 1;
    }
    tParameters parameters = ParseParameters(body.substr(0, end));
    const auto& values = parameters.Values;
    std::uint32_t all = modifiers | ModifiersOfParameter(values[1]);
    if (parameters.Marker == '<' && (final == 'M' || final == 'm')) {
        EmitMouse({values[0], values[1] - 1, values[2] - 1, final == 'm'}, now, out);
    } else if (parameters.Marker != 0) {
        // Replies and reports the host never asked for.
    } else if (std::uint32_t key = KeyOfFinal(final)) {
        AppendKeyRecords(key, ScanCodeOfKey(key), all, -1, out);
    } else if (final == 'Z') {
        AppendKeyRecords(VK_TAB, 0x0F, all | modShift, 9, out);
    } else if (final == 'u') {
        AppendCodePoint(char32_t(values[0]), all, out);
    } else if (final == '~' && values[0] == 27) {
        AppendCodePoint(char32_t(values[2]), all, out);
    } else if (final == '~') {
        for (const tTildeKey& tilde : kTildeKeys)
            if (tilde.Number == values[0])
                AppendKeyRecords(tilde.VirtualKey, ScanCodeOfKey(tilde.VirtualKey), all, -1, out);
    }
    return end + 1;
}

std::size_t tTerminalInput::DecodeSs3(std::string_view body, std::uint32_t modifiers,
                                      std::vector<TConsoleMsg>& out) {
    std::size_t end = 0;
    int parameter = 0;
    while (end < body.size() && body[end] >= '0' && body[end] <= '9')
        parameter = parameter * 10 + (body[end++] - '0');
    if (end == body.size())
        return end > 2 ? end : 0;
    std::uint32_t all = modifiers | ModifiersOfParameter(parameter);
    char final = body[end];
    if (std::uint32_t key = KeyOfFinal(final)) {
        AppendKeyRecords(key, ScanCodeOfKey(key), all, -1, out);
    } else if (final == 'M') {
        AppendKeyRecords(VK_RETURN, 0x1C, all, 13, out);
    } else if (final >= 'p' && final <= 'y') {
        std::uint32_t digit = VK_NUMPAD0 + std::uint32_t(final - 'p');
        AppendKeyRecords(digit, ScanCodeOfKey(digit), all, '0' + (final - 'p'), out);
    } else {
        // The keypad's operators, in application keypad mode.
        constexpr std::array<std::pair<char, std::uint32_t>, 5> kKeypad = {{{'j', VK_MULTIPLY},
                                                                            {'k', VK_ADD},
                                                                            {'m', VK_SUBTRACT},
                                                                            {'o', VK_DIVIDE},
                                                                            {'n', VK_DECIMAL}}};
        constexpr std::string_view kTyped = "*+-/.";
        for (std::size_t i = 0; i < kKeypad.size(); ++i)
            if (kKeypad[i].first == final)
                AppendKeyRecords(kKeypad[i].second, ScanCodeOfKey(kKeypad[i].second), all,
                                 kTyped[i], out);
    }
    return end + 1;
}

std::size_t tTerminalInput::DecodeCharacter(std::string_view text, bool flush,
                                            std::uint32_t modifiers,
                                            std::vector<TConsoleMsg>& out) {
    auto lead = std::uint8_t(text[0]);
    std::size_t length = Utf8Length(lead);
    if (length > text.size()) {
        if (!flush)
            return 0;
        // Cut off for good: a terminal sending 8-bit meta bytes.
        if (lead >= 0x80 && (modifiers & modAlt) == 0)
            AppendMeta(std::uint8_t(lead & 0x7F), out);
        return 1;
    }
    std::size_t pos = 0;
    char32_t code = DecodeUtf8(text, pos);
    // A high byte that is no UTF-8 is a key with the meta bit set. A Latin-1 letter in UTF-8
    // is typed: the terminal was asked to send Alt as Esc first.
    if ((modifiers & modAlt) == 0 && code == U'\uFFFD' && pos == 1 && lead >= 0x80) {
        AppendMeta(std::uint8_t(lead & 0x7F), out);
        return pos;
    }
    int character = UnicodeToCp866(code);
    if (character >= 0x20)
        AppendCharacter(std::uint8_t(character), modifiers, out);
    else if (Cp866Lacks(code) && code != U'\uFFFD' && (modifiers & modAlt) == 0)
        // Told, not dropped: a name typed without it would be another name.
        out.push_back(UntypableRecord({code, false}));
    return pos;
}

void tTerminalInput::AppendMeta(std::uint8_t key, std::vector<TConsoleMsg>& out) {
    if (key < 0x20 || key == 0x7F)
        EmitControl(key, modAlt, out);
    else
        AppendCharacter(key, modAlt, out);
}

void tTerminalInput::EmitControl(std::uint8_t byte, std::uint32_t modifiers,
                                 std::vector<TConsoleMsg>& out) {
    if (byte == std::uint8_t(m_Caps.EraseKey) || byte == 0x7F) {
        AppendKeyRecords(VK_BACK, 0x0E, modifiers, 8, out);
        return;
    }
    switch (byte) {
    case 0x03:
        // The terminal's interrupt key: in raw mode no SIGINT comes, so it closes like a
        // window's close button (Alt+Ctrl+C stays a key).
        if ((modifiers & modAlt) == 0) {
            TConsoleMsg close;
            close.message = WM_CLOSE;
            out.push_back(close);
            return;
        }
        break;
    case 0x0D:
        AppendKeyRecords(VK_RETURN, 0x1C, modifiers, 13, out);
        return;
    case 0x09:
        AppendKeyRecords(VK_TAB, 0x0F, modifiers, 9, out);
        return;
    case 0x0A:
        AppendKeyRecords(VK_RETURN, 0x1C, modifiers | modCtrl, 10, out);
        return;
    case 0x1B:
        AppendKeyRecords(VK_ESCAPE, 0x01, modifiers, 27, out);
        return;
    case 0x00:
        AppendKeyRecords(VK_SPACE, 0x39, modifiers | modCtrl, ' ', out);
        return;
    case 0x1C:
        AppendKeyRecords(VK_OEM_5, 0x2B, modifiers | modCtrl, 0x1C, out);
        return;
    case 0x1D:
        AppendKeyRecords(VK_OEM_6, 0x1B, modifiers | modCtrl, 0x1D, out);
        return;
    // These two are typed with Shift on the desktop (Ctrl+^, Ctrl+_); Ctrl alone types none.
    case 0x1E:
        AppendKeyRecords('6', 0x07, modifiers | modCtrl | modShift, 0x1E, out);
        return;
    case 0x1F:
        AppendKeyRecords(VK_OEM_MINUS, 0x0C, modifiers | modCtrl | modShift, 0x1F, out);
        return;
    default:
        break;
    }
    // Ctrl with a letter: the letter's key, typing the control code.
    tTypingKey key = KeyOfCharacter(std::uint8_t('A' + byte - 1));
    AppendKeyRecords(key.VirtualKey, key.Scan, modifiers | modCtrl, byte, out);
}

void tTerminalInput::EmitMouse(const tMouseReport& report, std::uint32_t now,
                               std::vector<TConsoleMsg>& out) {
    std::uint32_t keys = ((report.Code & 4) ? MK_SHIFT : 0) | ((report.Code & 16) ? MK_CONTROL : 0);
    bool alt = (report.Code & 8) != 0;
    int button = report.Code & 3;
    constexpr std::array<std::uint32_t, 3> kButtonBits = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
    constexpr std::array<std::uint32_t, 3> kDownMessages = {WM_LBUTTONDOWN, WM_MBUTTONDOWN,
                                                            WM_RBUTTONDOWN};
    std::uint32_t lParam = MakeMouseData(report.Column, report.Row);
    auto push = [&](std::uint32_t message, std::uint32_t wParam) {
        std::uint32_t shift = ModifiersOfMouseKeys(wParam) | (alt ? modAlt : 0);
        out.push_back({message, wParam, lParam, message == WM_MOUSEWHEEL ? 0 : shift});
    };
    if (report.Code & 64) {
        if (button < 2) // vertical wheel only
            push(WM_MOUSEWHEEL,
                 (std::uint32_t(std::uint16_t(button == 0 ? kWheelStep : -kWheelStep)) << 16) |
                     m_HeldButtons | keys);
        return;
    }
    if (report.Code & 32) {
        push(WM_MOUSEMOVE, m_HeldButtons | keys);
        return;
    }
    if (report.Release || button == 3) {
        // The old report does not say which button went up: all of them did.
        for (int i = 0; i < 3; ++i) {
            bool released = button == 3 ? (m_HeldButtons & kButtonBits[i]) != 0 : i == button;
            if (!released)
                continue;
            m_HeldButtons &= ~kButtonBits[i];
            push(kDownMessages[i] + 1, m_HeldButtons | keys);
        }
        return;
    }
    // Cells: the second press must be on the same cell.
    tMousePress press{kButtonBits[button], report.Column, report.Row, now, false};
    bool isDouble = CompletesDoubleClick(m_LastPress, press, 0);
    press.CompletedDouble = isDouble;
    m_LastPress = press;
    m_HeldButtons |= kButtonBits[button];
    push(kDownMessages[button] + (isDouble ? 2 : 0), m_HeldButtons | keys);
}

} // namespace zarvo
