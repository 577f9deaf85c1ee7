// TCalcDisplay: the key rules of the calculator, the 10-decimal form results are shown in,
// the right-aligned drawing and the 25-byte stored form.
#include "views/calc_display.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "views/button.h"
#include "views/group.h"

namespace zarvo {

namespace {

constexpr auto kCalcDisplayPalette = MakePalette(19);
constexpr std::string_view kErrorText = "Ошибка"_oem;
// A result's 10-decimal form longer than this cannot be shown.
constexpr std::size_t kMaxResultText = 26;
constexpr char kCyrillicEs = '\x91';
constexpr char kCyrillicYo = '\xF0';
constexpr char kCyrillicSmallYo = '\xF1';
// State, number (length byte and 15 characters), sign and operator.
constexpr std::size_t kStateBlockSize = 19;
// Written after the state block as a copy of its start; loading skips them.
constexpr std::size_t kPaddingSize = 6;

bool IsOperatorChar(char c) {
    return c == '=' || c == '+' || c == '-' || c == '*' || c == '/' || c == '%' ||
           c == KeyChar(kKeyEnter);
}

bool IsClearKey(char c) {
    return c == 'C' || c == kCyrillicEs;
}

} // namespace

bool ParseCalcNumber(std::string_view text, long double& value) {
    value = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view part =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((!whole.empty() && !IsDigits(whole)) || (!part.empty() && !IsDigits(part)) ||
        (whole.empty() && part.empty()))
        return false;
    auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    if (negative)
        value = -value;
    return true;
}

TCalcDisplay::TCalcDisplay(const tRect& bounds) : tView(bounds) {
    OptionFlags |= ViewOption::Selectable;
    AcceptMask |= evtBroadcast;
}

TCalcDisplay::TCalcDisplay(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t TCalcDisplay::StoreID() const {
    return 160;
}

tPalette TCalcDisplay::GetPalette() const {
    return kCalcDisplayPalette.data();
}

// ---- arithmetic

void TCalcDisplay::CalcClear() {
    State = CalcState::Result;
    Number = "0";
    Sign = ' ';
    Operator = '=';
}

void TCalcDisplay::CalcError() {
    State = CalcState::Error;
    Number = kErrorText;
    Sign = ' ';
}

void TCalcDisplay::CalcShow(long double x) {
    // Nothing the keys can make overflows, but a value put in from outside might.
    if (!std::isfinite(x)) {
        CalcError();
        return;
    }
    if (x == 0)
        x = 0; // no "-0"
    std::array<char, 64> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                std::chars_format::fixed, 10);
    std::string text =
        result.ec == std::errc() ? std::string(buffer.data(), result.ptr) : std::string(64, '9');
    Sign = ' ';
    if (!text.empty() && text[0] == '-') {
        text.erase(0, 1);
        Sign = '-';
    }
    if (text.size() > kMaxResultText) {
        CalcError();
        return;
    }
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    Number = text.substr(0, kCalcDigits);
}

long double TCalcDisplay::CalcValue() const {
    long double value = 0;
    if (State == CalcState::Error || !ParseCalcNumber(Number, value))
        return 0;
    return Sign == '-' ? -value : value;
}

void TCalcDisplay::StartNumber() {
    if (State != CalcState::Result)
        return;
    State = CalcState::Typing;
    Number = "0";
    Sign = ' ';
}

void TCalcDisplay::RemoveLastChar() {
    StartNumber();
    if (Number.size() <= 1)
        Number = "0";
    else
        Number.pop_back();
}

void TCalcDisplay::ApplyOperator(char op) {
    if (State == CalcState::Typing) {
        State = CalcState::Result;
        long double r = CalcValue();
        if (op == '%') {
            if (Operator == '*' || Operator == '/')
                r = r / 100;
            else if (Operator == '+' || Operator == '-')
                r = Operand * r / 100;
        }
        switch (Operator) {
        case '*':
            CalcShow(Operand * r);
            break;
        case '+':
            CalcShow(Operand + r);
            break;
        case '-':
            CalcShow(Operand - r);
            break;
        case '/':
            if (r != 0)
                CalcShow(Operand / r);
            else
                CalcError();
            break;
        default:
            break;
        }
    }
    Operator = op;
    Operand = CalcValue();
}

void TCalcDisplay::AppendChar(char ch) {
    StartNumber();
    if (ch == '.') {
        if (Number.find('.') == std::string::npos && Number.size() < kCalcDigits)
            Number += '.';
        return;
    }
    if (Number == "0")
        Number.clear();
    if (Number.size() < kCalcDigits)
        Number += ch;
}

void TCalcDisplay::ToggleSign() {
    Sign = Sign == ' ' ? '-' : ' ';
}

void TCalcDisplay::CalcKey(char key) {
    char c = UpCase866(key);
    // Either layout's C leaves the error: a keyboard in the Cyrillic layout types С.
    if (State == CalcState::Error && !IsClearKey(c))
        c = ' ';
    if (c == KeyChar(kKeyBackspace) || c == KeyChar(kKeyEsc))
        RemoveLastChar();
    else if (IsOperatorChar(c))
        ApplyOperator(c);
    else if (c == '.' || (c >= '0' && c <= '9'))
        AppendChar(c);
    else if (IsClearKey(c))
        CalcClear();
    else if (c == '_' || c == '`' || c == kCyrillicYo || c == kCyrillicSmallYo)
        ToggleSign();
    Repaint();
}

std::string TCalcDisplay::DisplayText() const {
    return Sign == '-' ? "-" + Number : Number;
}

void TCalcDisplay::ShowText(std::string_view text) {
    text = text.substr(0, kCalcDigits + 1);
    Sign = ' ';
    if (!text.empty() && text[0] == '-') {
        Sign = '-';
        text.remove_prefix(1);
    }
    long double value = 0;
    if (!ParseCalcNumber(text, value) || text[0] == '+' || text[0] == '-') {
        CalcError();
    } else {
        State = CalcState::Typing;
        Number = text.substr(0, kCalcDigits);
    }
    Repaint();
}

// ---- drawing and events

void TCalcDisplay::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    std::uint8_t color = MapColor(1);
    tCell line[MaxLineCells];
    FillCells(line, ' ', color, width);
    int start = width - int(Number.size()) - 2;
    std::string text = Sign + Number;
    for (int i = 0; i < int(text.size()); ++i)
        if (start + i >= 0 && start + i < width)
            line[start + i] = MakeCell(std::uint8_t(text[std::size_t(i)]), color);
    PutLine(0, 0, width, Height, line);
}

void TCalcDisplay::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtKeyDown) {
        // Left for the others: the history button opens its list on Down.
        CalcKey(char(event.key.keyCode & 0xFF));
    } else if (event.what == evtBroadcast && event.message.command == cmdCalcButton &&
               Owner != nullptr) {
        // Only a button of this calculator names a key: any other info is no view of ours.
        tView* sender = Owner->FindView([&](tView* v) { return v == event.message.info; });
        auto* button = dynamic_cast<tButton*>(sender);
        if (button != nullptr && !button->Title.empty()) {
            CalcKey(button->Title[0]);
            ConsumeEvent(event);
        }
    }
}

// ---- stream

void TCalcDisplay::Store(tStream& s) {
    tView::Store(s);
    std::array<std::uint8_t, kStateBlockSize> block{};
    block[0] = State;
    std::size_t length = std::min(Number.size(), kCalcDigits);
    block[1] = std::uint8_t(length);
    std::memcpy(&block[2], Number.data(), length);
    block[17] = std::uint8_t(Sign);
    block[18] = std::uint8_t(Operator);
    s.Write(block.data(), std::uint16_t(block.size()));
    s.Write(block.data(), std::uint16_t(kPaddingSize));
}

void TCalcDisplay::Load(tStream& s) {
    tView::Load(s);
    std::array<std::uint8_t, kStateBlockSize + kPaddingSize> block{};
    s.Read(block.data(), std::uint16_t(block.size()));
    if (s.Status != stOk)
        return;
    std::size_t length = block[1];
    char sign = char(block[17]);
    char op = char(block[18]);
    if (block[0] > CalcState::Error || length > kCalcDigits || (sign != ' ' && sign != '-') ||
        !IsOperatorChar(op)) {
        s.Error(stReadError, 0);
        return;
    }
    State = block[0];
    Number.assign(reinterpret_cast<const char*>(&block[2]), length);
    Sign = sign;
    Operator = op;
    Operand = 0;
}

} // namespace zarvo
