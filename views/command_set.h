// The global set of enabled commands: 256 bits compared and combined as a whole. Commands
// above 255 cannot be disabled. The application broadcasts cmdCommandsChanged when
// CommandSetChanged is set and clears it.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>

namespace zarvo {

class tCommandSet {
  public:
    tCommandSet() = default;
    tCommandSet(std::initializer_list<std::uint16_t> commands);

    // Commands above 255 are outside the set: Has answers false, the others ignore them.
    bool Has(std::uint16_t command) const;
    void Enable(std::uint16_t command);
    void Disable(std::uint16_t command);
    void EnableAll() { m_Bits.set(); }
    bool IsEmpty() const { return m_Bits.none(); }
    bool Intersects(const tCommandSet& other) const { return (m_Bits & other.m_Bits).any(); }
    // True when every command of OTHER is in this set.
    bool Contains(const tCommandSet& other) const { return (other.m_Bits & ~m_Bits).none(); }

    tCommandSet& operator|=(const tCommandSet& other);
    tCommandSet& operator-=(const tCommandSet& other);
    bool operator==(const tCommandSet& other) const = default;

  private:
    std::bitset<256> m_Bits;
};

// Commands that may be issued now: all but 4-8 at start (no window is there to take them).
extern tCommandSet CurrentCommands;
// Set when CurrentCommands changed; cleared by whoever announces the change.
extern bool CommandSetChanged;

// True for commands above 255, else whether the command is enabled.
bool IsCommandOn(std::uint16_t command);
void EnableCommandSet(const tCommandSet& commands);
void DisableCommandSet(const tCommandSet& commands);
tCommandSet SaveCommandSet();
void RestoreCommandSet(const tCommandSet& commands);
// The start-up set (tests restore it between cases).
tCommandSet InitialCommandSet();

} // namespace zarvo
