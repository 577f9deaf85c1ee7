// The window behind tX11Host: the character screen in an X11 window drawn with Xft. It
// paints the cells, keeps the caret, snaps its size to whole cells and turns X key and mouse
// events into the input records of the driver layer. Only the host thread touches it.
#pragma once

// Before the X headers: X.h defines CursorShape as a macro.
#include "console/drivers_console.h"
#include "console/x11/x11_display.h"

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "console/x11/x11_font.h"

namespace zarvo {

class tX11Window {
  public:
    // `caption` (CP866) is the window's title.
    explicit tX11Window(std::string_view caption);
    ~tX11Window();
    tX11Window(const tX11Window&) = delete;
    tX11Window& operator=(const tX11Window&) = delete;

    // The tConsoleHost operations, as tX11Host forwards them.
    bool CreateSurface(tMyForm& form);
    void DestroySurface(tMyForm& form);
    void RunEventLoop(tMyForm& form);
    void BeginPaint();
    void PaintCells(int x, int y, const std::uint16_t* cells, int count);
    void EndPaint();
    void PaintEmpty();
    void PlaceCursor(int x, int y, int shape, bool visible);
    void ApplyFont(tMyForm& form);
    void RestoreSurface();
    std::uint32_t HeldModifiers() const { return m_HeldModifiers.load(); }

    Window WindowId() const { return m_Window; }
    std::string FontFamily() const { return m_Font ? m_Font->Family() : std::string(); }

  private:
    // Window creation, in the order the window needs them.
    bool OpenDisplay();
    bool OpenFont(tMyForm& form);
    void CreateWindow(tMyForm& form);
    void SetSizeHints(tMyForm& form);
    void SetCaption();
    void OpenInputContext();
    void CloseWindow();
    void AllocatePalette(const tHostSettings& settings);
    void FreePalette();

    // The event loop's parts.
    void HandleEvent(tMyForm& form, XEvent& event);
    void WaitAfterConnectionLost(tMyForm& form);
    // The connection to the server is lost: nothing may be asked of Xlib any more.
    bool Lost() const { return m_Display != nullptr && DisplayLost(m_Display); }
    void HandleConfigure(tMyForm& form, const XConfigureEvent& event);
    void FitToSize(tMyForm& form, int width, int height);
    void ApplyFontSize(tMyForm& form, tFontSize size);
    void HandleFocus(bool focused);
    void Blink();
    int MillisecondsToBlink() const;
    void SavePosition(tMyForm& form);

    // Input (x11_input.cpp).
    void HandleKey(tMyForm& form, XKeyEvent& event);
    std::string TypedText(XKeyEvent& event, KeySym& keysym);
    void HandleButton(tMyForm& form, const XButtonEvent& event);
    void HandleMotion(tMyForm& form, const XMotionEvent& event);
    std::uint32_t MouseFlags(unsigned state) const;
    void QueueMouse(tMyForm& form, std::uint32_t message, std::uint32_t flags, int x, int y,
                    unsigned state);
    void TrackModifiers(unsigned state);

    // Pasting (x11_paste.cpp): the selection (CLIPBOARD or PRIMARY) is asked for as UTF-8,
    // then as Latin-1 when its owner offers no UTF-8; the answer is typed into the text UI.
    bool IsPasteKey(const XKeyEvent& event, KeySym keysym) const;
    void RequestPaste(Atom selection, Time time);
    void HandlePasteReady(tMyForm& form, const XSelectionEvent& event);

    // Painting (x11_paint.cpp).
    void PaintCell(int x, int y, std::uint16_t cell);
    void PaintMargins();
    void DrawCaret();
    void HideCaret();
    void ShowCaret();

    std::string m_Caption;
    Display* m_Display = nullptr;
    int m_Screen = 0;
    Window m_Window = 0;
    Visual* m_Visual = nullptr;
    Colormap m_Colormap = 0;
    XftDraw* m_Draw = nullptr;
    GC m_CaretGc = nullptr;
    XIM m_InputMethod = nullptr;
    XIC m_InputContext = nullptr;
    Atom m_DeleteWindow = 0;
    std::unique_ptr<tX11Font> m_Font;
    std::array<XftColor, 16> m_Palette{};
    bool m_PaletteAllocated = false;

    int m_Cols = 80;
    int m_Rows = 25;
    tFontSize m_FontSize{};
    int m_CellWidth = 0;
    int m_CellHeight = 0;
    int m_WindowWidth = 0;
    int m_WindowHeight = 0;
    int m_LastAskedWidth = -1;
    int m_LastAskedHeight = -1;

    // Caret: where the text UI wants it, and whether it is drawn right now.
    int m_CaretX = 0;
    int m_CaretY = 0;
    int m_CaretShape = 0x2000;
    bool m_CaretWanted = false;
    bool m_CaretDrawn = false;
    bool m_BlinkOn = true;
    long long m_NextBlink = 0;
    bool m_Focused = false;
    bool m_Painting = false;

    // Input state.
    std::atomic<std::uint32_t> m_HeldModifiers{0};
    std::array<bool, 256> m_KeysDown{};
    tMousePress m_LastPress; // in pixels
    int m_LastMouseColumn = -1;
    int m_LastMouseRow = -1;
    std::uint32_t m_LastMouseFlags = 0;
    Atom m_PasteTarget = 0; // what the pending request asked for; 0: none pending
    Time m_PasteTime = CurrentTime;
};

} // namespace zarvo
