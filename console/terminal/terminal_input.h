// Turns the bytes a terminal sends into the console's input records: keys as a keyboard
// would report them (key-down, then the typed character), SGR mouse reports as button and
// move messages with double clicks recognised here, as the window system would, and a
// bracketed paste as the characters it types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_msg.h"
#include "console/terminal/terminal_caps.h"

namespace zarvo {

class tTerminalInput {
  public:
    explicit tTerminalInput(const tTerminalCaps& caps);

    // Decodes what can be decoded of the bytes read so far (`now` in milliseconds, for
    // double clicks); a sequence cut off at the end waits for the next bytes.
    void Decode(std::string_view bytes, std::uint32_t now, std::vector<TConsoleMsg>& out);
    // True while a cut-off sequence waits; after a short pause the caller calls Flush,
    // which takes it as typed (a lone Esc is the Esc key).
    bool HasPartial() const { return !m_Pending.empty(); }
    void Flush(std::uint32_t now, std::vector<TConsoleMsg>& out);

  private:
    struct tMouseReport {
        int Code = 0; // the xterm button code: buttons, modifiers, motion and wheel bits
        int Column = 0;
        int Row = 0;
        bool Release = false;
    };

    void DecodePending(bool flush, std::uint32_t now, std::vector<TConsoleMsg>& out);
    std::size_t DecodeOne(std::string_view text, bool flush, std::uint32_t now,
                          std::vector<TConsoleMsg>& out);
    std::size_t DecodeEscape(std::string_view text, bool flush, std::uint32_t now,
                             std::vector<TConsoleMsg>& out);
    std::size_t DecodeCsi(std::string_view text, std::uint32_t modifiers, std::uint32_t now,
                          std::vector<TConsoleMsg>& out);
    std::size_t DecodeSs3(std::string_view text, std::uint32_t modifiers,
                          std::vector<TConsoleMsg>& out);
    std::size_t DecodeKnownKey(std::string_view text, std::uint32_t modifiers,
                               std::vector<TConsoleMsg>& out);
    std::size_t DecodeCharacter(std::string_view text, bool flush, std::uint32_t modifiers,
                                std::vector<TConsoleMsg>& out);
    std::size_t EmitEscape(std::vector<TConsoleMsg>& out);
    // A 7-bit key that came with the meta bit set: the key with Alt.
    void AppendMeta(std::uint8_t key, std::vector<TConsoleMsg>& out);
    void EmitControl(std::uint8_t byte, std::uint32_t modifiers, std::vector<TConsoleMsg>& out);
    void EmitMouse(const tMouseReport& report, std::uint32_t now, std::vector<TConsoleMsg>& out);
    // Inside a bracketed paste: gathers the text up to the closing marker.
    std::size_t DecodePaste(std::string_view text, bool flush, std::vector<TConsoleMsg>& out);

    const tTerminalCaps& m_Caps;
    bool m_InPaste = false;
    std::string m_Pasted; // UTF-8, the paste so far
    std::string m_Pending;
    std::uint32_t m_HeldButtons = 0; // MK_*BUTTON bits
    tMousePress m_LastPress;         // in cells
};

// The records of one key: key-down (system key-down with Alt), then, when the key types
// one, the character (system character with Alt). character < 0: the key types nothing.
void AppendKeyRecords(std::uint32_t virtualKey, std::uint8_t scan, std::uint32_t modifiers,
                      int character, std::vector<TConsoleMsg>& out);

} // namespace zarvo
