// The headless console: a host with no screen of its own. Scripted input records go in;
// the painted cells, the cursor and a count of painted cells come out. Tests use it, and
// tHeadlessConsole wraps it with a form on the calling thread for screen tests.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/drivers_console.h"

namespace zarvo {

class tHeadlessHost : public tConsoleHost {
  public:
    // Records queued through the form when the event loop starts.
    void Script(std::vector<TConsoleMsg> records);
    void SetHeldModifiers(std::uint32_t modifiers) { m_Held = modifiers; }

    bool CreateSurface(tMyForm& form) override;
    void DestroySurface(tMyForm& form) override;
    // Feeds the script, then carries out posted requests until the quit (each wait bounded).
    void RunEventLoop(tMyForm& form) override;
    void PaintCells(int x, int y, const std::uint16_t* cells, int count) override;
    void PaintEmpty() override;
    void PlaceCursor(int x, int y, int shape, bool visible) override;
    std::uint32_t HeldModifiers() override { return m_Held; }

    // What the screen shows; safe to read from any thread.
    std::vector<std::uint16_t> Screen() const;
    int Cols() const;
    int Rows() const;
    std::uint16_t CellAt(int x, int y) const;
    // One row as UTF-8 glyphs, trailing blanks kept.
    std::string RowText(int y) const;
    std::vector<std::string> Lines() const;
    std::size_t PaintedCells() const;
    std::size_t PaintCalls() const;
    void ResetPaintCount();
    struct tCursor {
        int X = 0;
        int Y = 0;
        int Shape = 0x2000;
        bool Visible = false;
    };
    tCursor Cursor() const;
    bool SurfaceExists() const;

  private:
    mutable std::mutex m_Lock;
    std::vector<TConsoleMsg> m_Script;
    std::vector<std::uint16_t> m_Screen;
    int m_Cols = 0;
    int m_Rows = 0;
    bool m_Surface = false;
    std::size_t m_PaintedCells = 0;
    std::size_t m_PaintCalls = 0;
    tCursor m_Cursor;
    std::uint32_t m_Held = 0;
};

// A headless host and its form on the calling thread, installed as HostForm, with
// ScreenDrawLock bound and ConsoleClass set to tDriversConsole; everything is put back on
// destruction. Pump() carries out what the run side posted (repaints, the cursor).
class tHeadlessConsole {
  public:
    explicit tHeadlessConsole(int cols = 80, int rows = 25);
    ~tHeadlessConsole();
    tHeadlessConsole(const tHeadlessConsole&) = delete;
    tHeadlessConsole& operator=(const tHeadlessConsole&) = delete;

    tHeadlessHost& Host() { return m_Host; }
    tMyForm& Form() { return *m_Form; }
    void Pump() { m_Form->DispatchPosted(); }
    // Queues an input record as a host would.
    void Feed(const TConsoleMsg& msg) { m_Form->QueueInput(msg); }
    std::vector<std::string> Lines() {
        Pump();
        return m_Host.Lines();
    }

  private:
    tHeadlessHost m_Host;
    std::unique_ptr<tMyForm> m_Form;
    tConsoleClass m_PreviousClass;
};

} // namespace zarvo
