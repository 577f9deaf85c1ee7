// The global command set and its change flag.
#include "views/command_set.h"

namespace zarvo {

tCommandSet::tCommandSet(std::initializer_list<std::uint16_t> commands) {
    for (std::uint16_t command : commands)
        Enable(command);
}

bool tCommandSet::Has(std::uint16_t command) const {
    return command < 256 && m_Bits.test(command);
}

void tCommandSet::Enable(std::uint16_t command) {
    if (command < 256)
        m_Bits.set(command);
}

void tCommandSet::Disable(std::uint16_t command) {
    if (command < 256)
        m_Bits.reset(command);
}

tCommandSet& tCommandSet::operator|=(const tCommandSet& other) {
    m_Bits |= other.m_Bits;
    return *this;
}

tCommandSet& tCommandSet::operator-=(const tCommandSet& other) {
    m_Bits &= ~other.m_Bits;
    return *this;
}

tCommandSet InitialCommandSet() {
    tCommandSet set;
    set.EnableAll();
    for (std::uint16_t command = 4; command <= 8; ++command)
        set.Disable(command);
    return set;
}

tCommandSet CurrentCommands = InitialCommandSet();
bool CommandSetChanged = false;

bool IsCommandOn(std::uint16_t command) {
    return command > 255 || CurrentCommands.Has(command);
}

void EnableCommandSet(const tCommandSet& commands) {
    if (!CommandSetChanged && !CurrentCommands.Contains(commands))
        CommandSetChanged = true;
    CurrentCommands |= commands;
}

void DisableCommandSet(const tCommandSet& commands) {
    if (!CommandSetChanged && CurrentCommands.Intersects(commands))
        CommandSetChanged = true;
    CurrentCommands -= commands;
}

tCommandSet SaveCommandSet() {
    return CurrentCommands;
}

void RestoreCommandSet(const tCommandSet& commands) {
    if (!(commands == CurrentCommands))
        CommandSetChanged = true;
    CurrentCommands = commands;
}

} // namespace zarvo
