// Reads a terminal's control and key strings from terminfo. The terminfo headers define
// macros for every capability name, so they stay inside this one file.
#include "console/terminal/terminal_caps.h"

#include <array>
#include <cctype>
#include <utility>

#include "console/console_msg.h"
#include "console/terminal/terminal_keys.h"

// Last: these define a macro for every capability name.
#include <ncursesw/curses.h>
#include <ncursesw/term.h>

namespace zarvo {
namespace {

// SGR mouse with button-motion reports; the press/release mode comes first so that terminals
// that only know it still report clicks.
// Bracketed paste rides along: pasted text then comes between two markers instead of
// looking like typed keys (a line break in it would press the default button).
constexpr const char* kMouseOn = "\x1b[?1000h\x1b[?1002h\x1b[?1006h\x1b[?2004h";
constexpr const char* kMouseOff = "\x1b[?2004l\x1b[?1006l\x1b[?1002l\x1b[?1000l";
// Alt as Esc before the key, instead of the key's byte with the high bit set (which in a UTF-8
// terminal arrives as a Latin-1 letter): xterm's default is the latter.
constexpr const char* kMetaEscapeOn = "\x1b[?1036h";
constexpr const char* kMetaEscapeOff = "\x1b[?1036l";
// Cursor style for terminals whose entry lacks Ss/Se; terminals that do not know it ignore it.
constexpr const char* kDefaultShape = "\x1b[%p1%d q";
constexpr const char* kDefaultShapeReset = "\x1b[0 q";

std::string StringCap(const char* name) {
    char* value = tigetstr(const_cast<char*>(name));
    if (value == nullptr || value == reinterpret_cast<char*>(-1))
        return {};
    return WithoutPadding(value);
}

bool FlagCap(const char* name) {
    return tigetflag(const_cast<char*>(name)) > 0;
}

int NumberCap(const char* name) {
    return tigetnum(const_cast<char*>(name));
}

struct tKeyCap {
    const char* Name;
    unsigned VirtualKey;
};

constexpr std::array<tKeyCap, 11> kCursorKeyCaps = {{
    {"kcuu1", VK_UP},
    {"kcud1", VK_DOWN},
    {"kcub1", VK_LEFT},
    {"kcuf1", VK_RIGHT},
    {"khome", VK_HOME},
    {"kend", VK_END},
    {"kich1", VK_INSERT},
    {"kdch1", VK_DELETE},
    {"kpp", VK_PRIOR},
    {"knp", VK_NEXT},
    {"kent", VK_RETURN},
}};

// Extended names for modified cursor keys: the bare name is Shift, digits 3-8 follow the
// modifier parameter of the xterm sequences.
constexpr std::array<tKeyCap, 10> kModifiedKeyCaps = {{
    {"kUP", VK_UP},
    {"kDN", VK_DOWN},
    {"kLFT", VK_LEFT},
    {"kRIT", VK_RIGHT},
    {"kHOM", VK_HOME},
    {"kEND", VK_END},
    {"kIC", VK_INSERT},
    {"kDC", VK_DELETE},
    {"kPRV", VK_PRIOR},
    {"kNXT", VK_NEXT},
}};

void AddKey(std::vector<tTerminalKeyString>& keys, const std::string& bytes, unsigned key,
            unsigned modifiers) {
    if (!bytes.empty())
        keys.push_back({bytes, key, modifiers});
}

void LoadKeys(std::vector<tTerminalKeyString>& keys) {
    for (const tKeyCap& cap : kCursorKeyCaps)
        AddKey(keys, StringCap(cap.Name), cap.VirtualKey, 0);
    AddKey(keys, StringCap("kcbt"), VK_TAB, modShift);
    // kf1-kf12 plain, then blocks of twelve with Shift, Ctrl, Ctrl+Shift and Alt.
    constexpr std::array<unsigned, 5> kFunctionBlocks = {0, modShift, modCtrl, modCtrl | modShift,
                                                         modAlt};
    for (std::size_t block = 0; block < kFunctionBlocks.size(); ++block)
        for (unsigned i = 0; i < 12; ++i) {
            std::string name = "kf" + std::to_string(block * 12 + i + 1);
            AddKey(keys, StringCap(name.c_str()), VK_F1 + i, kFunctionBlocks[block]);
        }
    for (const tKeyCap& cap : kModifiedKeyCaps) {
        AddKey(keys, StringCap(cap.Name), cap.VirtualKey, modShift);
        for (int parameter = 3; parameter <= 8; ++parameter) {
            std::string name = cap.Name + std::to_string(parameter);
            AddKey(keys, StringCap(name.c_str()), cap.VirtualKey, ModifiersOfParameter(parameter));
        }
    }
}

} // namespace

std::string WithoutPadding(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        // $<digits[.digit][*][/]> is a delay request, never text for the terminal.
        if (text[pos] == '$' && pos + 1 < text.size() && text[pos + 1] == '<') {
            std::size_t end = pos + 2;
            while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) ||
                                         text[end] == '.' || text[end] == '*' || text[end] == '/'))
                ++end;
            if (end < text.size() && text[end] == '>' && end > pos + 2) {
                pos = end + 1;
                continue;
            }
        }
        out += text[pos++];
    }
    return out;
}

bool tTerminalCaps::Load(const std::string& termName, const std::string& colourTerm) {
    int error = 0;
    if (termName.empty() || setupterm(termName.c_str(), -1, &error) != OK)
        return false;
    TermName = termName;
    CursorAddress = StringCap("cup");
    EnterScreen =
        StringCap("smcup") + StringCap("smkx") + StringCap("rmam") + kMouseOn + kMetaEscapeOn;
    HideCursor = StringCap("civis");
    ShowCursor = StringCap("cnorm");
    CursorShape = StringCap("Ss");
    ResetCursorShape = StringCap("Se");
    if (CursorShape.empty()) {
        CursorShape = kDefaultShape;
        ResetCursorShape = kDefaultShapeReset;
    }
    ResetColours = StringCap("sgr0");
    if (ResetColours.empty())
        ResetColours = "\x1b[m";
    ClearScreen = StringCap("clear");
    AlternateScreen = !StringCap("smcup").empty();
    LeaveScreen = std::string(kMetaEscapeOff) + kMouseOff + ResetColours + ResetCursorShape +
                  ShowCursor + StringCap("smam") + StringCap("rmkx") + StringCap("rmcup");
    std::string erase = StringCap("kbs");
    EraseKey = erase.size() == 1 ? erase[0] : char(0x7F);
    if (colourTerm == "truecolor" || colourTerm == "24bit" || FlagCap("RGB") || FlagCap("Tc"))
        Colours = tColourDepth::Direct;
    else if (NumberCap("colors") < 8)
        Colours = tColourDepth::Monochrome;
    else
        Colours = tColourDepth::Ansi16;
    Keys.clear();
    LoadKeys(Keys);
    del_curterm(cur_term);
    return !CursorAddress.empty();
}

std::string tTerminalCaps::MoveTo(int row, int column) const {
    return WithoutPadding(tiparm(CursorAddress.c_str(), row, column));
}

std::string tTerminalCaps::ShapeCursor(int style) const {
    return WithoutPadding(tiparm(CursorShape.c_str(), style));
}

} // namespace zarvo
