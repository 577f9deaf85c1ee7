// tSimplFrame: the single-line box, its colour following the framed view's focus, and clicks
// handed on as focus.
#include "views/simpl_frame.h"

#include <algorithm>

#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr auto kSimplFramePalette = MakePalette(1, 1, 2, 2, 3);
// Mouse-down, command and broadcast.
constexpr std::uint16_t kSimplFrameAcceptMask = 0x0301;

// One row of the box: LEFT, WIDTH - 2 of MIDDLE, RIGHT.
void BoxRow(tCell* line, int width, char left, char middle, char right, std::uint8_t attr) {
    FillCells(line, std::uint8_t(middle), attr, width);
    line[0] = MakeCell(std::uint8_t(left), attr);
    line[width - 1] = MakeCell(std::uint8_t(right), attr);
}

} // namespace

tSimplFrame::tSimplFrame(const tRect& bounds) : tView(bounds) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    AcceptMask = kSimplFrameAcceptMask;
}

tPalette tSimplFrame::GetPalette() const {
    return kSimplFramePalette.data();
}

void tSimplFrame::SetUnder(tView* view) {
    if (Under != nullptr)
        Under->Unsubscribe(evnObjectFree, BindHandler<&tSimplFrame::OnUnderFreed>(this));
    Under = view;
    if (Under != nullptr)
        Under->Subscribe(evnObjectFree, BindHandler<&tSimplFrame::OnUnderFreed>(this));
    Repaint();
}

void tSimplFrame::OnUnderFreed(EventFrame& frame) {
    if (frame.Argument == Under)
        Under = nullptr;
}

void tSimplFrame::Draw() {
    if (Width < 1 || Height < 1)
        return;
    const bool bright = Under == nullptr || Under->HasState(ViewState::Focused);
    const std::uint8_t attr = MapColor(bright ? 3 : 1);
    const int width = std::min<int>(Width, MaxLineCells);
    static const std::string_view kTop = "┌─┐"_oem;
    static const std::string_view kSide = "│ │"_oem;
    static const std::string_view kBottom = "└─┘"_oem;
    tCell line[MaxLineCells];
    BoxRow(line, width, kTop[0], kTop[1], kTop[2], attr);
    PutLine(0, 0, Width, 1, line);
    BoxRow(line, width, kBottom[0], kBottom[1], kBottom[2], attr);
    PutLine(0, Height - 1, Width, 1, line);
    BoxRow(line, width, kSide[0], kSide[1], kSide[2], attr);
    PutLine(0, 1, Width, Height - 2, line);
}

void tSimplFrame::HandleEvent(TEventRec& event) {
    if (event.what == evtMouseDown) {
        if (Under != nullptr && Under->HasOption(ViewOption::Selectable))
            Under->TakeFocus();
        ConsumeEvent(event);
        return;
    }
    if (event.what == evtBroadcast &&
        (event.message.command == cmdFocusGained || event.message.command == cmdFocusLost) &&
        Under != nullptr && event.message.info == Under) {
        Repaint();
        return;
    }
    tView::HandleEvent(event);
}

} // namespace zarvo
