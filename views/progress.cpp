// The progress model in its terminal form: the result text, the status and the percentage,
// redrawn in place a few times a second; Ctrl+C is the operator's cancel request.
#include "views/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "platform/terminal_line.h"

namespace zarvo {

tProgressCancelHook gProgressCancelHook = nullptr;
tProgressLineHook gProgressLineHook = nullptr;

namespace {

constexpr std::uint32_t kRedrawMs = 150;
constexpr int kBarWidth = 40;

void Draw(tProgress& progress, bool closing = false) {
    progress.Dirty = false;
    progress.LastDraw = GetTickCount32();
    if (!progress.Visible)
        return;
    if (gProgressLineHook) {
        gProgressLineHook(progress, closing);
        return;
    }
    if (!isatty(STDOUT_FILENO))
        return;
    std::string screen = "\x1b[H\x1b[J";
    screen += progress.Params.Title;
    screen += "\r\r";
    screen += progress.Text;
    screen += "\r\r[";
    int filled = int(std::lround(progress.Fraction * kBarWidth));
    for (int i = 0; i < kBarWidth; ++i)
        screen += i < filled ? '#' : '.';
    screen += "] " + std::to_string(int(std::lround(progress.Fraction * 100))) + "%\r\r";
    screen += "Ctrl+C - прервать"_oem;
    screen += '\r';
    WriteTerminalText(STDOUT_FILENO, screen);
}

// The clock is read only when something on the screen changed. Lines see every change, so
// that no phase goes unwritten; they pick for themselves what is worth a line.
void DrawIfDue(tProgress& progress) {
    progress.Dirty = true;
    if (gProgressLineHook || std::uint32_t(GetTickCount32() - progress.LastDraw) >= kRedrawMs)
        Draw(progress);
}

} // namespace

void DefaultProgressParams(tStandardProgressParams& params) {
    params = tStandardProgressParams{};
    params.Margin = 2;
    params.TextWidth = 45;
    params.TextLines = 2;
    params.ShowBar = true;
    params.ShowCancel = true;
    params.Title = "Подождите..."_oem;
}

tProgress::tProgress(const tStandardProgressParams& params) : Params(params) {}

tProgress::~tProgress() {
    if (Display) {
        Display.reset();
        return;
    }
    if (Visible && (Dirty || gProgressLineHook))
        Draw(*this, true);
}

bool MakeStandardProgress(std::unique_ptr<tProgress>& progress,
                          const tStandardProgressParams* params) {
    progress.reset();
    // An error waiting to be reported must not be hidden behind a progress display.
    if (IsErrorPending())
        return false;
    tStandardProgressParams defaults;
    DefaultProgressParams(defaults);
    progress = std::make_unique<tProgress>(params ? *params : defaults);
    return true;
}

void ProgressShow(tProgress& progress) {
    progress.Visible = true;
    if (progress.Display) {
        progress.Display->Show(true);
        return;
    }
    Draw(progress);
}

void ProgressSetText(tProgress& progress, std::string_view text) {
    if (progress.Text == text)
        return;
    progress.Text.assign(text);
    if (progress.Display) {
        progress.Display->SetText(progress.Text);
        return;
    }
    DrawIfDue(progress);
}

double ProgressFraction(const tProgress& progress) {
    std::int32_t range = progress.Maximum - progress.Minimum;
    return range <= 0 ? 0.0 : double(progress.Position) / range;
}

void ProgressSetPos(tProgress& progress, std::int32_t position) {
    progress.Position = position;
    double fraction = ProgressFraction(progress);
    if (fraction == progress.Fraction)
        return;
    progress.Fraction = fraction;
    if (progress.Display) {
        progress.Display->SetFraction(fraction);
        return;
    }
    DrawIfDue(progress);
}

bool ProgressCancelled(tProgress& progress) {
    if (gProgressCancelHook && gProgressCancelHook(progress))
        return true;
    if (progress.Display) {
        progress.PollCountdown = std::max<std::uint32_t>(progress.PollStride, 1);
        if (progress.Display->PollCancel())
            return true;
    }
    if (!InterruptPending())
        return false;
    if (progress.Dirty)
        Draw(progress);
    return TakeCancelRequest() || ShutdownRequested();
}

bool ProgressUpdateChanged(tProgress& progress, double fraction) {
    double range = double(progress.Maximum - progress.Minimum);
    if (fraction > 0 && fraction <= 1) {
        std::int32_t position = std::int32_t(std::nearbyint(fraction * range));
        if (position != progress.Position)
            ProgressSetPos(progress, position);
        // A margin keeps rounding ties and floating error on the exact path.
        constexpr double kMargin = 1e-9;
        progress.SameLow = std::max(kMargin, (progress.Position - 0.5 + kMargin) / range);
        progress.SameHigh = std::min(1.0, (progress.Position + 0.5 - kMargin) / range);
    }
    return !ProgressCancelled(progress);
}

} // namespace zarvo
