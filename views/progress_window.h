// The progress window: a dialog with the operation's text lines, a percentage bar and a
// cancel button that shows a tProgress model in the text UI. Input reaches it only while
// the operation polls for cancel, at most every 333 ms.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/button.h"
#include "views/command_set.h"
#include "views/dialog.h"
#include "views/progress.h"
#include "views/static_text.h"

namespace zarvo {

// The bar: the percentage centred, the done part bright white on blue, the rest blue on
// bright white (fixed colours, not from a palette).
class tProgressBar : public tView {
  public:
    explicit tProgressBar(const tRect& bounds);
    void Draw() override;
    // Redraws only when the percentage or the filled cells change.
    void SetFraction(double fraction);

    double Fraction = 0;
    std::int32_t Percent = 0;
    std::int32_t Cells = 0;
};

inline constexpr std::uint8_t kBarDoneAttr = 0x1F;
inline constexpr std::uint8_t kBarLeftAttr = 0xF1;
inline constexpr std::uint32_t kProgressPollMs = 333;

using tProgressClock = std::uint32_t (*)();

class tProgressWindow : public tProgressDisplay {
  public:
    // Null when the dialog cannot be made. HOST is the group it is shown in (the
    // application) and centred on; null: ScreenRoot.
    static std::unique_ptr<tProgressWindow> Make(const tStandardProgressParams& params,
                                                 tGroup* host);
    ~tProgressWindow() override;

    void Show(bool on) override;
    void SetText(std::string_view text) override;
    void SetFraction(double fraction) override;
    bool PollDue() const override;
    bool PollCancel() override;
    bool Shown() const;
    // Off: the cancel button is disabled and input is no longer polled.
    void EnableCancel(bool on);
    bool CancelEnabled() const { return m_CancelEnabled; }
    // Hides or shows the bar; it also shows itself with the first position.
    void ShowBar(bool on);

    tDialog* Dialog() const { return m_Dialog; }
    tStaticText* Text() const { return m_Text; }
    tProgressBar* Bar() const { return m_Bar; }
    tButton* CancelButton() const { return m_Cancel; }

    tProgressClock Clock; // the tick source of the poll throttle; tests set their own
    std::uint32_t LastPoll = 0;

  private:
    tProgressWindow(tGroup* host, tDialog* dialog);
    void Forget(tView* view);
    static void OnViewFreed(void* data, EventFrame& frame);
    static void OnButtonDispatch(void* data, EventFrame& frame);
    void Watch(tView* view);
    bool DrainInput();

    tGroup* m_Host;
    tDialog* m_Dialog;
    tStaticText* m_Text = nullptr;
    tProgressBar* m_Bar = nullptr;
    tButton* m_Cancel = nullptr;
    tCommandSet m_SavedCommands;
    bool m_CancelEnabled = true;
};

// MakeStandardProgress with the window attached: false (and no model) when either fails.
bool MakeProgressWindow(std::unique_ptr<tProgress>& progress, const tStandardProgressParams* params,
                        tGroup* host);

} // namespace zarvo
