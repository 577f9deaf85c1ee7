// TAbstractInput: the validity queries of a bound field, the editing keys it adds to the
// input line (word keys, the mask, the character filter), password drawing, and its stored
// form after the line's own.
#include "record_inputs/abstract_input.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/strings.h"
#include "record_inputs/input_mask.h"
#include "records/field_input.h"
#include "views/group.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kErrorFlags = mbError | mbContinue;

constexpr std::string_view kWordBreaks = " !()*+,-./:;=?\\^{}";

bool IsPrintable(std::uint16_t key) {
    return (key & 0xFF) >= 0x20;
}

} // namespace

tCharSet MakeCharSet(std::string_view chars) {
    tCharSet set{};
    for (char c : chars) {
        auto b = static_cast<unsigned char>(c);
        set[b >> 3] = std::uint8_t(set[b >> 3] | (1u << (b & 7)));
    }
    return set;
}

TAbstractInput::TAbstractInput(const tRect& bounds, std::int16_t maxLength)
    : tInputLine(bounds, maxLength) {
    // The focus leaves a typed input only with a valid text (Tab, clicks, labels alike).
    OptionFlags |= ViewOption::Validate;
    AcceptMask |= evtBroadcast;
    for (int c = 32; c < 256; ++c)
        Allowed[std::size_t(c >> 3)] = std::uint8_t(Allowed[std::size_t(c >> 3)] | (1u << (c & 7)));
}

TAbstractInput::TAbstractInput(tStreamLoad) : tInputLine(kStreamLoad) {}

// ---- validity

void TAbstractInput::SelectField() {
    if (!HasState(ViewState::Selected))
        SelectView();
    SelectAll(true);
}

bool TAbstractInput::Valid(std::uint16_t command) {
    if (command == cmdFocusLost)
        command = cmdValidateField;
    if (command == cmdValidateAll || command == cmdValidateField) {
        if (Owner != nullptr &&
            SendToView(Owner, evtBroadcast, cmdResolveLookup, this) != nullptr) {
            SelectField();
            return false;
        }
        return CheckField(command);
    }
    if (command == 0 && (Data == nullptr || (HasMask() && Mask.empty())))
        return false;
    if (command == cmdQueryUnchanged)
        return QueryUnchanged();
    return tInputLine::Valid(command);
}

bool TAbstractInput::CheckField(std::uint16_t command) {
    std::vector<std::uint8_t> scratch(std::size_t(ValueSize()) + 1, 0);
    if (!IsFilled() || !TextToValue(scratch.data())) {
        SelectField();
        ShowInputError();
        return false;
    }
    if (command == cmdValidateField && (InputOptions & ioStoreOnLeave) && Bound != nullptr)
        TextToValue(Bound);
    return PostValidate();
}

bool TAbstractInput::QueryUnchanged() {
    bool same = true;
    if (InputOptions & ioCompareText) {
        std::string shown = LineText();
        std::string loaded;
        ValueToText(loaded);
        loaded = ApplyCase(loaded);
        if (HasMask())
            loaded = FillMaskText(Mask, loaded);
        else
            loaded = ApplyTrims(loaded);
        bool bothEmpty = ApplyTrims(shown).empty() && ApplyTrims(loaded).empty();
        same = bothEmpty || shown == loaded;
    }
    if (InputOptions & ioCompareValue) {
        std::size_t size = ValueSize();
        std::vector<std::uint8_t> converted(size + 1, 0), bound(size + 1, 0);
        if (Bound != nullptr)
            std::memcpy(bound.data(), Bound, size);
        same = same && TextToValue(converted.data()) &&
               std::memcmp(converted.data(), bound.data(), size) == 0;
    }
    return same;
}

std::string TAbstractInput::ApplyCase(std::string_view text) const {
    if (InputOptions & ioUpperCase)
        return UpperCase(text);
    if (InputOptions & ioLowerCase)
        return LowerCase(text);
    return std::string(text);
}

std::string TAbstractInput::ApplyTrims(std::string_view text) const {
    if (InputOptions & ioTrimLeft) {
        std::size_t first = text.find_first_not_of(' ');
        text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    }
    if (InputOptions & ioTrimRight) {
        std::size_t last = text.find_last_not_of(' ');
        text = text.substr(0, last == std::string_view::npos ? 0 : last + 1);
    }
    return std::string(text);
}

std::string TAbstractInput::FilledText() {
    std::string text;
    if (HasMask())
        TextFromMask(text);
    else
        text = LineText();
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool TAbstractInput::PostValidate() {
    std::string text = ApplyCase(LineText());
    if (!HasMask())
        text = ApplyTrims(text);
    if (text != LineText()) {
        SetLineText(text);
        Repaint();
    }
    return true;
}

void TAbstractInput::ValueToText(std::string& out) {
    out.clear();
}

bool TAbstractInput::TextToValue(void* /*place*/) {
    return true;
}

void TAbstractInput::FillMask() {
    if (HasMask())
        SetLineText(FillMaskText(Mask, LineText()));
}

void TAbstractInput::TextFromMask(std::string& out) {
    out = MaskPlaceholderText(Mask, LineText());
}

void TAbstractInput::ShowInputError() {
    MessageBoxCall(InvalidFieldMessage(), kErrorFlags);
}

bool TAbstractInput::IsFilled() {
    if (InputOptions & (ioRequired | ioStoreOnLeave))
        return !FilledText().empty();
    return true;
}

void TAbstractInput::SetMask(std::string_view mask) {
    if (mask.empty() || Data == nullptr)
        return;
    // The mask is the whole text: it never outgrows the line's buffer.
    Mask = std::string(mask.substr(0, std::size_t(MaxLength)));
    InputOptions |= ioMask;
    ReloadText();
    MoveToPlaceholder(0);
}

void TAbstractInput::SetInputOptions(std::uint16_t bits) {
    InputOptions |= std::uint16_t(bits & ~ioMask);
}

void TAbstractInput::ReloadText() {
    std::string text;
    ValueToText(text);
    text = ApplyCase(text);
    if (!HasMask())
        text = ApplyTrims(text);
    SetLineText(text);
    FillMask();
}

// ---- dialog data

std::uint16_t TAbstractInput::ValueSize() {
    return std::uint16_t(MaxLength + 1);
}

std::uint16_t TAbstractInput::DataLength() {
    return ValueSize();
}

void TAbstractInput::ImportData(const void* record) {
    // The value stays where it is; the field writes into it only when asked.
    Bound = const_cast<void*>(record);
    ReloadText();
    SelectAll(true);
    if (HasMask())
        MoveToPlaceholder(0);
}

void TAbstractInput::ExportData(void* record) {
    TextToValue(record);
}

// ---- drawing

void TAbstractInput::Draw() {
    if (!(InputOptions & ioPassword) || Data == nullptr) {
        tInputLine::Draw();
        return;
    }
    std::string text = LineText();
    SetLineText(std::string(text.size(), kPasswordChar));
    tInputLine::Draw();
    SetLineText(text);
}

void TAbstractInput::ApplyState(std::uint16_t mask, bool on) {
    tInputLine::ApplyState(mask, on);
    if (HasMask() && (mask & (ViewState::Selected | ViewState::Active)))
        MoveToPlaceholder(CursorPos);
}

// ---- editing

void TAbstractInput::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown &&
        (event.key.keyCode == kKeyTab || event.key.keyCode == kKeyShiftTab)) {
        if (!Valid(cmdValidateField))
            ConsumeEvent(event);
        return;
    }
    if (event.what == evtBroadcast) {
        if (event.message.command == cmdStoreFields && Bound != nullptr)
            TextToValue(Bound);
        else if (event.message.command == cmdReloadFields && Bound != nullptr)
            ImportData(Bound);
    }
    if (event.what == evtKeyDown && HasState(ViewState::Selected) && Data != nullptr) {
        std::uint16_t key = event.key.keyCode;
        if (HandleWordKey(key)) {
            SelStart = SelEnd = 0;
            FirstShown = std::min(FirstShown, CursorPos);
            FirstShown = std::max<std::int16_t>(FirstShown, std::int16_t(CursorPos - Width + 2));
            Repaint();
            ConsumeEvent(event);
            return;
        }
        if (HasMask()) {
            if (HandleMaskKey(event))
                return;
        } else if (IsPrintable(key)) {
            char ch = char(key & 0xFF);
            if (!(InputOptions & ioNoFilter) && !CharSetHas(Allowed, ch)) {
                ConsumeEvent(event);
                return;
            }
            ch = ApplyCase(std::string_view(&ch, 1))[0];
            event.key.keyCode = std::uint16_t((key & 0xFF00) | std::uint8_t(ch));
        }
    }
    bool press = event.what == evtMouseDown;
    tInputLine::HandleEvent(event);
    // A click may put the cursor on a literal; it rests on the next placeholder instead.
    if (press && HasMask()) {
        std::int16_t clicked = CursorPos;
        MoveToPlaceholder(CursorPos);
        if (CursorPos != clicked)
            Repaint();
    }
}

bool TAbstractInput::IsWordBreak(int at) const {
    std::string text = LineText();
    return at >= 0 && at < int(text.size()) &&
           kWordBreaks.find(text[std::size_t(at)]) != std::string_view::npos;
}

int TAbstractInput::WordLeft() const {
    int at = CursorPos;
    while (at > 0 && IsWordBreak(at - 1))
        --at;
    while (at > 0 && !IsWordBreak(at - 1))
        --at;
    return at;
}

int TAbstractInput::WordRight() const {
    int at = CursorPos;
    int length = TextLength();
    while (at < length && !IsWordBreak(at))
        ++at;
    while (at < length && IsWordBreak(at))
        ++at;
    return at;
}

void TAbstractInput::EraseRange(int from, int to) {
    if (HasMask()) {
        BlankPlaceholders(from, to);
        MoveToPlaceholder(from);
        return;
    }
    std::string text = LineText();
    from = std::clamp(from, 0, int(text.size()));
    to = std::clamp(to, from, int(text.size()));
    text.erase(std::size_t(from), std::size_t(to - from));
    SetLineText(text);
    CursorPos = std::int16_t(from);
}

bool TAbstractInput::HandleWordKey(std::uint16_t key) {
    switch (key) {
    case kKeyCtrlE:
        EraseRange(HasMask() ? 0 : WordLeft(), CursorPos);
        return true;
    case kKeyCtrlT:
        EraseRange(CursorPos, HasMask() ? TextLength() : WordRight());
        return true;
    case kKeyCtrlHome:
        EraseRange(0, CursorPos);
        return true;
    case kKeyCtrlEnd:
        EraseRange(CursorPos, TextLength());
        return true;
    case kKeyCtrlR:
        ReloadText();
        CursorPos = 0;
        MoveToPlaceholder(0);
        return true;
    case kKeyCtrlLeft:
        CursorPos = std::int16_t(WordLeft());
        MoveToPlaceholder(CursorPos);
        return true;
    case kKeyCtrlRight:
        CursorPos = std::int16_t(WordRight());
        MoveToPlaceholder(CursorPos);
        return true;
    default:
        return false;
    }
}

// ---- mask mode

void TAbstractInput::MoveToPlaceholder(int at) {
    if (!HasMask())
        return;
    CursorPos = std::int16_t(std::min(NextPlaceholder(Mask, at), TextLength()));
}

void TAbstractInput::BlankPlaceholders(int from, int to) {
    std::string text = LineText();
    to = std::min(to, int(std::min(text.size(), Mask.size())));
    for (int i = std::max(from, 0); i < to; ++i)
        if (IsMaskPlaceholder(Mask[std::size_t(i)]))
            text[std::size_t(i)] = ' ';
    SetLineText(text);
}

void TAbstractInput::TypeIntoMask(char ch) {
    std::string text = LineText();
    if (CursorPos >= int(std::min(text.size(), Mask.size())))
        return;
    char placeholder = Mask[std::size_t(CursorPos)];
    if (!IsMaskPlaceholder(placeholder))
        return;
    char put = MaskAccepts(placeholder, ApplyCase(std::string_view(&ch, 1))[0]);
    if (put == 0)
        return;
    text[std::size_t(CursorPos)] = put;
    SetLineText(text);
    MoveToPlaceholder(CursorPos + 1);
}

// The keys that edit a mask; false for those the line handles as usual (Ins, the clipboard,
// and keys it leaves to the dialog).
bool TAbstractInput::HandleMaskKey(TEventRec& event) {
    std::uint16_t key = CtrlKeyToCursorKey(event.key.keyCode);
    MoveToPlaceholder(CursorPos);
    int length = TextLength();
    switch (key) {
    case kKeyBackspace: {
        int previous = PreviousPlaceholder(Mask, CursorPos);
        if (previous >= 0) {
            BlankPlaceholders(previous, previous + 1);
            CursorPos = std::int16_t(previous);
        }
        break;
    }
    case kKeyDel:
        if (SelStart != SelEnd)
            DeleteSelection();
        else
            BlankPlaceholders(CursorPos, CursorPos + 1);
        break;
    case kKeyLeft:
        CursorPos =
            std::int16_t(std::max(PreviousPlaceholder(Mask, CursorPos), NextPlaceholder(Mask, 0)));
        break;
    case kKeyRight:
        MoveToPlaceholder(std::min(CursorPos + 1, length));
        break;
    case kKeyHome:
        MoveToPlaceholder(0);
        break;
    case kKeyEnd:
        CursorPos = std::int16_t(length);
        break;
    default:
        if (KeyChar(key) == KeyChar(kKeyCtrlY)) {
            BlankPlaceholders(0, length);
            MoveToPlaceholder(0);
        } else if (IsPrintable(key)) {
            TypeIntoMask(char(key & 0xFF));
        } else {
            return false;
        }
        break;
    }
    SelStart = SelEnd = 0;
    FirstShown = std::min(FirstShown, CursorPos);
    FirstShown = std::max<std::int16_t>(FirstShown, std::int16_t(CursorPos - Width + 2));
    Repaint();
    ConsumeEvent(event);
    return true;
}

void TAbstractInput::DeleteSelection() {
    if (!HasMask()) {
        tInputLine::DeleteSelection();
        return;
    }
    if (SelStart == SelEnd)
        return;
    BlankPlaceholders(SelStart, SelEnd);
    MoveToPlaceholder(SelStart);
}

void TAbstractInput::InsertText(std::string_view text) {
    if (!HasMask()) {
        tInputLine::InsertText(text);
        return;
    }
    MoveToPlaceholder(CursorPos);
    for (char ch : text)
        TypeIntoMask(ch);
}

// ---- stored form

void TAbstractInput::Store(tStream& s) {
    tInputLine::Store(s);
    s.WriteValue(InputOptions);
    if (HasMask())
        s.WriteStr(Mask);
    else
        s.WriteValue(Allowed);
}

void TAbstractInput::Load(tStream& s) {
    tInputLine::Load(s);
    if (s.Status != stOk)
        return;
    InputOptions = s.ReadValue<std::uint16_t>();
    if (HasMask()) {
        Mask = s.ReadStr();
        // A mask is the whole text: an empty one, or one the buffer cannot hold, is damage.
        if (s.Status == stOk && (Mask.empty() || Mask.size() > std::size_t(MaxLength)))
            s.Error(stReadError, 0);
        if (s.Status == stOk)
            FillMask();
    } else {
        Allowed = s.ReadValue<tCharSet>();
    }
}

} // namespace zarvo
