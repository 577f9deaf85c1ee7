// Message formatting for %d, %s and %%.
#include "platform/format_text.h"

namespace zarvo {

std::string FormatText(std::string_view format, std::initializer_list<tFormatArg> args) {
    std::string out;
    out.reserve(format.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char directive = format[i + 1];
        if (directive == '%') {
            out += '%';
            ++i;
            continue;
        }
        if ((directive != 'd' && directive != 's') || next == args.end()) {
            out += c;
            continue;
        }
        const auto& value = next->Value();
        if (directive == 'd' && std::holds_alternative<std::int64_t>(value))
            out += std::to_string(std::get<std::int64_t>(value));
        else if (directive == 's' && std::holds_alternative<std::string_view>(value))
            out += std::get<std::string_view>(value);
        else if (directive == 's')
            out += std::to_string(std::get<std::int64_t>(value));
        else {
            out += c;
            continue;
        }
        ++next;
        ++i;
    }
    return out;
}

} // namespace zarvo
