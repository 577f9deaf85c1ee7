// The progress model a long operation reports through: text, position and the operator's
// cancel request. While the application exists it is shown in the progress window; without
// a UI its states go to the line hook.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/interrupt_signals.h"

namespace zarvo {

struct tStandardProgressParams {
    std::uint16_t Margin = 0;
    std::uint16_t TextWidth = 0;
    std::uint16_t TextLines = 0;
    bool ShowBar = false;
    bool ShowCancel = false;
    std::string Title;
};

void DefaultProgressParams(tStandardProgressParams& params);

// Asked on every cancel poll before the operator's own requests; true means cancel. Tests
// use it to cancel at an exact point.
class tProgress;
using tProgressCancelHook = bool (*)(tProgress& progress);
extern tProgressCancelHook gProgressCancelHook;

// Takes the place of the drawing when set (the mode without a UI writes lines): called on
// every change, and once more with `closing` when the progress goes away.
using tProgressLineHook = void (*)(const tProgress& progress, bool closing);
extern tProgressLineHook gProgressLineHook;

// The window that shows the model: told of every change, asked on the cancel polls.
class tProgressDisplay {
  public:
    virtual ~tProgressDisplay() = default;
    virtual void Show(bool on) = 0;
    virtual void SetText(std::string_view text) = 0;
    virtual void SetFraction(double fraction) = 0;
    // Whether PollCancel would look at the input now (the poll is throttled).
    virtual bool PollDue() const = 0;
    // True when the operator has asked to cancel since the last poll.
    virtual bool PollCancel() = 0;
};

class tProgress {
  public:
    explicit tProgress(const tStandardProgressParams& params);
    ~tProgress();
    tProgress(const tProgress&) = delete;
    tProgress& operator=(const tProgress&) = delete;

    std::int32_t Minimum = 0;
    std::int32_t Maximum = 100;
    std::int32_t Position = 0;
    std::string Text;
    tStandardProgressParams Params;
    bool Visible = false;
    double Fraction = 0;
    // Fractions in [SameLow, SameHigh) certainly round to Position; others take the exact
    // path. Empty at first.
    double SameLow = 1;
    double SameHigh = 0;
    // The window, when one is attached (freed with the model), and the calls left before
    // its next cancel poll: the clock is read once per PollStride calls, not on each.
    std::unique_ptr<tProgressDisplay> Display;
    std::uint32_t PollCountdown = 1;
    std::uint32_t PollStride = 64;
    // Called just before the window looks at the input, at most three times a second: the
    // moment to bring a text with running figures up to date.
    std::function<void()> OnPoll;
};

// The model, with the progress window centred on the application while one exists (and no
// line hook is set). False, with nothing left behind, when either cannot be made or an
// error waits to be reported.
bool MakeStandardProgress(std::unique_ptr<tProgress>& progress,
                          const tStandardProgressParams* params);
// The model alone.
bool MakeProgressModel(std::unique_ptr<tProgress>& progress, const tStandardProgressParams* params);
void ProgressShow(tProgress& progress);
void ProgressSetText(tProgress& progress, std::string_view text);
void ProgressSetPos(tProgress& progress, std::int32_t position);
double ProgressFraction(const tProgress& progress);
bool ProgressCancelled(tProgress& progress);
// The slow path of ProgressUpdate: the position moved, or there is a request to look at.
bool ProgressUpdateChanged(tProgress& progress, double fraction);

// True to go on, false when the operator has asked to cancel. Called once per value of a
// test pass, so the common case (same whole position, nothing asked) stays inline.
inline bool ProgressUpdate(tProgress& progress, double fraction) {
    if (!(fraction >= progress.SameLow && fraction < progress.SameHigh))
        return ProgressUpdateChanged(progress, fraction);
    if (gProgressCancelHook || InterruptPending() ||
        (progress.Display && --progress.PollCountdown == 0))
        return !ProgressCancelled(progress);
    return true;
}

} // namespace zarvo
