// tLabel: drawing with the hot letter and the first line's marker, focusing the link after
// asking the current control, following the link's focus, and the stored link as a reference
// to another subview.
#include "views/label.h"

#include <algorithm>

#include "platform/cp866.h"
#include "views/group.h"
#include "views/hot_letter.h"

namespace zarvo {

namespace {

constexpr auto kLabelPalette = MakePalette(7, 8, 9, 9, 13);
constexpr int kLightMarkers = 0;
constexpr int kPlainMarkers = 2;

} // namespace

tLabel::tLabel(const tRect& bounds, std::string_view text, tView* link)
    : tStaticText(bounds, text) {
    OptionFlags |= ViewOption::PreProcess | ViewOption::PostProcess;
    AcceptMask |= evtBroadcast;
    SetLink(link);
}

tLabel::tLabel() : tLabel(MakeRect(0, 0, 10, 2), "Метка"_oem, nullptr) {}

tLabel::tLabel(tStreamLoad) : tStaticText(kStreamLoad) {}

std::uint16_t tLabel::StoreID() const {
    return 18;
}

tPalette tLabel::GetPalette() const {
    return kLabelPalette.data();
}

void tLabel::SetLink(tView* link) {
    if (Link != nullptr)
        Link->Unsubscribe(evnObjectFree, BindHandler<&tLabel::OnLinkFreed>(this));
    Link = link;
    if (Link != nullptr)
        Link->Subscribe(evnObjectFree, BindHandler<&tLabel::OnLinkFreed>(this));
}

void tLabel::OnLinkFreed(EventFrame& frame) {
    if (frame.Argument == Link)
        Link = nullptr;
}

void tLabel::Draw() {
    std::uint16_t pair = MapColors(0x0301);
    int markers = kPlainMarkers;
    if (HasState(ViewState::Disabled)) {
        pair = MapColors(0x0505);
    } else if (IsLight) {
        pair = MapColors(0x0402);
        markers = kLightMarkers;
    }
    const std::string text = CurrentText();
    tWrapState state;
    state.Width = Width - 1;
    state.TildeAware = true;
    state.Pos = 1;
    bool showMarker = ShowMarkers;
    bool more = true;
    // Room for a line whose tildes run past the view: only Width cells are written.
    tCell line[2 * MaxLineCells];
    for (int y = 0; y < Height; ++y) {
        FillCells(line, ' ', std::uint8_t(pair), MaxLineCells);
        more = more && NextWrappedLine(text, state);
        if (more) {
            int column =
                1 + (state.Centered ? std::max((Width - 1 - state.VisibleLength) / 2, 0) : 0);
            column = std::min(column, MaxLineCells);
            CopyHotTextToCells(line + column, state.Line(text), pair);
            if (showMarker && state.Length > 0) {
                line[0] = MakeCell(MarkerChars[2 * markers], CellAttr(line[0]));
                showMarker = false;
            }
        }
        PutLine(0, y, Width, 1, line);
    }
}

bool tLabel::CurrentRefuses() const {
    return Owner != nullptr && Owner->CurrentView != nullptr &&
           !Owner->CurrentView->Valid(cmdValidateField);
}

void tLabel::FocusLink(TEventRec& event) {
    if (Link != nullptr && Link->HasOption(ViewOption::Selectable))
        Link->TakeFocus();
    ConsumeEvent(event);
}

void tLabel::HandleEvent(TEventRec& event) {
    tStaticText::HandleEvent(event);
    if (event.what == evtMouseDown) {
        // A click that reached the label is inside it: groups route clicks by position.
        if (CurrentRefuses())
            ConsumeEvent(event);
        else
            FocusLink(event);
    } else if (event.what == evtKeyDown) {
        const char hot = HotLetter(Text);
        const std::uint16_t key = event.key.keyCode;
        bool postProcess = Owner != nullptr && Owner->DispatchPhase == 2;
        if (IsAltHotKey(hot, key) || (postProcess && TypesHotLetter(hot, key))) {
            // Either way of reaching the link asks the current control first: a plain letter
            // must not carry the focus away from a field that is not valid.
            if (CurrentRefuses())
                ConsumeEvent(event);
            else
                FocusLink(event);
        }
    } else if (event.what == evtBroadcast &&
               (event.message.command == cmdFocusGained || event.message.command == cmdFocusLost)) {
        if (Link != nullptr) {
            IsLight = Link->HasState(ViewState::Focused);
            Repaint();
        }
    }
}

void tLabel::Store(tStream& s) {
    tStaticText::Store(s);
    WritePeerRef(s, Link);
}

void tLabel::Load(tStream& s) {
    tStaticText::Load(s);
    // The place is the label itself, so that the link is watched once the group fills it in.
    ReadPeerPlace(s, this,
                  [](void* place, tView* view) { static_cast<tLabel*>(place)->SetLink(view); });
}

} // namespace zarvo
