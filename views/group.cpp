// tGroup: the ring of subviews, selection, routing, modal runs, cache and streams.
#include "views/group.h"

namespace zarvo {

tGroup::tGroup(const tRect& bounds) : tView(bounds) {}
tGroup::tGroup(tStreamLoad) : tView(kStreamLoad) {}
tGroup::~tGroup() = default;
std::uint16_t tGroup::StoreID() const { return 6; }
bool tGroup::Valid(std::uint16_t command) { return tView::Valid(command); }
void tGroup::Store(tStream& s) { tView::Store(s); }
void tGroup::Load(tStream& s) { tView::Load(s); }
void tGroup::EventLinkChanged(std::string_view name, tEventInfo* info) { tView::EventLinkChanged(name, info); }
void tGroup::AfterLoad() {}
void tGroup::ApplyBounds(const tRect& bounds) { tView::ApplyBounds(bounds); }
std::uint16_t tGroup::DataLength() { return 0; }
void tGroup::Draw() {}
void tGroup::FinishModal(std::uint16_t) {}
std::uint16_t tGroup::RunModal() { return cmdCancel; }
void tGroup::ExportData(void*) {}
std::uint16_t tGroup::HelpContext() { return tView::HelpContext(); }
void tGroup::HandleEvent(TEventRec& event) { tView::HandleEvent(event); }
void tGroup::ImportData(const void*) {}
void tGroup::ApplyState(std::uint16_t mask, bool on) { tView::ApplyState(mask, on); }
void tGroup::PlaceCursor() {}
void tGroup::EventDone(TEventRec&) {}
void tGroup::tInsert(tView*) {}
tView* tGroup::FirstView() const { return nullptr; }
void tGroup::LinkView(tView*, tView*) {}
void tGroup::UnlinkView(tView*) {}
void tGroup::InsertAhead(tView*, tView*) {}
void tGroup::InsertView(tView*) {}
void tGroup::RemoveView(tView*) {}
tView* tGroup::ViewAt(int) const { return nullptr; }
int tGroup::IndexOfView(const tView*) const { return 0; }
void tGroup::ForEachView(const std::function<void(tView*)>&) {}
tView* tGroup::FindView(const std::function<bool(tView*)>&) { return nullptr; }
tView* tGroup::FindMatching(std::uint16_t, std::uint32_t) { return nullptr; }
void tGroup::EndIterate() {}
void tGroup::SetCurrentView(tView*, tSelectMode) {}
void tGroup::ChooseCurrent() {}
tView* tGroup::NextSelectable(bool) { return nullptr; }
bool tGroup::FocusNeighbour(bool) { return false; }
void tGroup::SelectNeighbour(bool) {}
std::uint16_t tGroup::RunView(tView*) { return cmdCancel; }
void tGroup::FlushUpdates() {}
void tGroup::PaintRange(tView*, tView*) {}
void tGroup::PaintChildren() {}
void tGroup::AllocCache() {}
void tGroup::FreeCache() {}
void tGroup::WriteChildRef(tStream&, const tView*) {}
void tGroup::ReadChildRef(tStream&, tView*& p) { p = nullptr; }
void tGroup::OnGroupHint(EventFrame&) {}
void tGroup::OnModalFilter(EventFrame&) {}
void tGroup::OnFreeCaches(EventFrame&) {}
void tGroup::DeliverFocused(TEventRec&) {}
void tGroup::DeliverPositional(TEventRec&) {}
void tGroup::DeliverIdle(TEventRec&) {}
void tGroup::DeliverAll(TEventRec&) {}
void tGroup::Deliver(tView*, TEventRec&) {}
void tGroup::ConcealAll() {}
void tGroup::FreeSubviews() {}
bool tGroup::LoadSubviews(tStream&, int) { return false; }

} // namespace zarvo
