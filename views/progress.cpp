// The progress model: what it remembers, the events its changes go out as, and the lines
// written in their place when there is no window.
#include "views/progress.h"

#include <algorithm>
#include <cmath>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "views/application.h"
#include "views/progress_adapters.h"

namespace zarvo {

tProgressCancelHook gProgressCancelHook = nullptr;
tProgressLineHook gProgressLineHook = nullptr;

namespace {

// Lines see every change, so that no phase goes unwritten; they pick for themselves what is
// worth a line.
void WriteLines(tProgress& progress, bool closing = false) {
    if (progress.Visible && gProgressLineHook)
        gProgressLineHook(progress, closing);
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

tProgress::tProgress(const tStandardProgressParams& params) : Params(params) {
    CancelEvent = FindEvent(evnProgressCancel);
    TextEvent = FindEvent(evnProgressText);
    PositionEvent = FindEvent(evnProgressPosition);
}

tProgress::~tProgress() {
    WriteLines(*this, true);
}

void tProgress::EventLinkChanged(std::string_view name, tEventInfo* info) {
    tSObject::EventLinkChanged(name, info);
    if (name == evnProgressCancel)
        CancelEvent = info;
    else if (name == evnProgressText)
        TextEvent = info;
    else if (name == evnProgressPosition)
        PositionEvent = info;
}

bool MakeStandardProgress(tObjectPtr<tProgress>& progress, const tStandardProgressParams* params) {
    if (gApplication != nullptr && gProgressLineHook == nullptr)
        return MakeProgressWindow(progress, params, gApplication) != nullptr;
    return MakeProgressModel(progress, params);
}

bool MakeProgressModel(tObjectPtr<tProgress>& progress, const tStandardProgressParams* params) {
    progress.reset();
    // An error waiting to be reported must not be hidden behind a progress display.
    if (IsErrorPending())
        return false;
    tStandardProgressParams defaults;
    DefaultProgressParams(defaults);
    progress = MakeObject<tProgress>(params ? *params : defaults);
    return true;
}

void ProgressShow(tProgress& progress) {
    progress.Visible = true;
    ProgressSetSwitch(progress, evnProgressVisible, true);
    WriteLines(progress);
}

void ProgressSetText(tProgress& progress, std::string_view text) {
    if (progress.Text == text)
        return;
    progress.Text.assign(text);
    tEvent_ProgressUpdateText update{progress.Text};
    FireCachedEvent(progress.TextEvent, &update);
    WriteLines(progress);
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
    FireCachedEvent(progress.PositionEvent, &fraction);
    WriteLines(progress);
}

void ProgressSetSwitch(tProgress& progress, std::string_view event, bool on) {
    tProgressSwitch change{true, on};
    progress.FireEvent(event, &change);
}

bool ProgressSwitchOn(tProgress& progress, std::string_view event) {
    tProgressSwitch query;
    progress.FireEvent(event, &query);
    return query.Value;
}

tView* ProgressDialog(tProgress& progress) {
    tView* dialog = nullptr;
    progress.FireEvent(evnProgressDialog, &dialog);
    return dialog;
}

bool ProgressCancelled(tProgress& progress) {
    if (gProgressCancelHook && gProgressCancelHook(progress))
        return true;
    progress.PollCountdown = std::max<std::uint32_t>(progress.PollStride, 1);
    bool cancelled = false;
    FireCachedEvent(progress.CancelEvent, &cancelled);
    if (cancelled)
        return true;
    if (!InterruptPending())
        return false;
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
