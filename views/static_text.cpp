// tStaticText and tParamText: wrapped drawing, the stored text (a long string in a block, or
// the short string of older data), and the parameter formatting, which never reads past the
// caller's parameters nor grows a field beyond a short string's length.
#include "views/static_text.h"

#include <algorithm>
#include <cstring>

#include "console/keyboard.h"

namespace zarvo {

namespace {

constexpr auto kStaticTextPalette = MakePalette(6);
constexpr std::uint8_t kTextBlock = 1;
// Widths and precisions from a format are cut to this: a stored text must not be able to
// ask for a field of gigabytes.
constexpr int kMaxFieldWidth = 255;

struct tDirective {
    bool LeftAlign = false;
    int Width = 0;
    int Precision = -1;  // none
    char Conversion = 0; // upper-cased: D, X, S or C
};

int ReadNumber(std::string_view format, std::size_t& at) {
    int value = 0;
    while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
        value = std::min(value * 10 + (format[at] - '0'), kMaxFieldWidth);
        ++at;
    }
    return value;
}

// Parses the directive whose "%" is at START; the position after it, or npos when it is not a
// directive this formatting knows.
std::size_t ParseDirective(std::string_view format, std::size_t start, tDirective& d) {
    std::size_t at = start + 1;
    if (at < format.size() && format[at] == '-') {
        d.LeftAlign = true;
        ++at;
    }
    d.Width = ReadNumber(format, at);
    if (at < format.size() && format[at] == '.') {
        ++at;
        d.Precision = ReadNumber(format, at);
    }
    if (at >= format.size())
        return std::string_view::npos;
    d.Conversion = UpCase866(format[at]);
    if (std::strchr("DXSC", d.Conversion) == nullptr || d.Conversion == 0)
        return std::string_view::npos;
    return at + 1;
}

std::string WithMinimumDigits(std::string digits, int precision) {
    if (precision > int(digits.size()))
        digits.insert(0, std::size_t(precision) - digits.size(), '0');
    return digits;
}

std::string Render(const tDirective& d, const tFormatValue& value) {
    std::string text;
    const std::int32_t number = value.IsText ? 0 : value.Number;
    switch (d.Conversion) {
    case 'D': {
        std::int64_t magnitude = number < 0 ? -std::int64_t(number) : number;
        text = (number < 0 ? "-" : "") + WithMinimumDigits(std::to_string(magnitude), d.Precision);
        break;
    }
    case 'X': {
        static const char kDigits[] = "0123456789ABCDEF";
        auto bits = std::uint32_t(number);
        do {
            text.insert(text.begin(), kDigits[bits & 0xF]);
            bits >>= 4;
        } while (bits != 0);
        text = WithMinimumDigits(text, d.Precision);
        break;
    }
    case 'S':
        text = value.IsText ? std::string(value.Text) : std::to_string(value.Number);
        if (d.Precision >= 0 && int(text.size()) > d.Precision)
            text.resize(std::size_t(d.Precision));
        break;
    default:
        text = std::string(1, char(number & 0xFF));
        break;
    }
    if (int(text.size()) < d.Width) {
        std::string pad(std::size_t(d.Width) - text.size(), ' ');
        text = d.LeftAlign ? text + pad : pad + text;
    }
    return text;
}

} // namespace

std::string FormatDirectives(std::string_view format, const tFormatSource& source) {
    std::string out;
    int next = 0;
    std::size_t at = 0;
    while (at < format.size()) {
        std::size_t percent = format.find('%', at);
        out.append(format.substr(at, percent - at));
        if (percent == std::string_view::npos)
            break;
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            at = percent + 2;
            continue;
        }
        tDirective directive;
        tFormatValue value;
        std::size_t end = ParseDirective(format, percent, directive);
        if (end == std::string_view::npos) {
            out += '%';
            at = percent + 1;
        } else if (!source(next, directive.Conversion, value)) {
            out.append(format.substr(percent, end - percent));
            at = end;
        } else {
            ++next;
            out += Render(directive, value);
            at = end;
        }
    }
    return out;
}

std::string FormatParams(std::string_view format, const tTextParam* params, int count) {
    return FormatDirectives(format, [&](int index, char conversion, tFormatValue& value) {
        if (params == nullptr || index >= count)
            return false;
        if (conversion == 'S') {
            const auto* text = reinterpret_cast<const std::string*>(params[index]);
            value.IsText = true;
            value.Text = text != nullptr ? std::string_view(*text) : std::string_view();
        } else {
            value.Number = std::int32_t(params[index]);
        }
        return true;
    });
}

// ---- tStaticText

tStaticText::tStaticText(const tRect& bounds, std::string_view text) : tView(bounds), Text(text) {}

tStaticText::tStaticText(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tStaticText::StoreID() const {
    return 17;
}

tPalette tStaticText::GetPalette() const {
    return kStaticTextPalette.data();
}

std::string tStaticText::CurrentText() {
    return Text;
}

void tStaticText::Draw() {
    const std::uint8_t attr = MapColor(1);
    const std::string text = CurrentText();
    tWrapState state;
    state.Width = Width;
    state.Pos = 1;
    bool more = true;
    tCell line[MaxLineCells];
    for (int y = 0; y < Height; ++y) {
        FillCells(line, ' ', attr, MaxLineCells);
        more = more && NextWrappedLine(text, state);
        if (more) {
            int column = state.Centered ? std::max((Width - state.VisibleLength) / 2, 0) : 0;
            int count = std::min(state.Length, MaxLineCells - column);
            CopyCharsToCells(line + column, text.data() + state.Start - 1, attr, count);
        }
        PutLine(0, y, Width, 1, line);
    }
}

void tStaticText::Store(tStream& s) {
    tView::Store(s);
    std::int64_t start = 0;
    if (!s.BeginBlock(start))
        return;
    s.WriteLongString(Text);
    s.EndBlock(start, kTextBlock);
}

void tStaticText::Load(tStream& s) {
    tView::Load(s);
    if (s.Status != stOk)
        return;
    std::uint8_t kind = kNoBlock;
    std::int64_t end = 0;
    s.ReadBlockHeader(kind, end);
    if (s.Status != stOk)
        return;
    if (kind == kNoBlock) {
        // Data written before texts were kept in blocks: a short string.
        Text = s.ReadStr();
        return;
    }
    if (!s.BlockEndInside(end)) {
        s.Error(stReadError, 0);
        return;
    }
    if (kind == kTextBlock)
        Text = s.ReadLongString();
    // A kind this program does not know leaves the text empty; either way the block ends here.
    if (s.Status == stOk) {
        if (s.GetPos() > end)
            s.Error(stReadError, 0);
        else
            s.Seek(end);
    }
}

// ---- tParamText

tParamText::tParamText(const tRect& bounds, std::string_view text, std::int16_t paramCount)
    : tStaticText(bounds, text), ParamCount(std::max<std::int16_t>(paramCount, 0)) {}

tParamText::tParamText(tStreamLoad) : tStaticText(kStreamLoad) {}

std::uint16_t tParamText::StoreID() const {
    return 20;
}

std::uint16_t tParamText::DataLength() {
    return std::uint16_t(ParamCount * sizeof(tTextParam));
}

void tParamText::ImportData(const void* record) {
    ParamList = static_cast<const tTextParam*>(record);
}

std::string tParamText::CurrentText() {
    return FormatParams(Text, ParamList, ParamCount);
}

void tParamText::Store(tStream& s) {
    tStaticText::Store(s);
    s.WriteValue(ParamCount);
}

void tParamText::Load(tStream& s) {
    tStaticText::Load(s);
    ParamCount = s.ReadValue<std::int16_t>();
    // A count that no data record could carry is damage, not a parameter list.
    if (s.Status == stOk && (ParamCount < 0 || ParamCount > 0xFFFF / int(sizeof(tTextParam))))
        s.Error(stReadError, 0);
}

} // namespace zarvo
