// tView, the base of everything the text UI shows: a rectangle of cells inside a group that
// draws itself through the clipped write path, receives events, and carries state and option
// bits. Four of its operations are fired as named events so other components can step in.
// Also the framework's global state shared by all views (modal runs, mouse capture, loading).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/cells.h"
#include "console/console_msg.h"
#include "library/collection.h"
#include "library/rect.h"
#include "library/sobject.h"
#include "library/stream.h"
#include "views/command_set.h"
#include "views/commands.h"
#include "views/drawing.h"
#include "views/view_flags.h"

namespace zarvo {

class tGroup;
class tView;

// Argument of "GCOH6H8ZL".
struct tFetchEventArgs {
    TEventRec* Event = nullptr;
    bool Wait = false;
};

// Argument of "GGMZL1NXV".
struct tChangeStateArgs {
    std::uint16_t Mask = 0;
    bool On = false;
};

// Marks the constructor object streaming uses: every field zero, only the view's own
// subscriptions made; Load fills the rest.
struct tStreamLoad {};
inline constexpr tStreamLoad kStreamLoad{};

// The status line's hint table: the text for a help context. Null (no status line) gives
// an empty text.
using tHintTableProc = std::string (*)(std::uint16_t helpContext);
extern tHintTableProc HintTableHook;

// ---- global framework state (run thread only)

// Views that have Modal, oldest first; does not own them.
extern tTempCollection* ModalRegistry;
extern tView* RunningModal;
extern tView* MouseCaptor;
// The group whose subviews are being stored or loaded (peer references are relative to it).
extern tGroup* LoadingGroup;
// Pending peer references of the group being loaded: for each subview index, the places
// waiting for that subview (filled once the group has read all its subviews).
using tPeerAssign = void (*)(void* place, tView* view);
struct tPeerFixups {
    struct tPlace {
        void* Place = nullptr;
        tPeerAssign Assign = nullptr;
    };
    std::vector<std::vector<tPlace>> Entries;
};
extern tPeerFixups* PeerFixups;
// The view whose ScreenWrite reaches the console.
extern tView* ScreenRoot;

class tView : public tSObject {
  public:
    explicit tView(const tRect& bounds);
    explicit tView(tStreamLoad);
    // Conceals the view, lets go of the mouse, leaves its owner and the modal registry.
    ~tView() override;

    // ---- virtual operations, in their fixed order
    std::uint16_t StoreID() const override; // 1
    bool Valid(std::uint16_t command) override;
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void EventLinkChanged(std::string_view name, tEventInfo* info) override;
    virtual void AfterLoad();
    // New bounds after the owner's size changed by DELTA.
    virtual void ComputeBounds(tRect& bounds, tPoint delta);
    virtual void ApplyBounds(const tRect& bounds);
    virtual std::uint16_t DataLength();
    virtual void Draw();
    virtual void FinishModal(std::uint16_t command);
    virtual std::uint16_t RunModal();
    virtual void ExportData(void* record);
    // Fires "GCOH6H8ZL"; the default asks the owner.
    virtual void FetchEvent(TEventRec& event, bool wait);
    virtual std::uint16_t HelpContext();
    virtual tPalette GetPalette() const;
    virtual void HandleEvent(TEventRec& event);
    virtual void PostEvent(const TEventRec& event);
    virtual void ImportData(const void* record);
    virtual void ApplyState(std::uint16_t mask, bool on);
    virtual void SizeRange(tPoint& min, tPoint& max);
    virtual void RequestHelp(TEventRec& event);
    virtual void ScreenWrite(int x, int y, const tCell* cells, int count);
    virtual void ScreenCursor(int x, int y, int shape);
    virtual void PlaceCursor();

    // ---- geometry (owner coordinates unless stated)
    void AssignBounds(const tRect& bounds);
    tRect BoundsRect() const;
    tRect ExtentRect() const;
    // The part that may be painted now, in the view's own coordinates.
    tRect ClipRect() const;
    void PlaceBounds(tRect bounds);
    void MoveOrigin(int x, int y);
    void Resize(int width, int height);
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);
    tPoint ToScreen(tPoint p) const;
    tPoint ToLocal(tPoint p) const;
    // P in screen coordinates.
    bool ContainsPoint(tPoint p) const;

    // ---- state
    // Fires "GGMZL1NXV"; the default is ApplyState. Every state change goes through it.
    void ChangeState(std::uint16_t mask, bool on);
    bool HasState(std::uint16_t mask) const { return (StateFlags & mask) == mask; }
    bool HasOption(std::uint32_t mask) const { return (OptionFlags & mask) == mask; }
    void Reveal();
    void Conceal();
    void CursorOn();
    void CursorOff();
    void SetCursorPos(int x, int y);
    std::string HintText() const { return Hint; }
    void SetHintText(std::string_view text);

    // ---- place in the owner's ring
    tView* Following() const;
    tView* Predecessor() const;
    tView* Preceding() const;
    // Moves the view directly before TARGET (null: to the back).
    void PlaceBefore(tView* target);
    void BringToFront();
    void SelectView();
    bool TakeFocus();

    // ---- events
    // Fires "49SDXB700"; the default is HandleEvent. The view may be freed inside.
    void DispatchEvent(TEventRec& event);
    void ConsumeEvent(TEventRec& event);
    void PostCommand(std::uint16_t command, TEventRec& event);
    bool EventPending();
    tView* ModalTop();

    // ---- mouse tracking and dragging
    void CaptureMouse();
    void ReleaseMouse();
    bool HasMouseCapture() const;
    // The next event of MASK while the view holds the mouse; false on a mouse-up, cmdAbort
    // or a lost capture.
    bool NextMouseEvent(TEventRec& event, std::uint16_t mask);
    void TrackDrag(TEventRec& event, std::uint8_t mode, const tRect& limits, tPoint minSize,
                   tPoint maxSize);

    // ---- drawing
    void BeginUpdate() { ++UpdateLock; }
    void EndUpdate();
    void EndUpdateQuiet();
    void MarkRedraw() { StateFlags |= ViewState::RedrawPending; }
    void Repaint();
    // Null announces that painting starts, a view that it ended (only while not locked).
    void NotifyPaint(const tView* view);
    bool IsExposed() const;
    // Writes COUNT cells at (X, Y) of the view through the clipped write path.
    void PutSegment(int x, int y, int count, const tCell* cells);
    void PutCells(int x, int y, int width, int height, const tCell* cells);
    void PutLine(int x, int y, int width, int height, const tCell* cells);
    void RepaintBelow(const tRect& area, tView* lastToPaint);
    void RepaintUnder(bool withShadow, tView* lastToPaint);
    void PaintShow(tView* lastToPaint);
    void PaintHide(tView* lastToPaint);
    std::uint8_t MapColor(std::uint8_t index) const;
    std::uint16_t MapColors(std::uint16_t pair) const;
    void UpdateCursor();

    // ---- streams: references to another subview of the group being stored or loaded
    void WritePeerRef(tStream& s, const tView* peer);
    template <class T> void ReadPeerRef(tStream& s, T*& place);

    // ---- fields, in their fixed order
    bool RedrawGuard = false;
    std::int32_t UpdateLock = 0;
    std::string Hint; // empty: none
    tGroup* Owner = nullptr;
    tView* NextView = nullptr;
    std::int16_t Left = 0;
    std::int16_t Top = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
    std::int16_t CursorX = 0;
    std::int16_t CursorY = 0;
    std::uint8_t GrowFlags = 0;
    std::uint8_t DragFlags = 0;
    std::uint16_t HelpTopic = 0;
    std::uint16_t StateFlags = 0;
    std::uint32_t OptionFlags = 0;
    std::uint16_t AcceptMask = 0;

  protected:
    // The view's own subscribers: the hint and the deferred repaint.
    void OnHintText(EventFrame& frame);
    void OnDeferredRepaint(EventFrame& frame);
    // The untyped form behind ReadPeerRef.
    void ReadPeerPlace(tStream& s, void* place, tPeerAssign assign);

  private:
    friend class tGroup;
    void SubscribeOwnHooks();
    tEventInfo* m_DispatchEvent = nullptr;
    tEventInfo* m_FetchEvent = nullptr;
    tEventInfo* m_ChangeStateEvent = nullptr;
};

template <class T> void tView::ReadPeerRef(tStream& s, T*& place) {
    ReadPeerPlace(s, &place, [](void* where, tView* view) {
        *static_cast<T**>(where) = dynamic_cast<T*>(view);
    });
}

// Builds an event (KIND, COMMAND, INFO) and dispatches it to RECEIVER; the view that consumed
// it, or null.
tView* SendToView(tView* receiver, std::uint16_t kind, std::uint16_t command, void* info);

// BeginUpdate now, EndUpdate at the end of the scope.
class tUpdateLockGuard {
  public:
    explicit tUpdateLockGuard(tView& view) : m_View(view) { view.BeginUpdate(); }
    ~tUpdateLockGuard() { m_View.EndUpdate(); }
    tUpdateLockGuard(const tUpdateLockGuard&) = delete;
    tUpdateLockGuard& operator=(const tUpdateLockGuard&) = delete;

  private:
    tView& m_View;
};

// Registers tView (1) and tGroup (6) with object streaming. Safe to call more than once.
void RegisterViewStreamClasses();

} // namespace zarvo
