// The progress window as adapters between the model's events and a dialog with the text
// lines, the percentage bar and the cancel button. Each adapter ends itself when the model
// goes, and the view adapters also when their view goes; the window adapter owns the dialog.
#pragma once

#include <cstdint>

#include "library/sobject.h"
#include "views/command_set.h"
#include "views/progress.h"

namespace zarvo {

class tButton;
class tDialog;
class tGroup;
class tProgressBar;
class tStaticText;

inline constexpr std::uint32_t kProgressPollMs = 333;

using tProgressClock = std::uint32_t (*)();

// Shows and hides the dialog in its host, answers the dialog query and turns the cancel
// query into a look at the input, at most every kProgressPollMs. The dialog is never run
// modally: input reaches it only through these looks.
class tProgressAdapter : public tSObject {
  public:
    tProgressAdapter(tProgress* model, tDialog* dialog, tGroup* host);
    ~tProgressAdapter() override;

    tDialog* Dialog() const { return m_Dialog; }

    tProgressClock Clock; // the tick source of the poll throttle; tests set their own
    std::uint32_t LastPoll = 0;

  private:
    void OnModelFreed(EventFrame& frame);
    void OnDialogFreed(EventFrame& frame);
    void OnVisible(EventFrame& frame);
    void OnCancelOn(EventFrame& frame);
    void OnDialogQuery(EventFrame& frame);
    void OnCancelQuery(EventFrame& frame);
    void Show(bool on);
    bool Shown() const;
    bool DrainInput();
    // Frees this adapter now, or after the input look under way.
    void End();

    tProgress* m_Model;
    tDialog* m_Dialog;
    tGroup* m_Host;
    tCommandSet m_SavedCommands;
    bool m_CancelEnabled = true;
    bool m_Polling = false;
    bool m_EndPending = false;
};

// The part the text, bar and button adapters share: one view, and an end with the model or
// with that view.
class tProgressViewAdapter : public tSObject {
  protected:
    tProgressViewAdapter(tProgress* model, tView* view);

  private:
    void OnGone(EventFrame& frame);
};

// New text from the model replaces the static text's.
class tTextAdapter : public tProgressViewAdapter {
  public:
    tTextAdapter(tProgress* model, tStaticText* text);

  private:
    void OnText(EventFrame& frame);
    tStaticText* m_Text;
};

// Positions move the bar, and the first one reveals it; the bar switch hides or shows it.
class tProgressBarAdapter : public tProgressViewAdapter {
  public:
    tProgressBarAdapter(tProgress* model, tProgressBar* bar);

  private:
    void OnPosition(EventFrame& frame);
    void OnBarOn(EventFrame& frame);
    tProgressBar* m_Bar;
};

// The cancel switch enables or disables the button; the application's command set never does.
class tCancelButtonAdapter : public tProgressViewAdapter {
  public:
    tCancelButtonAdapter(tProgress* model, tButton* button);

  private:
    void OnCancelOn(EventFrame& frame);
    static void OnButtonDispatch(void* data, EventFrame& frame);
    tButton* m_Button;
};

// MakeStandardProgress with the window: the model, the dialog (centred on HOST and shown in
// it; none: placed at the origin and never shown) and the adapters. The window adapter, or
// null with no model left when anything cannot be made or an error waits to be reported.
tProgressAdapter* MakeProgressWindow(tObjectPtr<tProgress>& progress,
                                     const tStandardProgressParams* params, tGroup* host);

} // namespace zarvo
