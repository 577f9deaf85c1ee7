// Ownership of the terminal while the terminal host runs: raw input, the alternate screen,
// and stdout (and a terminal stderr) held aside so stray text cannot scribble over the
// screen. Whatever ends the program (a normal end, exit, a crash, a fatal signal) gives the
// terminal back as it was and then writes the held text.
#pragma once

#include <string>
#include <string_view>

#include "console/terminal/terminal_caps.h"

namespace zarvo {

class tTerminalSession {
  public:
    tTerminalSession() = default;
    ~tTerminalSession() { Close(); }
    tTerminalSession(const tTerminalSession&) = delete;
    tTerminalSession& operator=(const tTerminalSession&) = delete;

    // Takes the terminal on stdin and stdout. False with a pending error when they are not
    // a terminal or it cannot be set up; nothing is changed then.
    bool Open(const tTerminalCaps& caps);
    // Gives the terminal back and writes the held text; safe to call twice.
    void Close();
    bool IsOpen() const { return m_Open; }

    int InputFd() const { return 0; }
    // The terminal, written past the held stdout.
    int OutputFd() const;
    // Writes all of bytes to the terminal; false when the terminal is gone.
    bool Write(std::string_view bytes) const;
    // The terminal's size in cells; false when it cannot be read.
    bool Size(int& width, int& height) const;
    // Gives the terminal back for a stop (the held text stays held).
    void Suspend();
    // Puts raw mode and the screen modes back after the process was stopped and continued.
    void Reenter();
    // The terminal has `rows` rows: a terminal without an alternate screen is cleared at the
    // end with the cursor left on its last row, where the shell goes on.
    void SetRows(int rows);

  private:
    bool m_Open = false;
    const tTerminalCaps* m_Caps = nullptr;
};

} // namespace zarvo
