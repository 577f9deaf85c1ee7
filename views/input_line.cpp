// tInputLine: the text buffer, drawing with the scroll arrows and the selection, the mouse
// (edge scrolling, drag selection, double click), the editing keys, the clipboard and the
// stored form.
#include "views/input_line.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "views/message_box_call.h"

namespace zarvo {

tInputClipboard* InputClipboard = nullptr;

std::string UntypableMessage(tUntypable untypable) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(untypable.Code));
    return FormatText(untypable.Pasted
                          ? "Знак %s нельзя записать в кодировке CP866: текст не вставлен."_oem
                          : "Знак %s нельзя записать в кодировке CP866: он не введён."_oem,
                      {std::string_view(code)});
}

namespace {

constexpr auto kInputLinePalette = MakePalette(19, 19, 20, 21);
constexpr std::uint8_t kRightArrowChar = 0x10;
constexpr std::uint8_t kLeftArrowChar = 0x11;

bool MovesCursorOnly(std::uint16_t key) {
    return key == kKeyHome || key == kKeyLeft || key == kKeyRight || key == kKeyEnd;
}

} // namespace

tInputLine::tInputLine(const tRect& bounds, std::int16_t maxLength) : tView(bounds) {
    StateFlags |= ViewState::CursorShown;
    OptionFlags |= ViewOption::Selectable | ViewOption::FirstClick;
    MakeBuffer(maxLength);
}

tInputLine::tInputLine() : tInputLine(MakeRect(0, 0, 10, 2), kMaxInputLength) {}

tInputLine::tInputLine(tStreamLoad) : tView(kStreamLoad) {}

void tInputLine::MakeBuffer(std::int16_t maxLength) {
    MaxLength = std::clamp<std::int16_t>(maxLength, 0, kMaxInputLength);
    Data = std::make_unique<std::uint8_t[]>(std::size_t(MaxLength) + 1);
}

std::uint16_t tInputLine::StoreID() const {
    return 11;
}

tPalette tInputLine::GetPalette() const {
    return kInputLinePalette.data();
}

// ---- the text

std::string tInputLine::LineText() const {
    if (Data == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(Data.get() + 1), Data[0]);
}

void tInputLine::SetLineText(std::string_view s) {
    if (Data == nullptr)
        return;
    std::size_t length = std::min<std::size_t>(s.size(), std::size_t(MaxLength));
    std::memcpy(Chars(), s.data(), length);
    Data[0] = std::uint8_t(length);
    // A shorter text must not leave the cursor or the selection past its end.
    auto within = [length](std::int16_t& pos) { pos = std::min(pos, std::int16_t(length)); };
    within(CursorPos);
    within(FirstShown);
    within(SelStart);
    within(SelEnd);
}

void tInputLine::EraseChars(int at, int count) {
    int length = TextLength();
    at = std::clamp(at, 0, length);
    count = std::clamp(count, 0, length - at);
    std::memmove(Chars() + at, Chars() + at + count, std::size_t(length - at - count));
    Data[0] = std::uint8_t(length - count);
}

void tInputLine::InsertChars(int at, std::string_view text) {
    int length = TextLength();
    at = std::clamp(at, 0, length);
    int count = std::min<int>(int(text.size()), MaxLength - length);
    if (count <= 0)
        return;
    std::memmove(Chars() + at + count, Chars() + at, std::size_t(length - at));
    std::memcpy(Chars() + at, text.data(), std::size_t(count));
    Data[0] = std::uint8_t(length + count);
}

void tInputLine::SelectAll(bool on) {
    CursorPos = FirstShown = SelStart = 0;
    SelEnd = std::int16_t(on ? TextLength() : 0);
    Repaint();
}

bool tInputLine::CanScroll(int delta) const {
    if (delta < 0)
        return FirstShown > 0;
    if (delta > 0)
        return TextLength() - FirstShown + 2 > Width;
    return false;
}

void tInputLine::DeleteSelection() {
    if (Data == nullptr || SelStart == SelEnd)
        return;
    EraseChars(SelStart, SelEnd - SelStart);
    CursorPos = SelStart;
}

void tInputLine::InsertText(std::string_view text) {
    if (Data == nullptr)
        return;
    if (HasState(ViewState::CursorInsert))
        EraseChars(CursorPos, int(text.size()));
    text = text.substr(0, std::size_t(std::max(MaxLength - TextLength(), 0)));
    if (text.empty())
        return;
    FirstShown = std::min(FirstShown, CursorPos);
    InsertChars(CursorPos, text);
    SelStart = CursorPos;
    CursorPos = std::int16_t(CursorPos + text.size());
    SelEnd = CursorPos;
    FirstShown = std::max<std::int16_t>(FirstShown, std::int16_t(CursorPos - Width + 2));
}

// ---- drawing

void tInputLine::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    std::uint8_t color = MapColor(HasState(ViewState::Focused) ? 2 : 1);
    tCell line[MaxLineCells];
    FillCells(line, ' ', color, width);
    int first = std::clamp<int>(FirstShown, 0, TextLength());
    int shown = std::min(TextLength() - first, width - 2);
    for (int i = 0; i < shown; ++i)
        line[1 + i] = MakeCell(std::uint8_t(Chars()[first + i]), color);
    if (CanScroll(+1))
        line[width - 1] = MakeCell(kRightArrowChar, MapColor(4));
    if (HasState(ViewState::Selected)) {
        if (CanScroll(-1))
            line[0] = MakeCell(kLeftArrowChar, MapColor(4));
        int left = std::max(SelStart - FirstShown, 0);
        int right = std::min(SelEnd - FirstShown, Width - 2);
        std::uint8_t selected = MapColor(3);
        for (int x = left + 1; x <= right && x < width; ++x)
            line[x] = MakeCell(CellChar(line[x]), selected);
    }
    PutLine(0, 0, width, Height, line);
    SetCursorPos(CursorPos - FirstShown + 1, 0);
}

// ---- events

void tInputLine::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (!HasState(ViewState::Selected) || Data == nullptr)
        return;
    if (event.what == evtCommand && event.message.command == cmdUntypable) {
        const tUntypable refused = UntypableOf(event.message.info);
        ConsumeEvent(event);
        MessageBoxCall(UntypableMessage(refused), mbError | mbContinue);
        return;
    }
    if (event.what == evtMouseDown) {
        HandleMouse(event);
        return;
    }
    if (event.what != evtKeyDown)
        return;
    // Ctrl+V pastes, as everywhere else on the desktop; overwrite stays on Ins alone.
    std::uint16_t key = KeyChar(event.key.keyCode) == KeyChar(kKeyCtrlV)
                            ? kKeyShiftIns
                            : CtrlKeyToCursorKey(event.key.keyCode);
    if (key == kKeyCtrlIns || key == kKeyShiftIns) {
        ConsumeEvent(event);
        if (key == kKeyCtrlIns)
            ClipboardCopy();
        else
            ClipboardPaste();
        return;
    }
    bool extend = MovesCursorOnly(key) && (event.key.shiftState & (shiftRight | shiftLeft));
    int anchor = CursorPos;
    if (!EditByKey(key))
        return;
    if (extend)
        ExtendSelection(anchor);
    else
        SelStart = SelEnd = 0;
    FirstShown = std::min(FirstShown, CursorPos);
    FirstShown = std::max<std::int16_t>(FirstShown, std::int16_t(CursorPos - Width + 2));
    Repaint();
    ConsumeEvent(event);
}

bool tInputLine::EditByKey(std::uint16_t key) {
    int length = TextLength();
    switch (key) {
    case kKeyBackspace:
        if (CursorPos >= 1) {
            EraseChars(CursorPos - 1, 1);
            --CursorPos;
            if (FirstShown > 0)
                --FirstShown;
        }
        return true;
    case kKeyHome:
        CursorPos = 0;
        return true;
    case kKeyLeft:
        if (CursorPos > 0)
            --CursorPos;
        return true;
    case kKeyRight:
        if (CursorPos < length)
            ++CursorPos;
        return true;
    case kKeyEnd:
        CursorPos = std::int16_t(length);
        return true;
    case kKeyIns:
        ChangeState(ViewState::CursorInsert, !HasState(ViewState::CursorInsert));
        return true;
    case kKeyDel:
        if (SelStart == SelEnd && CursorPos < length) {
            SelStart = CursorPos;
            SelEnd = std::int16_t(CursorPos + 1);
        }
        DeleteSelection();
        return true;
    default:
        break;
    }
    char ch = char(key & 0xFF);
    if (ch == KeyChar(kKeyCtrlY)) {
        Data[0] = 0;
        CursorPos = 0;
        return true;
    }
    if (std::uint8_t(ch) < 0x20)
        return false;
    TypeChar(ch);
    return true;
}

void tInputLine::TypeChar(char ch) {
    if (HasState(ViewState::CursorInsert))
        EraseChars(CursorPos, 1);
    else
        DeleteSelection();
    if (TextLength() >= MaxLength)
        return;
    FirstShown = std::min(FirstShown, CursorPos);
    ++CursorPos;
    InsertChars(CursorPos - 1, std::string_view(&ch, 1));
}

void tInputLine::ExtendSelection(int anchor) {
    if (SelStart == SelEnd) {
        SelStart = std::int16_t(std::min<int>(CursorPos, anchor));
        SelEnd = std::int16_t(std::max<int>(CursorPos, anchor));
    } else if (SelStart > CursorPos) {
        if (SelEnd <= anchor)
            SelEnd = SelStart;
        SelStart = CursorPos;
    } else if (SelEnd < CursorPos) {
        if (SelStart >= anchor)
            SelStart = SelEnd;
        SelEnd = CursorPos;
    } else {
        if (anchor < CursorPos)
            SelStart = CursorPos;
        if (anchor > CursorPos)
            SelEnd = CursorPos;
    }
}

int tInputLine::MouseEdge(const TEventRec& event) const {
    int x = ToLocal(event.mouse.where).X;
    if (x <= 0)
        return -1;
    if (x >= Width - 1)
        return +1;
    return 0;
}

int tInputLine::MouseColumn(const TEventRec& event) const {
    int x = ToLocal(event.mouse.where).X;
    return std::clamp(FirstShown + std::max(x, 1) - 1, 0, TextLength());
}

void tInputLine::HandleMouse(TEventRec& event) {
    int delta = MouseEdge(event);
    if (CanScroll(delta)) {
        CaptureMouse();
        do {
            if (CanScroll(delta)) {
                FirstShown = std::int16_t(FirstShown + delta);
                Repaint();
            }
        } while (NextMouseEvent(event, evtMouseRepeat));
        ReleaseMouse();
    } else if (event.mouse.doubleClick != 0) {
        SelectAll(true);
    } else {
        TrackSelection(event);
    }
    ConsumeEvent(event);
}

void tInputLine::TrackSelection(TEventRec& event) {
    int anchor = MouseColumn(event);
    CaptureMouse();
    do {
        if (event.what == evtMouseRepeat) {
            int delta = MouseEdge(event);
            if (CanScroll(delta))
                FirstShown = std::int16_t(FirstShown + delta);
        }
        CursorPos = std::int16_t(MouseColumn(event));
        SelStart = std::int16_t(std::min<int>(anchor, CursorPos));
        SelEnd = std::int16_t(std::max<int>(anchor, CursorPos));
        Repaint();
    } while (NextMouseEvent(event, evtMouseMove | evtMouseRepeat));
    ReleaseMouse();
}

void tInputLine::ClipboardCopy() {
    if (InputClipboard == nullptr || Data == nullptr || SelStart >= SelEnd)
        return;
    InputClipboard->CopyText(
        LineText().substr(std::size_t(SelStart), std::size_t(SelEnd - SelStart)));
}

void tInputLine::ClipboardPaste() {
    if (InputClipboard == nullptr || Data == nullptr)
        return;
    std::string text;
    if (!InputClipboard->PasteText(text) || text.empty())
        return;
    InsertText(std::string_view(text).substr(0, kMaxShortString));
    Repaint();
}

void tInputLine::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if ((mask & ViewState::Selected) ||
        ((mask & ViewState::Active) && HasState(ViewState::Selected)))
        SelectAll(on);
}

void tInputLine::DispatchMessage(tMessage& message) {
    if (message.Msg == kMsgInputLineData) {
        message.Result = reinterpret_cast<std::intptr_t>(Data.get());
        return;
    }
    tView::DispatchMessage(message);
}

// ---- dialog data and the stored form

std::uint16_t tInputLine::DataLength() {
    return std::uint16_t(MaxLength + 1);
}

void tInputLine::ExportData(void* record) {
    auto* bytes = static_cast<std::uint8_t*>(record);
    std::memset(bytes, 0, DataLength());
    if (Data != nullptr)
        std::memcpy(bytes, Data.get(), std::size_t(TextLength()) + 1);
}

void tInputLine::ImportData(const void* record) {
    if (Data == nullptr)
        return;
    std::memcpy(Data.get(), record, DataLength());
    // A length byte past MaxLength would let every later edit run off the buffer.
    Data[0] = std::min<std::uint8_t>(Data[0], std::uint8_t(MaxLength));
    SelectAll(true);
}

void tInputLine::Store(tStream& s) {
    tView::Store(s);
    s.WriteValue(MaxLength);
    s.WriteValue(CursorPos);
    s.WriteValue(FirstShown);
    s.WriteValue(SelStart);
    s.WriteValue(SelEnd);
    s.WriteStr(LineText());
}

void tInputLine::Load(tStream& s) {
    tView::Load(s);
    auto maxLength = s.ReadValue<std::int16_t>();
    CursorPos = s.ReadValue<std::int16_t>();
    FirstShown = s.ReadValue<std::int16_t>();
    SelStart = s.ReadValue<std::int16_t>();
    SelEnd = s.ReadValue<std::int16_t>();
    if (s.Status != stOk)
        return;
    if (maxLength < 0 || maxLength > kMaxInputLength) {
        s.Error(stReadError, 0);
        return;
    }
    MakeBuffer(maxLength);
    // A text longer than the room it was stored with is cut, never written past the buffer.
    SetLineText(s.ReadStr());
    ClampPositions();
}

void tInputLine::ClampPositions() {
    int length = TextLength();
    CursorPos = std::int16_t(std::clamp<int>(CursorPos, 0, length));
    FirstShown = std::int16_t(std::clamp<int>(FirstShown, 0, CursorPos));
    SelStart = std::int16_t(std::clamp<int>(SelStart, 0, length));
    SelEnd = std::int16_t(std::clamp<int>(SelEnd, SelStart, length));
}

} // namespace zarvo
