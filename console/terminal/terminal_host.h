// The terminal host: the character screen in a terminal (alternate screen, raw input, SGR
// mouse, Unicode glyphs, 24-bit or 16 colours), sized to the terminal unless the settings
// file fixes the size. It feeds the same input records as the
// window host, so every key table of the driver layer works unchanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "console/drivers_console.h"
#include "console/terminal/terminal_caps.h"
#include "console/terminal/terminal_input.h"
#include "console/terminal/terminal_screen.h"
#include "console/terminal/terminal_session.h"

namespace zarvo {

class tTerminalHost : public tConsoleHost {
  public:
    tTerminalHost();
    ~tTerminalHost() override;

    bool CreateSurface(tMyForm& form) override;
    void DestroySurface(tMyForm& form) override;
    void RunEventLoop(tMyForm& form) override;
    void BeginPaint() override;
    void PaintCells(int x, int y, const std::uint16_t* cells, int count) override;
    void EndPaint() override;
    void PaintEmpty() override;
    void PlaceCursor(int x, int y, int shape, bool visible) override;
    void SurfaceSignal(tMyForm& form, int signal) override;
    std::uint32_t HeldModifiers() override { return m_LastModifiers.load(); }

    // How long the rest of a sequence may take before a lone Esc counts as the Esc key.
    static constexpr int kEscapeWaitMilliseconds = 50;

  private:
    void ReadInput(tMyForm& form);
    void QueueRecords(tMyForm& form);
    void RefitScreen(tMyForm& form);
    void DrawSizeNotice(const tMyForm& form);
    void Flush();

    tTerminalCaps m_Caps;
    tTerminalSession m_Session;
    std::unique_ptr<tTerminalScreen> m_Screen;
    std::unique_ptr<tTerminalInput> m_Input;
    std::vector<TConsoleMsg> m_Records;
    std::atomic<std::uint32_t> m_LastModifiers{0};
    std::uint32_t m_PartialSince = 0; // when the last input bytes arrived
    bool m_Painting = false;
    bool m_InputOpen = true;
    // Cols x Rows follow the terminal's size (no size in the settings file).
    bool m_FollowTerminal = false;
    // The terminal's last row when it is too small for the screen: it says so there instead.
    int m_NoticeRow = -1;
};

} // namespace zarvo
