// tGroup, a view that owns other views in a ring that is both their Z-order (front first) and
// their tab order. It routes events to them in three phases, runs modal loops, keeps a cache
// of its cells, transfers dialog data through them and stores them as one tree.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "views/view.h"

namespace zarvo {

class tGroup : public tView {
  public:
    explicit tGroup(const tRect& bounds);
    explicit tGroup(tStreamLoad);
    // Conceals itself and its subviews, then frees the subviews from the back.
    ~tGroup() override;

    // ---- overrides, in the fixed order
    std::uint16_t StoreID() const override; // 6
    bool Valid(std::uint16_t command) override;
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void EventLinkChanged(std::string_view name, tEventInfo* info) override;
    void AfterLoad() override;
    void ApplyBounds(const tRect& bounds) override;
    std::uint16_t DataLength() override;
    void Draw() override;
    void FinishModal(std::uint16_t command) override;
    std::uint16_t RunModal() override;
    void ExportData(void* record) override;
    std::uint16_t HelpContext() override;
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;
    void ApplyState(std::uint16_t mask, bool on) override;
    void PlaceCursor() override;
    // ---- added: called by the modal loop after every event; passes it to the owner.
    virtual void EventDone(TEventRec& event);
    // Inserts P at the back (successive calls keep creation order front to back).
    virtual void tInsert(tView* p);

    // ---- the ring
    tView* FirstView() const;
    // Links P before TARGET, or after LastView when TARGET is null; nothing else happens.
    void LinkView(tView* p, tView* target);
    void UnlinkView(tView* p);
    void InsertAhead(tView* p, tView* target);
    // P becomes the front view.
    void InsertView(tView* p);
    // P leaves the group and stays visible but ownerless.
    void RemoveView(tView* p);
    // 1-based from the front; null out of range.
    tView* ViewAt(int index) const;
    // 1-based position, 0 when P is not a subview.
    int IndexOfView(const tView* p) const;
    void ForEachView(const std::function<void(tView*)>& action);
    tView* FindView(const std::function<bool(tView*)>& test);
    tView* FindMatching(std::uint16_t stateMask, std::uint32_t optionMask);
    void BeginIterate() { ++IterationLock; }
    void EndIterate();

    // ---- selection and focus
    void SetCurrentView(tView* p, tSelectMode mode);
    void ChooseCurrent();
    tView* NextSelectable(bool forward);
    bool FocusNeighbour(bool forward);
    void SelectNeighbour(bool forward);

    // ---- modal execution
    // Runs P modally inside this group (P need not be a subview); the command that ended it.
    std::uint16_t RunView(tView* p);
    // EndUpdate on this group and every view below until no update lock is left.
    void FlushUpdates();

    // ---- drawing
    void PaintRange(tView* p, tView* bottom);
    void PaintChildren();
    void AllocCache();
    void FreeCache();
    bool HasCache() const { return !CacheBuffer.empty(); }

    // ---- streams
    void WriteChildRef(tStream& s, const tView* p);
    void ReadChildRef(tStream& s, tView*& p);

    // ---- fields, in their fixed order
    std::int16_t IterationLock = 0;
    tView* LastView = nullptr;
    tView* CurrentView = nullptr;
    std::uint8_t DispatchPhase = 0; // 0 focused, 1 pre-process, 2 post-process
    std::vector<tCell> CacheBuffer; // Width x Height cells row by row; empty: none
    std::uint16_t ModalResult = 0;
    tRect ClipArea;

  protected:
    void OnGroupHint(EventFrame& frame);
    void OnModalFilter(EventFrame& frame);
    void OnFreeCaches(EventFrame& frame);

  private:
    friend class tView;
    void DeliverFocused(TEventRec& event);
    void DeliverPositional(TEventRec& event);
    void DeliverIdle(TEventRec& event);
    void DeliverAll(TEventRec& event);
    void Deliver(tView* p, TEventRec& event);
    void ConcealAll();
    void FreeSubviews();
    bool LoadSubviews(tStream& s, int count);

    tEventInfo* m_IterationDoneEvent = nullptr;
};

// BeginIterate now, EndIterate at the end of the scope.
class tIterationGuard {
  public:
    explicit tIterationGuard(tGroup& group) : m_Group(group) { group.BeginIterate(); }
    ~tIterationGuard() { m_Group.EndIterate(); }
    tIterationGuard(const tIterationGuard&) = delete;
    tIterationGuard& operator=(const tIterationGuard&) = delete;

  private:
    tGroup& m_Group;
};

} // namespace zarvo
