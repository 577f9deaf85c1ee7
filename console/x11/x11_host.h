// The window host: the character screen in an X11 window. This header keeps the X headers
// (and their macros, such as None) away from the code that chooses and starts a host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "console/drivers_console.h"

namespace zarvo {

class tX11Window;

// True when `display` (null: $DISPLAY) names a display that opens.
bool X11DisplayOpens(const char* display);

class tX11Host : public tConsoleHost {
  public:
    // `caption` (CP866) is the window's title.
    explicit tX11Host(std::string_view caption);
    ~tX11Host() override;

    bool CreateSurface(tMyForm& form) override;
    void DestroySurface(tMyForm& form) override;
    void RunEventLoop(tMyForm& form) override;
    void BeginPaint() override;
    void PaintCells(int x, int y, const std::uint16_t* cells, int count) override;
    void EndPaint() override;
    void PaintEmpty() override;
    void PlaceCursor(int x, int y, int shape, bool visible) override;
    void ApplyFont(tMyForm& form) override;
    void RestoreSurface() override;
    std::uint32_t HeldModifiers() override;

    // For tests: the X window id (0 before the surface exists) and the face drawn with.
    unsigned long WindowId() const;
    std::string FontFamily() const;

  private:
    std::unique_ptr<tX11Window> m_Window;
};

} // namespace zarvo
