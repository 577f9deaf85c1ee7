// What the terminal host needs to know about a terminal type: the control strings it sends
// and the key strings it receives, read once from the terminfo database.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

// A key string of the terminal and the key it stands for, as a virtual-key code and the
// modifiers held (modShift, modAlt, modCtrl of the console records).
struct tTerminalKeyString {
    std::string Bytes;
    unsigned VirtualKey = 0;
    unsigned Modifiers = 0;
};

// Monochrome: terminals without colours (vt100, vt102) get bold and reverse video instead.
enum class tColourDepth { Monochrome, Ansi16, Direct };

struct tTerminalCaps {
    std::string TermName;
    std::string CursorAddress; // terminfo format with two parameters: row, column
    std::string EnterScreen;   // alternate screen, keypad transmit, no autowrap
    std::string LeaveScreen;
    std::string HideCursor;
    std::string ShowCursor;
    std::string CursorShape; // format with one parameter (DECSCUSR style)
    std::string ResetCursorShape;
    std::string ResetColours;
    std::string ClearScreen;
    // Whether the terminal has a screen of its own for programs; without one, what the host
    // drew stays behind unless it is cleared at the end.
    bool AlternateScreen = false;
    char EraseKey = 0x7F; // the byte the Backspace key sends
    tColourDepth Colours = tColourDepth::Ansi16;
    std::vector<tTerminalKeyString> Keys;

    // Fills the caps from the terminfo entry `termName`; false when the entry is missing or
    // cannot address the cursor. `colourTerm` is $COLORTERM.
    bool Load(const std::string& termName, const std::string& colourTerm);

    // The bytes that move the cursor to a cell, counted from 0.
    std::string MoveTo(int row, int column) const;
    // The bytes that set the cursor shape: 2 steady block, 4 steady underline.
    std::string ShapeCursor(int style) const;
};

// A control string with its terminfo padding ("$<5>", "$<2*/>") taken out: the terminals this
// host meets need no delays, and written raw the padding shows up as text.
std::string WithoutPadding(std::string_view text);

} // namespace zarvo
