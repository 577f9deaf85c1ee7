// The progress model a long operation reports through: text, position and the operator's
// cancel request. It never touches views: it publishes named events, and the adapters of
// the progress window (or nobody) act on them; without a UI its states go to the line hook.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "library/sobject.h"
#include "platform/interrupt_signals.h"

namespace zarvo {

class tView;

struct tStandardProgressParams {
    std::uint16_t Margin = 0;
    std::uint16_t TextWidth = 0;
    std::uint16_t TextLines = 0;
    bool ShowBar = false;
    bool ShowCancel = false;
    std::string Title;
};

void DefaultProgressParams(tStandardProgressParams& params);

// The model's events and their arguments.
inline constexpr std::string_view evnProgressText = "3B2SOE2BL";     // tEvent_ProgressUpdateText*
inline constexpr std::string_view evnProgressPosition = "2YBEI7K1T"; // double*: fraction 0..1
inline constexpr std::string_view evnProgressCancel = "2LK0C11S1";   // bool*: set when cancelled
inline constexpr std::string_view evnProgressVisible = "16IFNB0OX";  // tProgressSwitch*
inline constexpr std::string_view evnProgressCancelOn = "2BHBG430H"; // tProgressSwitch*
inline constexpr std::string_view evnProgressBarOn = "BCMJ4TFWH";    // tProgressSwitch*
inline constexpr std::string_view evnProgressDialog = "9Y7U4PERL";   // tView**: answered

struct tEvent_ProgressUpdateText {
    std::string_view Text;
};

// A switch of the window: Set true sets it to Value; Set false asks, the answer in Value.
struct tProgressSwitch {
    bool Set = false;
    bool Value = false;
};

// Asked on every cancel poll before the operator's own requests; true means cancel. Tests
// use it to cancel at an exact point.
class tProgress;
using tProgressCancelHook = bool (*)(tProgress& progress);
extern tProgressCancelHook gProgressCancelHook;

// Takes the place of the window when set (the mode without a UI writes lines): called on
// every change once shown, and once more with `closing` when the progress goes away.
using tProgressLineHook = void (*)(const tProgress& progress, bool closing);
extern tProgressLineHook gProgressLineHook;

class tProgress : public tSObject {
  public:
    explicit tProgress(const tStandardProgressParams& params);
    ~tProgress() override;

    // Keeps the three records fired on every change; null while nobody listens.
    void EventLinkChanged(std::string_view name, tEventInfo* info) override;

    tEventInfo* CancelEvent = nullptr;
    tEventInfo* TextEvent = nullptr;
    tEventInfo* PositionEvent = nullptr;

    std::int32_t Minimum = 0;
    std::int32_t Maximum = 100;
    std::int32_t Position = 0;
    std::string Text;
    tStandardProgressParams Params;
    bool Visible = false; // ProgressShow was called: the lines start
    double Fraction = 0;
    // Fractions in [SameLow, SameHigh) certainly round to Position; others take the exact
    // path. Empty at first.
    double SameLow = 1;
    double SameHigh = 0;
    // The calls left before the next cancel query while somebody answers it: the query
    // (and the clock behind it) runs once per PollStride calls, not on each.
    std::uint32_t PollCountdown = 1;
    std::uint32_t PollStride = 64;
    // Called by the window just before it looks at the input, at most three times a second:
    // the moment to bring a text with running figures up to date.
    std::function<void()> OnPoll;
};

// The model, with the progress window centred on the application while one exists (and no
// line hook is set). False, with nothing left behind, when either cannot be made or an
// error waits to be reported.
bool MakeStandardProgress(tObjectPtr<tProgress>& progress, const tStandardProgressParams* params);
// The model alone.
bool MakeProgressModel(tObjectPtr<tProgress>& progress, const tStandardProgressParams* params);
void ProgressShow(tProgress& progress);
void ProgressSetText(tProgress& progress, std::string_view text);
void ProgressSetPos(tProgress& progress, std::int32_t position);
double ProgressFraction(const tProgress& progress);
bool ProgressCancelled(tProgress& progress);
// The window's switches (evnProgressVisible, evnProgressCancelOn, evnProgressBarOn): set,
// or ask (false when nobody answers).
void ProgressSetSwitch(tProgress& progress, std::string_view event, bool on);
bool ProgressSwitchOn(tProgress& progress, std::string_view event);
// The window's dialog, or null.
tView* ProgressDialog(tProgress& progress);
// The slow path of ProgressUpdate: the position moved, or there is a request to look at.
bool ProgressUpdateChanged(tProgress& progress, double fraction);

// True to go on, false when the operator has asked to cancel. Called once per value of a
// test pass, so the common case (same whole position, nothing asked) stays inline.
inline bool ProgressUpdate(tProgress& progress, double fraction) {
    if (!(fraction >= progress.SameLow && fraction < progress.SameHigh))
        return ProgressUpdateChanged(progress, fraction);
    if (gProgressCancelHook || InterruptPending() ||
        (progress.CancelEvent != nullptr && --progress.PollCountdown == 0))
        return !ProgressCancelled(progress);
    return true;
}

} // namespace zarvo
