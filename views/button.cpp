// tButton: drawing with its shadow (or markers on screens without colours), the mouse press
// tracked inside the button, hot keys in either layout, and the default-role protocol.
#include "views/button.h"

#include <algorithm>

#include "library/clocks.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "views/group.h"
#include "views/hot_letter.h"

namespace zarvo {

namespace {

constexpr auto kButtonPalette = MakePalette(10, 11, 12, 13, 14, 14, 14, 15);
constexpr std::uint8_t kShadowColor = 8;
constexpr std::uint8_t kTopShadowChar = 0xDC;    // lower half block
constexpr std::uint8_t kSideShadowChar = 0xDB;   // full block
constexpr std::uint8_t kBottomShadowChar = 0xDF; // upper half block
constexpr int kFocusedMarkers = 0;
constexpr int kDefaultMarkers = 1;
constexpr int kPlainMarkers = 2;

void SetChar(tCell& cell, std::uint8_t ch) {
    cell = MakeCell(ch, CellAttr(cell));
}

void SetAttr(tCell& cell, std::uint8_t attr) {
    cell = MakeCell(CellChar(cell), attr);
}

bool InArea(const tRect& area, tPoint p) {
    return p.X >= area.Left && p.X < area.Right && p.Y >= area.Top && p.Y < area.Bottom;
}

} // namespace

tButton::tButton(const tRect& bounds, std::string_view title, std::uint16_t command,
                 std::uint8_t buttonFlags)
    : tView(bounds), Title(NewStr(title)), Command(command), ButtonFlags(buttonFlags) {
    OptionFlags |= ViewOption::Selectable | ViewOption::FirstClick | ViewOption::PreProcess |
                   ViewOption::PostProcess;
    AcceptMask |= evtBroadcast;
    if (!IsCommandOn(Command))
        StateFlags |= ViewState::Disabled;
    IsDefault = (ButtonFlags & ButtonFlag::IsDefaultButton) != 0;
}

tButton::tButton() : tButton(MakeRect(0, 0, 10, 2), "Кнопка"_oem, 0, 0) {}

tButton::tButton(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tButton::StoreID() const {
    return 12;
}

tPalette tButton::GetPalette() const {
    return kButtonPalette.data();
}

// ---- drawing

std::uint16_t tButton::TextColors() const {
    if (HasState(ViewState::Disabled))
        return MapColors(0x0404);
    if (HasState(ViewState::Active)) {
        if (HasState(ViewState::Selected))
            return MapColors(0x0703);
        if (IsDefault)
            return MapColors(0x0602);
    }
    return MapColors(0x0501);
}

void tButton::Draw() {
    if (Width < 1 || Height < 1)
        return;
    const std::uint16_t pair = TextColors();
    const std::uint8_t shadow = MapColor(kShadowColor);
    const int s = std::min<int>(Width, MaxLineCells) - 1;
    // Room for a title that runs past the button: only Width cells are written.
    tCell line[2 * MaxLineCells];
    std::uint8_t bottomFill = ' ';
    for (int y = 0; y <= Height - 2; ++y) {
        bottomFill = DrawTextRow(line, y, pair, shadow);
        PutLine(0, y, Width, 1, line);
    }
    FillCells(line, ' ', shadow, 2);
    FillCells(line + 2, bottomFill, shadow, std::max(s - 1, 0));
    PutLine(0, Height - 1, Width, 1, line);
}

std::uint8_t tButton::DrawTextRow(tCell* line, int y, std::uint16_t pair,
                                  std::uint8_t shadow) const {
    const int s = std::min<int>(Width, MaxLineCells) - 1;
    const bool markers = ShowMarkers && !IsDown && s >= 1;
    std::uint8_t bottomFill = ' ';
    FillCells(line, ' ', std::uint8_t(pair), MaxLineCells);
    SetAttr(line[0], shadow);
    int textStart = 1;
    if (IsDown) {
        SetAttr(line[1], shadow);
        textStart = 2;
    } else {
        SetAttr(line[s], shadow);
        if (!ShowMarkers) {
            SetChar(line[s], y == 0 ? kTopShadowChar : kSideShadowChar);
            bottomFill = kBottomShadowChar;
        }
    }
    if (y == Height / 2 - 1 && !Title.empty()) {
        int l = (ButtonFlags & ButtonFlag::LeftJustify)
                    ? 1
                    : std::max((s - HotTextLength(Title) - 1) / 2, 1);
        CopyHotTextToCells(line + textStart + l, Title, pair);
        if (markers) {
            int k = HasState(ViewState::Selected) ? kFocusedMarkers
                    : IsDefault                   ? kDefaultMarkers
                                                  : kPlainMarkers;
            SetChar(line[0], MarkerChars[2 * k]);
            SetChar(line[s], MarkerChars[2 * k + 1]);
        }
    }
    if (markers) {
        SetChar(line[1], '[');
        SetChar(line[s - 1], ']');
    }
    return bottomFill;
}

// ---- events

void tButton::HandleEvent(TEventRec& event) {
    if (event.what == evtMouseDown &&
        !InArea(MakeRect(1, 0, Width - 1, Height - 1), ToLocal(event.mouse.where)))
        ConsumeEvent(event);
    if (ButtonFlags & ButtonFlag::GrabFocus)
        tView::HandleEvent(event);
    switch (event.what) {
    case evtMouseDown:
        TrackMouse(event);
        break;
    case evtKeyDown:
        HandleKey(event);
        break;
    case evtBroadcast:
        HandleBroadcast(event);
        break;
    default:
        break;
    }
}

void tButton::TrackMouse(TEventRec& event) {
    if (!HasState(ViewState::Disabled)) {
        // While held, the last column counts as well.
        const tRect area = MakeRect(1, 0, Width, Height - 1);
        bool down = false;
        CaptureMouse();
        do {
            bool inside = InArea(area, ToLocal(event.mouse.where));
            if (inside != down) {
                down = inside;
                IsDown = down;
                Repaint();
                IsDown = false;
            }
        } while (NextMouseEvent(event, evtMouseMove));
        ReleaseMouse();
        // Only a release presses: a track ended by cmdAbort or a lost capture does not.
        if (event.what == evtMouseUp && InArea(area, ToLocal(event.mouse.where))) {
            Trigger();
            Repaint();
        } else if (down) {
            Repaint();
        }
    }
    ConsumeEvent(event);
}

void tButton::HandleKey(TEventRec& event) {
    const char hot = HotLetter(Title);
    const std::uint16_t key = event.key.keyCode;
    bool postProcess = Owner != nullptr && Owner->DispatchPhase == 2;
    if (IsAltHotKey(hot, key) || (postProcess && TypesHotLetter(hot, key)) ||
        (HasState(ViewState::Focused) && (key & 0xFF) == ' '))
        PressButton(event);
}

void tButton::HandleBroadcast(TEventRec& event) {
    switch (event.message.command) {
    case cmdDefault:
        if (IsDefault)
            PressButton(event);
        break;
    case cmdGrabDefault:
    case cmdReleaseDefault:
        if (ButtonFlags & ButtonFlag::IsDefaultButton) {
            IsDefault = event.message.command == cmdReleaseDefault;
            Repaint();
        }
        break;
    case cmdCommandsChanged:
        ChangeState(ViewState::Disabled, !IsCommandOn(Command));
        Repaint();
        break;
    default:
        break;
    }
}

void tButton::PressButton(TEventRec& event) {
    IsDown = true;
    Repaint();
    Delay(kButtonPressMs);
    Trigger();
    IsDown = false;
    Repaint();
    ConsumeEvent(event);
}

void tButton::Trigger() {
    SendToView(Owner, evtBroadcast, cmdRecordHistory, nullptr);
    if (ButtonFlags & ButtonFlag::BroadcastPress) {
        SendToView(Owner, evtBroadcast, Command, this);
        return;
    }
    TEventRec event;
    event.what = evtCommand;
    event.message.command = Command;
    event.message.info = this;
    PostEvent(event);
}

// ---- state

void tButton::TakeDefaultRole(bool on) {
    if (ButtonFlags & ButtonFlag::IsDefaultButton)
        return;
    SendToView(Owner, evtBroadcast, on ? cmdGrabDefault : cmdReleaseDefault, this);
    IsDefault = on;
    Repaint();
}

void tButton::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & (ViewState::Selected | ViewState::Active))
        Repaint();
    if (mask & ViewState::Focused)
        TakeDefaultRole(on);
}

// ---- stream form

void tButton::Store(tStream& s) {
    tView::Store(s);
    s.WriteStr(Title);
    s.WriteValue(Command);
    s.WriteValue(ButtonFlags);
    s.WriteValue(std::uint8_t(IsDefault));
}

void tButton::Load(tStream& s) {
    tView::Load(s);
    Title = s.ReadStr();
    Command = s.ReadValue<std::uint16_t>();
    ButtonFlags = s.ReadValue<std::uint8_t>();
    IsDefault = s.ReadValue<std::uint8_t>() != 0;
    if (IsCommandOn(Command))
        StateFlags &= std::uint16_t(~ViewState::Disabled);
    else
        StateFlags |= ViewState::Disabled;
}

} // namespace zarvo
