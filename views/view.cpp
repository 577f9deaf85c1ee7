// tView: construction, geometry, state, events and the global framework state.
#include "views/view.h"

#include "views/group.h"

namespace zarvo {

std::uint16_t PositionalEvents = 0x000F;
std::uint16_t FocusedEvents = 0x0110;
tHintTableProc HintTableHook = nullptr;
tTempCollection* ModalRegistry = nullptr;
tView* RunningModal = nullptr;
tView* MouseCaptor = nullptr;
tGroup* LoadingGroup = nullptr;
tPeerFixups* PeerFixups = nullptr;
tView* ScreenRoot = nullptr;
tPoint ShadowSize{2, 1};
std::uint8_t ShadowAttr = 0x08;
std::uint8_t ErrorAttr = 0xCF;
bool ShowMarkers = false;
std::uint8_t MarkerChars[6] = {0x10, 0x11, 0x1A, 0x1B, 0x20, 0x20};

tView::tView(const tRect& bounds) { AssignBounds(bounds); }
tView::tView(tStreamLoad) {}
tView::~tView() = default;
std::uint16_t tView::StoreID() const { return 1; }
bool tView::Valid(std::uint16_t command) { return tSObject::Valid(command); }
void tView::Store(tStream&) {}
void tView::Load(tStream&) {}
void tView::EventLinkChanged(std::string_view, tEventInfo*) {}
void tView::AfterLoad() {}
void tView::ComputeBounds(tRect& bounds, tPoint) { bounds = BoundsRect(); }
void tView::ApplyBounds(const tRect& bounds) { AssignBounds(bounds); }
std::uint16_t tView::DataLength() { return 0; }
void tView::Draw() {}
void tView::FinishModal(std::uint16_t) {}
std::uint16_t tView::RunModal() { return cmdCancel; }
void tView::ExportData(void*) {}
void tView::FetchEvent(TEventRec& event, bool) { event.Clear(); }
std::uint16_t tView::HelpContext() { return HelpTopic; }
tPalette tView::GetPalette() const { return nullptr; }
void tView::HandleEvent(TEventRec&) {}
void tView::PostEvent(const TEventRec&) {}
void tView::ImportData(const void*) {}
void tView::ApplyState(std::uint16_t, bool) {}
void tView::SizeRange(tPoint& min, tPoint& max) { min = {}; max = {0x7FFF, 0x7FFF}; }
void tView::RequestHelp(TEventRec&) {}
void tView::ScreenWrite(int, int, const tCell*, int) {}
void tView::ScreenCursor(int, int, int) {}
void tView::PlaceCursor() {}
void tView::AssignBounds(const tRect& bounds) {
    Left = bounds.Left;
    Top = bounds.Top;
    Width = std::int16_t(bounds.Right - bounds.Left);
    Height = std::int16_t(bounds.Bottom - bounds.Top);
}
tRect tView::BoundsRect() const { return MakeRect(Left, Top, Left + Width, Top + Height); }
tRect tView::ExtentRect() const { return MakeRect(0, 0, Width, Height); }
tRect tView::ClipRect() const { return ExtentRect(); }
void tView::PlaceBounds(tRect) {}
void tView::MoveOrigin(int, int) {}
void tView::Resize(int, int) {}
void tView::SetLeft(int) {}
void tView::SetTop(int) {}
void tView::SetWidth(int) {}
void tView::SetHeight(int) {}
tPoint tView::ToScreen(tPoint p) const { return p; }
tPoint tView::ToLocal(tPoint p) const { return p; }
bool tView::ContainsPoint(tPoint) const { return false; }
void tView::ChangeState(std::uint16_t, bool) {}
void tView::Reveal() {}
void tView::Conceal() {}
void tView::CursorOn() {}
void tView::CursorOff() {}
void tView::SetCursorPos(int, int) {}
void tView::SetHintText(std::string_view) {}
tView* tView::Following() const { return nullptr; }
tView* tView::Predecessor() const { return nullptr; }
tView* tView::Preceding() const { return nullptr; }
void tView::PlaceBefore(tView*) {}
void tView::BringToFront() {}
void tView::SelectView() {}
bool tView::TakeFocus() { return false; }
void tView::DispatchEvent(TEventRec&) {}
void tView::ConsumeEvent(TEventRec&) {}
void tView::PostCommand(std::uint16_t, TEventRec&) {}
bool tView::EventPending() { return false; }
tView* tView::ModalTop() { return nullptr; }
void tView::CaptureMouse() {}
void tView::ReleaseMouse() {}
bool tView::HasMouseCapture() const { return false; }
bool tView::NextMouseEvent(TEventRec&, std::uint16_t) { return false; }
void tView::TrackDrag(TEventRec&, std::uint8_t, const tRect&, tPoint, tPoint) {}
void tView::EndUpdate() {}
void tView::EndUpdateQuiet() {}
void tView::Repaint() {}
void tView::NotifyPaint(const tView*) {}
bool tView::IsExposed() const { return false; }
void tView::PutSegment(int, int, int, const tCell*) {}
void tView::PutCells(int, int, int, int, const tCell*) {}
void tView::PutLine(int, int, int, int, const tCell*) {}
void tView::RepaintBelow(const tRect&, tView*) {}
void tView::RepaintUnder(bool, tView*) {}
void tView::PaintShow(tView*) {}
void tView::PaintHide(tView*) {}
std::uint8_t tView::MapColor(std::uint8_t) const { return ErrorAttr; }
std::uint16_t tView::MapColors(std::uint16_t) const { return 0; }
void tView::UpdateCursor() {}
void tView::WritePeerRef(tStream&, const tView*) {}
void tView::OnHintText(EventFrame&) {}
void tView::OnDeferredRepaint(EventFrame&) {}
void tView::ReadPeerPlace(tStream&, void*, tPeerAssign) {}
void tView::SubscribeOwnHooks() {}
tView* SendToView(tView*, std::uint16_t, std::uint16_t, void*) { return nullptr; }
void RegisterViewStreamClasses() {}

} // namespace zarvo
