// Word wrapping of message texts: byte 3 at the start of a line centres it, a CR
// (optionally with an LF) breaks the line, "~" pairs mark highlighted letters.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

// The wrapper's position and the line it found last. Positions count from 1.
struct tWrapState {
    int Width = 0;           // at most this many visible characters per line
    bool TildeAware = false; // "~" takes no width
    int Pos = 0;             // where the next line starts; 0 is taken as 1
    // The line found by the last call:
    int Start = 0;
    int Length = 0;        // characters, tildes included
    int VisibleLength = 0; // Length without the free tildes
    bool Centered = false;

    // The characters of the last line found.
    std::string_view Line(std::string_view text) const {
        return text.substr(std::size_t(Start - 1), std::size_t(Length));
    }
};

// Finds the next line of Text; false when the text is exhausted.
bool WrapNextLine(std::string_view text, tWrapState& state);

// Runs the wrapper over the whole text, tildes counted as characters.
void MeasureText(std::string_view text, int width, int& maxWidth, int& lineCount);

// The wrapped lines joined by CR LF, each after Indent spaces; a centred line is centred
// in Width with spaces.
std::string WrapText(std::string_view text, int width, int indent);
std::string WrapText74(std::string_view text);

} // namespace zarvo
